// The conditions the Peng-Robinson host fluid answers for. Outside this window its results
// (ideal-gas heat capacities from polynomials fitted up to 1000 K, a cubic equation far beyond
// any reservoir pressure) would be numbers without meaning, so a stream there is refused.
// Inside it, a temperature beyond a component's heat-capacity data is extrapolated and said so.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/fluid/stream_conditions.h"
#include "tarvox/thermo/component_data.hpp"

namespace tarvox::host {

inline constexpr double kLowestTemperatureC = -200.0;
inline constexpr double kHighestTemperatureC = 1000.0;
inline constexpr double kLowestPressureKpa = 0.001;
inline constexpr double kHighestPressureKpa = 100'000.0;

// Why the stream's temperature or pressure lies outside the window; nothing when inside.
std::optional<std::string> OutsideValidityWindow(const StreamConditions& stream);

// One warning for each component of the stream whose ideal-gas heat-capacity data do not reach
// the stream's temperature, stating the range of the data.
std::vector<std::string> DataRangeWarnings(const thermo::ComponentDatabase& database,
                                           const StreamConditions& stream);

}  // namespace tarvox::host
