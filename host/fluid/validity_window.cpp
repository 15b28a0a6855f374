#include "host/fluid/validity_window.h"

#include <cstdio>

namespace tarvox::host {

namespace {

constexpr double kKelvinOffset = 273.15;

std::string Formatted(const char* format, double a, double b, double c) {
  char text[160];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

}  // namespace

std::optional<std::string> OutsideValidityWindow(const StreamConditions& stream) {
  if (!(stream.temperature_c >= kLowestTemperatureC && stream.temperature_c <= kHighestTemperatureC))
    return Formatted("temperature %g C lies outside the host fluid's window, %g to %g C",
                     stream.temperature_c, kLowestTemperatureC, kHighestTemperatureC);
  if (!(stream.pressure_kpa >= kLowestPressureKpa && stream.pressure_kpa <= kHighestPressureKpa))
    return Formatted("pressure %g kPa lies outside the host fluid's window, %g to %g kPa",
                     stream.pressure_kpa, kLowestPressureKpa, kHighestPressureKpa);
  return std::nullopt;
}

std::vector<std::string> DataRangeWarnings(const thermo::ComponentDatabase& database,
                                           const StreamConditions& stream) {
  std::vector<std::string> warnings;
  const double kelvin = stream.temperature_c + kKelvinOffset;
  for (const std::string& name : stream.components) {
    const thermo::ComponentRecord* record = database.Find(name);
    if (!record || (kelvin >= record->cp_min_temperature && kelvin <= record->cp_max_temperature)) continue;
    warnings.push_back(name +
                       Formatted(": ideal-gas heat capacity extrapolated to %g K, its data cover %g to %g K",
                                 kelvin, record->cp_min_temperature, record->cp_max_temperature));
  }
  return warnings;
}

}  // namespace tarvox::host
