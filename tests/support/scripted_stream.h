// A realistic three-phase stream (vapour, oil, water) scripted for the calculator, and helpers
// to bind it and evaluate.
#pragma once

#include <vector>

#include "calculator/property_calculator.h"
#include "common/com_ptr.h"
#include "host/scripted/scripted_fluid.h"

namespace tarvox::testing {

// Components: methane, n-hexane, water.
inline ComPtr<host::ScriptedFluid> ThreePhaseFluid() {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = 40.0;
  s.Pressure = 3000.0;
  s.ComponentCount = 3;
  const double beta[4] = {0.5, 0.3, 0.2, 0.0};
  const double volume[5] = {0.80, 0.14, 0.019, EMPTY_VALUE, 0.45};
  const double enthalpy[5] = {-1200.0, -40000.0, -44000.0, EMPTY_VALUE, -21000.0};
  const double entropy[5] = {-15.0, -90.0, -120.0, EMPTY_VALUE, -55.0};
  const double cp[5] = {38.0, 210.0, 75.0, EMPTY_VALUE, 90.0};
  for (int k = 0; k < 5; ++k) {
    s.MolarVolume[k] = volume[k];
    s.MolarEnthalpy[k] = enthalpy[k];
    s.MolarEntropy[k] = entropy[k];
    s.MolarHeatCapacity[k] = cp[k];
  }
  for (int k = 0; k < 4; ++k) {
    s.PhaseFraction[k] = beta[k];
    s.PhasePresent[k] = k < 3 ? 1 : 0;
  }
  fluid->compositions[0] = std::vector<double>{0.95, 0.03, 0.02};
  fluid->compositions[1] = std::vector<double>{0.15, 0.84, 0.01};
  fluid->compositions[2] = std::vector<double>{0.001, 0.0001, 0.9989};
  fluid->compositions[3] = std::vector<double>{EMPTY_VALUE, EMPTY_VALUE, EMPTY_VALUE};
  fluid->compositions[4] = std::vector<double>{0.5202, 0.26702, 0.21278};
  fluid->arrays["Molecular Weight"] = {16.04246, 86.17536, 18.01528};
  fluid->arrays["MolarFlow"] = {100.0};
  fluid->arrays["Standard Liquid Density"] = {300.0, 663.77, 999.02};
  return fluid;
}

// Binds `fluid` into the module's calculator for the life of the object, as a Calculate frame does.
class BoundFluid {
 public:
  explicit BoundFluid(host::ScriptedFluid* fluid) : calculator_(GetPropertyCalculator()) {
    calculator_.BindFluid(fluid);
  }
  ~BoundFluid() { calculator_.ReleaseFluid(); }
  CPropertyCalculator& operator*() { return calculator_; }
  CPropertyCalculator* operator->() { return &calculator_; }

 private:
  CPropertyCalculator& calculator_;
};

}  // namespace tarvox::testing
