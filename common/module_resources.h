#pragma once

#include <string_view>

namespace tarvox {

// The bytes of this module's resource (numbered type, numbered id); empty when there is none.
std::string_view ModuleResource(unsigned type, unsigned id);
// The same for a named resource type such as "REGISTRY".
std::string_view ModuleResource(const char* type, unsigned id);

}  // namespace tarvox
