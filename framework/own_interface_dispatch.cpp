#include "common/com_module.h"
#include "framework/correlation.h"

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

}  // namespace tarvox
