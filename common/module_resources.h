#pragma once

#include <string_view>

#include "common/com.h"

namespace tarvox {

// The bytes of a resource of `module` (numbered type, numbered id); empty when there is none.
std::string_view ModuleResource(HMODULE module, unsigned type, unsigned id);
// The same for a named resource type such as "REGISTRY".
std::string_view ModuleResource(HMODULE module, const char* type, unsigned id);

}  // namespace tarvox
