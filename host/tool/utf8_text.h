// BSTR texts of the module (names, identifiers) as UTF-8 for terminals and JSON.
#pragma once

#include <string>

#include "common/com.h"

namespace tarvox::tool {

std::string Utf8(BSTR text);

}  // namespace tarvox::tool
