// Lower and higher heating values per mole and per mass, and the cost of a phase's flow.
#include <cmath>

#include "calculator/property_calculator.h"

namespace tarvox {

namespace {

constexpr double kLatentHeatOfWater = 41010.0;  // kJ per kmol of water formed
constexpr double kWaterPerHydrogenAtom = 0.5;
// A component whose heat of combustion the host cannot give may still be present in traces.
constexpr double kTraceFraction = 1e-6;
constexpr double kFuelOilMassFlowScale = 1.0 / 1000.0;

// Flow basis codes, compared with the host's code once truncated.
constexpr double kMolarBasis = 0.0;
constexpr double kMassBasis = 1.0;
constexpr double kLiquidVolumeBasis = 2.0;
constexpr double kUnitBasis = 3.0;
constexpr double kFuelOilBasis = 4.0;

bool Absent(const FluidState& s, int phase) { return phase != kFeed && s.PhasePresent[phase] == 0; }

// The stream's total flow scaled by the phase's share of it. A share the host or the
// phase-fraction evaluators cannot give leaves no flow rather than one scaled by the marker.
// The fraction is asked for only when it is needed.
template <typename Fraction>
double PhaseShare(double total, int phase, Fraction fraction) {
  if (phase == kFeed || total == EMPTY_VALUE) return total;
  const double share = fraction();
  return share == EMPTY_VALUE ? EMPTY_VALUE : total * share;
}

// A heating value per unit mass, whatever sign the host gives; any weight but 0 divides.
double MagnitudePerMass(double molar, double weight) {
  if (molar == EMPTY_VALUE || weight == EMPTY_VALUE || weight == 0.0) return EMPTY_VALUE;
  return std::fabs(molar / weight);
}

}  // namespace

double CPropertyCalculator::GetLowerHeatingValue(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  const int n = State.ComponentCount;
  const double* heat = ComponentArray("Heat of Combustion");
  const double* x = Composition(phase);
  if (!heat || n == 0 || !x) return EMPTY_VALUE;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    if (x[i] == EMPTY_VALUE) return EMPTY_VALUE;
    if (heat[i] == EMPTY_VALUE) {
      if (x[i] > kTraceFraction) return EMPTY_VALUE;
      continue;
    }
    sum += heat[i] * x[i];
  }
  // Hosts differ in the sign they give heats of combustion.
  return std::fabs(sum);
}

double CPropertyCalculator::GetHigherHeatingValue(int phase) {
  // Loaded here first: the nested call reuses whatever state is loaded, and this one reads it too.
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double lower = Nested(*this, [&] { return GetLowerHeatingValue(phase); });
  const int n = State.ComponentCount;
  if (lower == EMPTY_VALUE || n == 0) return EMPTY_VALUE;
  const double* hydrogen = ComponentArray("HydrogenAtoms");
  const double* x = Composition(phase);
  if (!hydrogen || !x) return EMPTY_VALUE;
  double sum = lower;
  for (int i = 0; i < n; ++i) {
    if (hydrogen[i] == EMPTY_VALUE) return EMPTY_VALUE;
    sum += hydrogen[i] * kWaterPerHydrogenAtom * x[i] * kLatentHeatOfWater;
  }
  return std::fabs(sum);
}

double CPropertyCalculator::GetMassLowerHeatingValue(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double weight = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double lower = Nested(*this, [&] { return GetLowerHeatingValue(phase); });
  return MagnitudePerMass(lower, weight);
}

double CPropertyCalculator::GetMassHigherHeatingValue(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double weight = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double higher = Nested(*this, [&] { return GetHigherHeatingValue(phase); });
  return MagnitudePerMass(higher, weight);
}

double CPropertyCalculator::GetFlowCost(int phase, double fuel_oil_cv) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double* basis_values = GetNamedArray("FlowBasis", 0);
  if (!basis_values) return EMPTY_VALUE;
  // Truncated as a double: a code far outside int's range is simply no known basis.
  const double basis = std::trunc(basis_values[0]);

  // Each named-array read invalidates the previous borrowed pointer, so values are taken at once.
  double flow = EMPTY_VALUE;
  if (basis == kMolarBasis) {
    const double* molar = GetNamedArray("MolarFlow", 0);
    if (!molar) return EMPTY_VALUE;
    flow = PhaseShare(molar[0], phase, [&] { return State.PhaseFraction[phase]; });
  } else if (basis == kMassBasis || basis == kFuelOilBasis) {
    const double* mass = GetNamedArray("MassFlow", 0);
    if (!mass) return EMPTY_VALUE;
    flow = PhaseShare(mass[0], phase,
                      [&] { return Nested(*this, [&] { return GetMassPhaseFraction(phase); }); });
    if (basis == kFuelOilBasis && flow != EMPTY_VALUE) {
      const double weight = Nested(*this, [&] { return GetMolecularWeight(phase); });
      const double lower = Nested(*this, [&] { return GetLowerHeatingValue(phase); });
      if (!(weight > 0.0) || !(lower > 0.0) || lower / weight == EMPTY_VALUE || !(fuel_oil_cv > 0.0))
        return EMPTY_VALUE;
      flow = (lower / weight) * (flow * kFuelOilMassFlowScale) / fuel_oil_cv;
    }
  } else if (basis == kLiquidVolumeBasis) {
    const double* volume = GetNamedArray("LiquidVolumeFlow", 0);
    if (!volume) return EMPTY_VALUE;
    flow = PhaseShare(volume[0], phase,
                      [&] { return Nested(*this, [&] { return GetVolumePhaseFraction(phase); }); });
  } else if (basis == kUnitBasis) {
    flow = 1.0;
  } else {
    return EMPTY_VALUE;
  }

  const double* cost_factor = GetNamedArray("CostFactor", 0);
  if (!cost_factor) return EMPTY_VALUE;
  const double cost = cost_factor[0];
  if (cost == EMPTY_VALUE || flow == EMPTY_VALUE) return 0.0;
  return flow * cost;
}

}  // namespace tarvox
