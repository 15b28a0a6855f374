#include "framework/host_objects.h"

#include "common/ansi_text.h"
#include "common/com_ptr.h"

namespace tarvox {

namespace {
using DllGetClassObjectFunction = HRESULT(STDMETHODCALLTYPE*)(REFCLSID, REFIID, void**);
}

HRESULT CreateHostObject(const char* library, REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  BStr name = AnsiToBstr(library);
  if (!name) return E_FAIL;
  HINSTANCE module = CoLoadLibrary(name.Get(), TRUE);
  if (!module) return E_FAIL;
  auto get_class_object = reinterpret_cast<DllGetClassObjectFunction>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
  if (!get_class_object) return E_FAIL;
  ComPtr<IClassFactory> factory;
  if (FAILED(get_class_object(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()))) || !factory)
    return E_FAIL;
  ComPtr<IUnknown> instance;
  const HRESULT hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(instance.Put()));
  if (FAILED(hr)) return hr;
  if (!instance) return E_FAIL;
  return instance->QueryInterface(iid, object);
}

}  // namespace tarvox
