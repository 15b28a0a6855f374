#include "framework/correlation.h"
#include "module/type_library.h"

namespace tarvox {

HRESULT OwnInterfaceDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = TypeInformationAvailable() ? 1 : 0;
  return S_OK;
}

HRESULT OwnInterfaceDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
  if (!info) return E_POINTER;
  *info = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  return LoadModuleTypeInfo(iid_, info);
}

// The interface has no members of its own, so no name is known and no member can be invoked.
HRESULT OwnInterfaceDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
  if (ids)
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  return DISP_E_UNKNOWNNAME;
}

HRESULT OwnInterfaceDispatch::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return DISP_E_MEMBERNOTFOUND;
}

}  // namespace tarvox
