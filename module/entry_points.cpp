// The four exported entry points of the module.
#include "common/module_resources.h"
#include "common/com_module.h"
#include "module/object_map.h"
#include "module/registration.h"

#ifdef _WIN32
#define TARVOX_EXPORT
#else
#define TARVOX_EXPORT __attribute__((visibility("default")))
#endif

using namespace tarvox;

extern "C" TARVOX_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                                     void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  for (ObjectMapEntry& entry : ObjectMap()) {
    if (!IsEqualCLSID(entry.info->clsid, clsid)) continue;
    IUnknown* factory = CachedFactory(entry);
    if (!factory) return E_OUTOFMEMORY;
    return factory->QueryInterface(iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" TARVOX_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
  return ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" TARVOX_EXPORT HRESULT STDMETHODCALLTYPE DllRegisterServer() { return UpdateRegistration(true); }

extern "C" TARVOX_EXPORT HRESULT STDMETHODCALLTYPE DllUnregisterServer() { return UpdateRegistration(false); }
