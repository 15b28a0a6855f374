#include "host/common/flash_messages.h"

namespace tarvox::host {

HRESULT FlashMessages::GetCount(int* count) const {
  if (!count) return E_POINTER;
  *count = static_cast<int>(size());
  return S_OK;
}

HRESULT FlashMessages::GetText(int index, BSTR* text) const {
  if (!text) return E_POINTER;
  *text = nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= size()) return E_INVALIDARG;
  *text = AsciiBstr((*this)[static_cast<std::size_t>(index)]);
  return *text ? S_OK : E_OUTOFMEMORY;
}

BSTR AsciiBstr(const std::string& text) {
  std::basic_string<OLECHAR> wide(text.begin(), text.end());
  return SysAllocString(wide.c_str());
}

}  // namespace tarvox::host
