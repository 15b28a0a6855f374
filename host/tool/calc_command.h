#pragma once

#include <string>
#include <vector>

namespace tarvox::tool {

// `tarvox calc [STREAM.json] [--sample NAME] [--only Class,...] [--format table|csv|json]
// [--set Class.Variable=value]...`: computes the correlations for one stream on the
// Peng-Robinson host fluid. Returns the exit status: 0 done, 1 the module or the component data
// failed, 2 bad input (nothing computed).
int RunCalc(const std::vector<std::string>& args);

}  // namespace tarvox::tool
