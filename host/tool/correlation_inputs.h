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

}  // namespace tarvox::tool
