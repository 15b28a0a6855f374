#pragma once

#include <array>

namespace tarvox::thermo {

// Ideal-gas heat capacity Cp = A + B T + C T^2 + D T^3 + E T^4 in kJ/(kmol K), T in K.
// Enthalpy and entropy are integrated from the reference state (298.15 K, 101.325 kPa), so both are
// zero there. The polynomial is evaluated as is outside its fitted range; no clamping, so that
// properties stay smooth.
struct IdealGasCp {
  std::array<double, 5> coefficients{};

  double HeatCapacity(double temperature) const;  // kJ/(kmol K)
  double Enthalpy(double temperature) const;      // kJ/kmol, integral of Cp from 298.15 K
  double Entropy(double temperature) const;       // kJ/(kmol K) at 101.325 kPa, integral of Cp/T
};

}  // namespace tarvox::thermo
