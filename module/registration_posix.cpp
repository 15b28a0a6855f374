// Registration into the platform layer's registry store, as one transaction.
#include <string>

#include "common/module_resources.h"
#include "common/com_module.h"
#include "module/object_map.h"
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

HRESULT RunClassScript(tarvox_platform::RegistryStore& store, const ClassInfo& info, bool register_keys) {
  const std::string_view script =
      ModuleResource(ModuleInstance(), "REGISTRY", static_cast<unsigned>(info.script_id));
  if (script.empty()) return E_FAIL;
  return tarvox_platform::RunRegistrarScript(store, script, {{"MODULE", ModulePath()}}, register_keys);
}

// Where no type-library loader exists, registering records the library's identity and file.
void RecordTypeLibrary(tarvox_platform::RegistryStore& store) {
  const std::string key = TypeLibraryKey();
  store.SetValue(key, "", kTypeLibraryHelp);
  store.SetValue(key + "\\0\\win64", "", ModulePath());
  store.SetValue(key + "\\FLAGS", "", "0");
}

void ForgetTypeLibrary(tarvox_platform::RegistryStore& store) {
  store.DeleteTree(TypeLibraryKey());
  if (store.SubKeys("HKCR\\TypeLib\\" + GuidText(LIBID_TARVOXLib)).empty())
    store.DeleteTree("HKCR\\TypeLib\\" + GuidText(LIBID_TARVOXLib));
}

}  // namespace

HRESULT UpdateRegistration(bool register_keys) {
  try {
    tarvox_platform::RegistryTransaction transaction;
    for (const ObjectMapEntry& entry : ObjectMap()) {
      const HRESULT hr = RunClassScript(transaction.store(), *entry.info, register_keys);
      if (FAILED(hr)) return hr;
    }
    if (register_keys)
      RecordTypeLibrary(transaction.store());
    else
      ForgetTypeLibrary(transaction.store());
    return transaction.Commit() ? S_OK : REGDB_E_WRITEREGDB;
  } catch (const std::exception&) {
    return REGDB_E_WRITEREGDB;
  }
}

}  // namespace tarvox
