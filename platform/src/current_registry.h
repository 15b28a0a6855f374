// The process's registry as CurrentRegistry() shares it.
#pragma once

#include "registry_file.h"
#include "tarvox_platform/registry.h"

namespace tarvox_platform {

// Makes `store`, just written to its file as the version `written`, the process's current registry
// for that file, and leaves its snapshot beside the file: neither this process nor the next reads
// back what a registration wrote.
void PublishRegistry(const RegistryStore& store, const FileIdentity& written);

}  // namespace tarvox_platform
