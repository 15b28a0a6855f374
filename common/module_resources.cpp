#include "common/module_resources.h"

namespace tarvox {

namespace {

std::string_view Lookup(HMODULE module, LPCSTR type, unsigned id) {
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  // Resource data is not terminated: its size says where it ends.
  return {static_cast<const char*>(data), SizeofResource(module, found)};
}

}  // namespace

std::string_view ModuleResource(HMODULE module, unsigned type, unsigned id) {
  return Lookup(module, MAKEINTRESOURCEA(type), id);
}

std::string_view ModuleResource(HMODULE module, const char* type, unsigned id) {
  return Lookup(module, type, id);
}

}  // namespace tarvox
