// One variable of a stream stepped over a range: its temperature, its pressure or a correlation
// input, as `tarvox sweep` and the Python package's sweep vary it.
#pragma once

#include <string>
#include <vector>

#include "host/tool/stream_file.h"

namespace tarvox::tool {

inline constexpr const char* kTemperatureVariable = "temperature_C";
inline constexpr const char* kPressureVariable = "pressure_kPa";

struct Variation {
  std::string variable;  // temperature_C, pressure_kPa or Class.Variable
  std::vector<double> values;
};

// Parses "variable=start:stop:step" (stop included when the steps reach it); throws CalcError.
Variation ParseVariation(const std::string& text);

// A copy of `file` with `variable` set to `value`; throws CalcError for a variable that is neither
// a condition nor named Class.Variable.
StreamFile Varied(const StreamFile& file, const std::string& variable, double value);

}  // namespace tarvox::tool
