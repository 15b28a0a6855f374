// The library's class objects and its two exports: DllGetClassObject, and the live-object count
// that tests read to prove that every object was released.
#include <new>

#include "host/variables/variables.h"

#ifdef _WIN32
#define QUORIX2_EXPORT
#else
#define QUORIX2_EXPORT __attribute__((visibility("default")))
#endif

namespace tarvox::host {

namespace {

template <typename T, typename Interface>
class ClassObject final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *object = static_cast<IClassFactory*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  // Class objects are static and live as long as the library.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* created = new (std::nothrow) T();
    if (!created) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(iid, object);
    static_cast<Interface*>(created)->Release();
    return hr;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

ClassObject<VariableSet, IVariableSet> variable_sets;
ClassObject<Variable, IVariable> vectors;
ClassObject<NumericVariable, INumericVariable> numbers;
ClassObject<EnumVariable, IEnumVariable> enumerations;

}  // namespace

}  // namespace tarvox::host

using namespace tarvox;

extern "C" QUORIX2_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid,
                                                                      void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  if (IsEqualCLSID(clsid, CLSID_VariableSet))
    factory = &host::variable_sets;
  else if (IsEqualCLSID(clsid, CLSID_Variable))
    factory = &host::vectors;
  else if (IsEqualCLSID(clsid, CLSID_NumericVariable))
    factory = &host::numbers;
  else if (IsEqualCLSID(clsid, CLSID_EnumVariable))
    factory = &host::enumerations;
  else
    return CLASS_E_CLASSNOTAVAILABLE;
  return factory->QueryInterface(iid, object);
}

extern "C" QUORIX2_EXPORT long STDMETHODCALLTYPE Quorix2LiveObjects() { return host::LiveObjects().load(); }
