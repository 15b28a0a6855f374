// A stream calculated at each value of one varied quantity.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/tool/calc_report.h"
#include "host/tool/stream_variation.h"

namespace tarvox::tool {

// One report per value of `variation`, in order; `step_done` is called after each. Throws
// CalcError for the first value refused, before anything is computed.
std::vector<CalcReport> Sweep(const StreamFile& file, const Variation& variation,
                              const std::vector<std::string>& classes,
                              const std::vector<InputSetting>& settings,
                              const std::function<void()>& step_done);

}  // namespace tarvox::tool
