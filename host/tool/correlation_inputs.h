// Gives a correlation's input variable a value, as a host's property view does.
#pragma once

#include <string>

#include "framework/correlation_interface.h"
#include "host/tool/input_setting.h"

namespace tarvox::tool {

// Finds `setting.variable` among the correlation's inputs and sets it: a numeric variable takes a
// number, an enumeration an item's text (e.g. "Mass") or its index. Returns "" on success, else
// the reason.
std::string ApplyInput(ICorrelation& correlation, const InputSetting& setting);

// Checks `setting` on a correlation of its class created for the purpose, so that an input of a
// class that does not run is checked as strictly as one that does; "" when it would be accepted.
std::string CheckInputOnItsClass(const InputSetting& setting);

}  // namespace tarvox::tool
