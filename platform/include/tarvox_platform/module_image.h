// On this platform the instance handle of a module is its image record: where the library was
// loaded from and the resources compiled into it. The module's load hook fills it in.
#pragma once

#include <cstddef>

namespace tarvox_platform {

struct Resource {
  const char* type_name;  // a named type such as "REGISTRY", or null for a numbered type
  unsigned type_id;       // the numbered type (23 for HTML, 6 for string tables), 0 with a name
  unsigned id;
  const unsigned char* data;
  std::size_t size;
};

struct ModuleImage {
  char path[4096];
  const Resource* resources;
  std::size_t resource_count;
};

// Fills the path of the shared object that contains `address`; false when it is not known.
__attribute__((visibility("default"))) bool LocateModule(const void* address, ModuleImage& image);

}  // namespace tarvox_platform
