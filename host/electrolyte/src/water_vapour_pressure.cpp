#include "water_vapour_pressure.hpp"

#include <algorithm>
#include <cmath>

namespace tarvox::electrolyte {

double water_vapour_pressure_Pa(double temperature_K) {
  // Wagner, Pruss, J. Phys. Chem. Ref. Data 22 (1993) 783, Eq. 1 (the IAPWS saturation equation).
  constexpr double kCriticalTemperatureK = 647.096;
  constexpr double kCriticalPressurePa = 22.064e6;
  const double tau = 1.0 - std::min(temperature_K, kCriticalTemperatureK) / kCriticalTemperatureK;
  const double sum = -7.85951783 * tau + 1.84408259 * std::pow(tau, 1.5) - 11.7866497 * std::pow(tau, 3.0) +
                     22.6807411 * std::pow(tau, 3.5) - 15.9618719 * std::pow(tau, 4.0) +
                     1.80122502 * std::pow(tau, 7.5);
  return kCriticalPressurePa * std::exp(kCriticalTemperatureK / temperature_K * sum);
}

}  // namespace tarvox::electrolyte
