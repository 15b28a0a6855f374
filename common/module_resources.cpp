#include "common/module_resources.h"

#include "common/com.h"
#include "module/module_state.h"

namespace tarvox {

namespace {

std::string_view Lookup(LPCSTR type, unsigned id) {
  HMODULE module = ModuleInstance();
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
  if (!found) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) return {};
  // Resource data is not terminated: its size says where it ends.
  return {static_cast<const char*>(data), SizeofResource(module, found)};
}

}  // namespace

std::string_view ModuleResource(unsigned type, unsigned id) { return Lookup(MAKEINTRESOURCEA(type), id); }

std::string_view ModuleResource(const char* type, unsigned id) { return Lookup(type, id); }

}  // namespace tarvox
