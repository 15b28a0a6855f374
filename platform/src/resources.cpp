#include <cstring>

#include "tarvox_platform/com_runtime.h"
#include "tarvox_platform/module_image.h"

namespace {

using tarvox_platform::ModuleImage;
using tarvox_platform::Resource;

bool TypeMatches(const Resource& r, LPCSTR type) {
  if (IS_INTRESOURCE(type)) return !r.type_name && r.type_id == reinterpret_cast<std::uintptr_t>(type);
  return r.type_name && std::strcmp(r.type_name, type) == 0;
}

}  // namespace

// Resources are found by number, as the module asks for them (MAKEINTRESOURCE).
extern "C" HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
  if (!module || !IS_INTRESOURCE(name)) return nullptr;
  const auto* image = static_cast<const ModuleImage*>(module);
  const auto id = static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(name));
  for (std::size_t i = 0; i < image->resource_count; ++i) {
    const Resource& r = image->resources[i];
    if (r.id == id && TypeMatches(r, type)) return const_cast<Resource*>(&r);
  }
  return nullptr;
}

extern "C" HGLOBAL LoadResource(HMODULE, HRSRC resource) { return resource; }

extern "C" LPVOID LockResource(HGLOBAL resource) {
  return resource ? const_cast<unsigned char*>(static_cast<const Resource*>(resource)->data) : nullptr;
}

extern "C" DWORD SizeofResource(HMODULE, HRSRC resource) {
  return resource ? static_cast<DWORD>(static_cast<const Resource*>(resource)->size) : 0;
}
