#include "module/class_factory.h"

#include "framework/correlation.h"
#include "common/com_module.h"

namespace tarvox {

HRESULT CClassFactory::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

ULONG CClassFactory::AddRef() {
  const LONG count = ++ref_count_;
  if (count == 2) LockModule();
  return static_cast<ULONG>(count);
}

ULONG CClassFactory::Release() {
  const LONG count = --ref_count_;
  if (count == 1) UnlockModule();
  if (count == 0) delete this;
  return static_cast<ULONG>(count);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
  return CCorrelation::CreateInstance(info_, outer, iid, object);
}

HRESULT CClassFactory::LockServer(BOOL lock) {
  if (lock)
    LockModule();
  else
    UnlockModule();
  return S_OK;
}

}  // namespace tarvox
