// `tarvox calc`: the correlations for one stream or a batch of streams, printed as a table, CSV
// or JSON.
#pragma once

#include "host/tool/calc_options.h"

namespace tarvox::tool {

// Returns the exit status: 0, kBadInputStatus when a stream or an option was refused (with
// --keep-going, when any was), kFailureStatus when the module could not be used.
int RunCalc(const CalcOptions& options);

}  // namespace tarvox::tool
