// Registration into the platform layer's registry store.
#include <string>

#include "common/module_resources.h"
#include "common/com_module.h"
#include "module/registration.h"
#include "module/type_library.h"
#include "tarvox_platform/registry.h"

namespace tarvox {

namespace {

std::string GuidText(REFGUID guid) {
  OLECHAR wide[39];
  StringFromGUID2(guid, wide, 39);
  return std::string(wide, wide + 38);
}

std::string TypeLibraryKey() {
  return "HKCR\\TypeLib\\" + GuidText(LIBID_TARVOXLib) + "\\" + std::to_string(kTypeLibraryMajor) + "." +
         std::to_string(kTypeLibraryMinor);
}

}  // namespace

HRESULT RunClassScript(const ClassInfo& info, bool register_keys) {
  const std::string_view script =
      ModuleResource(ModuleInstance(), "REGISTRY", static_cast<unsigned>(info.script_id));
  if (script.empty()) return E_FAIL;
  try {
    tarvox_platform::RegistryStore store;
    const HRESULT hr =
        tarvox_platform::RunRegistrarScript(store, script, {{"MODULE", ModulePath()}}, register_keys);
    if (FAILED(hr)) return hr;
    return store.Save() ? S_OK : REGDB_E_WRITEREGDB;
  } catch (const std::exception&) {
    return REGDB_E_WRITEREGDB;
  }
}

// Where no type-library loader exists, registering records the library's identity and file.
HRESULT RegisterModuleTypeLibrary() {
  try {
    tarvox_platform::RegistryStore store;
    const std::string key = TypeLibraryKey();
    store.SetValue(key, "", kTypeLibraryHelp);
    store.SetValue(key + "\\0\\win64", "", ModulePath());
    store.SetValue(key + "\\FLAGS", "", "0");
    return store.Save() ? S_OK : REGDB_E_WRITEREGDB;
  } catch (const std::exception&) {
    return REGDB_E_WRITEREGDB;
  }
}

HRESULT UnregisterModuleTypeLibrary() {
  try {
    tarvox_platform::RegistryStore store;
    store.DeleteTree(TypeLibraryKey());
    if (store.SubKeys("HKCR\\TypeLib\\" + GuidText(LIBID_TARVOXLib)).empty())
      store.DeleteTree("HKCR\\TypeLib\\" + GuidText(LIBID_TARVOXLib));
    return store.Save() ? S_OK : REGDB_E_WRITEREGDB;
  } catch (const std::exception&) {
    return REGDB_E_WRITEREGDB;
  }
}

}  // namespace tarvox
