#include "common/registry.h"

#include <cassert>

namespace tarvox {

void GuidToRegistryString(REFGUID guid, char* buffer, [[maybe_unused]] std::size_t length) {
  assert(length >= CLSID_STRING_SIZE);
  OLECHAR wide[CLSID_STRING_SIZE];
  const HRESULT hr = StringFromGUID2(guid, wide, static_cast<int>(CLSID_STRING_SIZE)) > 0 ? S_OK : E_FAIL;
  assert(SUCCEEDED(hr));
  (void)hr;
  // The registry form is ASCII, so each code unit is one character.
  for (std::size_t i = 0; i < CLSID_STRING_SIZE; ++i) buffer[i] = static_cast<char>(wide[i]);
}

}  // namespace tarvox
