#include "tarvox/thermo/ideal_gas.hpp"

#include <cmath>

#include "tarvox/thermo/constants.hpp"

namespace tarvox::thermo {

double IdealGasCp::HeatCapacity(double t) const {
  const auto& c = coefficients;
  return c[0] + t * (c[1] + t * (c[2] + t * (c[3] + t * c[4])));
}

double IdealGasCp::Enthalpy(double t) const {
  const auto& c = coefficients;
  const auto integral = [&c](double x) {
    return x * (c[0] + x * (c[1] / 2 + x * (c[2] / 3 + x * (c[3] / 4 + x * c[4] / 5))));
  };
  return integral(t) - integral(kReferenceTemperature);
}

double IdealGasCp::Entropy(double t) const {
  const auto& c = coefficients;
  const auto polynomial_part = [&c](double x) {
    return x * (c[1] + x * (c[2] / 2 + x * (c[3] / 3 + x * c[4] / 4)));
  };
  return c[0] * std::log(t / kReferenceTemperature) + polynomial_part(t) -
         polynomial_part(kReferenceTemperature);
}

}  // namespace tarvox::thermo
