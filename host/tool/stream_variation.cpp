#include "host/tool/stream_variation.h"

#include <cmath>

#include "host/tool/calculation.h"

namespace tarvox::tool {

namespace {

// A sweep is a table for people to read or plot; a runaway step count is a typing error.
constexpr double kMostValues = 100000;

[[noreturn]] void BadVariation(const std::string& message) { throw CalcError(message, kBadInputStatus); }

double Number(const std::string& text, const std::string& whole) {
  const std::optional<double> value = ParseNumber(text);
  if (!value) BadVariation("--vary takes variable=start:stop:step with numbers, not \"" + whole + "\"");
  return *value;
}

}  // namespace

Variation ParseVariation(const std::string& text) {
  const std::size_t equals = text.find('=');
  const std::size_t first = text.find(':', equals);
  const std::size_t second = first == std::string::npos ? first : text.find(':', first + 1);
  if (equals == std::string::npos || equals == 0 || second == std::string::npos)
    BadVariation("--vary takes variable=start:stop:step, not \"" + text + "\"");
  const double start = Number(text.substr(equals + 1, first - equals - 1), text);
  const double stop = Number(text.substr(first + 1, second - first - 1), text);
  const double step = Number(text.substr(second + 1), text);
  if (!(step > 0.0) || stop < start) BadVariation("--vary needs start <= stop and a positive step");
  // A tolerance of a millionth of a step keeps the stop value that rounding would drop.
  const double steps = std::floor((stop - start) / step + 1e-6);
  if (steps + 1 > kMostValues) BadVariation("--vary asks for more than 100000 values");
  Variation variation{text.substr(0, equals), {}};
  for (double k = 0; k <= steps; ++k) variation.values.push_back(start + k * step);
  return variation;
}

StreamFile Varied(const StreamFile& file, const std::string& variable, double value) {
  StreamFile varied = file;
  if (variable == kTemperatureVariable) {
    if (value <= -273.15) BadVariation("temperature_C must lie above absolute zero");
    varied.stream.temperature_c = value;
  } else if (variable == kPressureVariable) {
    if (!(value > 0.0)) BadVariation("pressure_kPa must be positive");
    varied.stream.pressure_kpa = value;
  } else {
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    std::optional<InputSetting> setting = ParseInputTarget(variable, text);
    if (!setting)
      BadVariation("the varied quantity is temperature_C, pressure_kPa or an input Class.Variable, not \"" +
                   variable + "\"");
    varied.inputs.push_back(std::move(*setting));
  }
  return varied;
}

}  // namespace tarvox::tool
