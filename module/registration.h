#pragma once

#include "framework/class_info.h"

namespace tarvox {

// Registers (or unregisters) every class of the object map and the type library, each class by
// its registry script with %MODULE% standing for the module's full path. Where the platform
// allows it, the whole registration is one change of the registry: all of it or nothing.
HRESULT UpdateRegistration(bool register_keys);

}  // namespace tarvox
