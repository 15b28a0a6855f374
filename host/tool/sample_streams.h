// The streams the tool computes when it is given no stream file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/fluid/stream_conditions.h"

namespace tarvox::tool {

inline constexpr std::string_view kDefaultSample = "wellstream";

// "wellstream": a three-phase well fluid (vapour, oil, water); "amine": a loaded MDEA solvent.
std::optional<host::StreamConditions> SampleStream(std::string_view name);
std::vector<std::string> SampleNames();

}  // namespace tarvox::tool
