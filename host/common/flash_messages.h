// The messages a module reports to a host fluid through IHostFlash, in the order reported. It is
// the vector itself, so that a host and its tests read the texts as they are.
#pragma once

#include <string>
#include <vector>

#include "common/com.h"

namespace tarvox::host {

class FlashMessages : public std::vector<std::string> {
 public:
  HRESULT GetCount(int* count) const;
  // A copy of the text at `index` for the caller to free; E_INVALIDARG outside the list.
  HRESULT GetText(int index, BSTR* text) const;
};

// A BSTR of ASCII text; null when the allocator refuses.
BSTR AsciiBstr(const std::string& text);

}  // namespace tarvox::host
