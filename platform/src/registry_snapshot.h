// The registry snapshot's bytes: written by the process that parsed the registry file, trusted by
// later ones only whole, unaltered and made from the very version of the file they see.
#pragma once

#include <memory>
#include <string>

#include "registry_file.h"
#include "tarvox_platform/registry.h"

namespace tarvox_platform {

struct RegistrySnapshotCodec {
  // The values of `store`, labelled with the identity of the file it was read from.
  static std::shared_ptr<const RegistrySnapshot> FromStore(const RegistryStore& store,
                                                           const FileIdentity& source);
  // The snapshot `bytes` hold; null unless they are a whole, unaltered snapshot of `source`.
  static std::shared_ptr<const RegistrySnapshot> Decode(std::string bytes, const FileIdentity& source);
  static const std::string& Bytes(const RegistrySnapshot& snapshot) { return snapshot.bytes_; }
};

}  // namespace tarvox_platform
