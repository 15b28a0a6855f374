// Leak checks around evaluations: live task-allocator blocks that no calculator data accounts for.
#pragma once

#include "calculator/property_calculator.h"
#include "tarvox_platform/com_runtime.h"

namespace tarvox::testing {

// Drops the calculator's loaded data first; its one named-array buffer lives across evaluations.
inline long UnaccountedTaskBlocks() {
  CPropertyCalculator& calculator = GetPropertyCalculator();
  calculator.ResetCache();
  return tarvox_platform::LiveTaskBlocks() - (calculator.NamedArrayBuffer ? 1 : 0);
}

}  // namespace tarvox::testing
