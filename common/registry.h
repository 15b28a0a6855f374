#pragma once

#include <cstddef>

#include "common/com.h"

namespace tarvox {

inline constexpr std::size_t CLSID_STRING_SIZE = 39;  // 38 characters and the terminator

// The GUID in registry form, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" in upper case, written
// as a narrow text into `buffer` of `length` characters (at least CLSID_STRING_SIZE).
void GuidToRegistryString(REFGUID guid, char* buffer, std::size_t length);

}  // namespace tarvox
