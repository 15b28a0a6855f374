// The correlation classes the tool offers, in catalogue order.
#pragma once

#include <array>

namespace tarvox::tool {

#define EVALUATOR(f)
#define NO_INPUTS
#define INPUTS(...)
#define TARVOX_CLASS(name, display, clsid, iid, script, unit, frame, evaluator, inputs, help) #name,
inline constexpr std::array kClassNames = {
#include "resources/classes.def"
};
#undef TARVOX_CLASS
#undef INPUTS
#undef NO_INPUTS
#undef EVALUATOR

}  // namespace tarvox::tool
