// What a host knows of one material stream before it asks its property package: conditions,
// flow, composition and the stream's settings that correlations read as named arrays.
#pragma once

#include <string>
#include <vector>

namespace tarvox::host {

// The temperature at which the stream's standard volumes are stated (always at 101.325 kPa).
enum class StandardTemperature { k15C, k60F };

// Flow basis codes of the stream's cost settings.
inline constexpr int kMolarFlowBasis = 0;
inline constexpr int kLargestFlowBasis = 4;

struct StreamConditions {
  std::string name;
  double temperature_c = 0.0;
  double pressure_kpa = 0.0;
  double molar_flow_kmol_h = 0.0;
  std::vector<std::string> components;  // database names, in the stream's component order
  std::vector<double> composition;      // mole fractions, normalised, one per component
  StandardTemperature standard_temperature = StandardTemperature::k15C;
  int flow_basis = kMolarFlowBasis;
  double cost_factor = 1.0;
};

}  // namespace tarvox::host
