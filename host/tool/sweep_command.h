// `tarvox sweep`: one row per value of a varied quantity, one column per correlation (its value
// for the whole stream, or for the phase chosen).
#pragma once

#include "host/tool/calc_options.h"

namespace tarvox::tool {

// Returns the exit status, as RunCalc does.
int RunSweep(const SweepOptions& options);

}  // namespace tarvox::tool
