#pragma once

#include "framework/class_info.h"

namespace tarvox {

// Runs the class's registry script (resource "REGISTRY" with its script number), with
// %MODULE% standing for the module's full path, in registering or unregistering mode.
HRESULT RunClassScript(const ClassInfo& info, bool register_keys);

}  // namespace tarvox
