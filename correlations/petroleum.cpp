// Petroleum characterisation: the Watson characterisation factor and a viscosity index.
#include <cmath>

#include "calculator/property_calculator.h"
#include "correlations/component_identity.h"

namespace tarvox {

namespace {

constexpr double kWaterDensity = 997.9879;  // kg/m³, the reference of specific gravity
constexpr double kRankinePerKelvin = 1.8;
// Written with seven decimals, as hosts that compare values use it.
constexpr double kCubeRoot = 0.3333333;
constexpr double kCube = 3.0;
constexpr double kAveragingWeight = 0.5;

bool Absent(const FluidState& s, int phase) { return phase != kFeed && s.PhasePresent[phase] == 0; }

// A parameter the correlation does not hold arrives as EMPTY_VALUE, which is negative too.
bool UsableParameter(double value) { return std::isfinite(value) && value >= 0.0; }

bool IsWater(double component_id, double cas_number) {
  return component::RoundIdentifier(component_id) == component::kWaterId ||
         component::RoundIdentifier(cas_number) == component::kWaterCas;
}

}  // namespace

double CPropertyCalculator::GetWatsonK(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  const TaskArray<double> density = ComponentArrayCopy("Standard Liquid Density");
  const TaskArray<double> boiling = ComponentArrayCopy("Boiling Temperature");
  const TaskArray<double> ids = ComponentArrayCopy("ComponentIDs");
  const TaskArray<double> cas = ComponentArrayCopy("CAS_Numbers");
  const double* x = Composition(phase);
  const double* weights = MolecularWeights.Get();
  const int n = State.ComponentCount;
  if (!x || !weights || !density || !boiling || !ids || !cas || n < 1) return EMPTY_VALUE;

  double moles = 0.0;
  double mass = 0.0;
  double volume = 0.0;
  double molar_boiling = 0.0;
  double cubic_boiling = 0.0;
  for (int i = 0; i < n; ++i) {
    // Tested before water is recognised: an empty value of water empties the result as well.
    if (x[i] == EMPTY_VALUE || weights[i] == EMPTY_VALUE || density[i] == EMPTY_VALUE ||
        boiling[i] == EMPTY_VALUE || ids[i] == EMPTY_VALUE)
      return EMPTY_VALUE;
    if (IsWater(ids[i], cas[i])) continue;
    // A specific gravity of zero or below cannot divide.
    if (!(density[i] > 0.0)) return EMPTY_VALUE;
    const double component_mass = weights[i] * x[i];
    const double gravity = density[i] / kWaterDensity;
    moles += x[i];
    mass += component_mass;
    volume += component_mass / gravity;
    molar_boiling += boiling[i] * x[i] * kRankinePerKelvin;
    cubic_boiling += std::pow(boiling[i] * kRankinePerKelvin, kCubeRoot) * component_mass / gravity;
  }
  if (!(volume > 0.0) || moles == 0.0 || mass == 0.0) return EMPTY_VALUE;

  const double gravity = (mass / moles) / (volume / moles);
  const double cubic_average = std::pow((cubic_boiling / moles) * gravity / (mass / moles), kCube);
  const double mean_average = (cubic_average + molar_boiling / moles) * kAveragingWeight;
  const double watson_k = std::pow(mean_average, kCubeRoot) / gravity;
  // Boiling points below zero kelvin, or fractions of mixed sign, leave no real root.
  return std::isfinite(watson_k) ? watson_k : EMPTY_VALUE;
}

double CPropertyCalculator::GetViscosityIdx(int phase, double a, double b, double c) {
  if (!LoadFluidState() || !UsableParameter(a) || !UsableParameter(b) || !UsableParameter(c))
    return EMPTY_VALUE;
  if (FAILED(fluid_->GetTransport(&State))) return EMPTY_VALUE;
  const double viscosity = State.Viscosity[phase];
  if (viscosity == EMPTY_VALUE || !std::isfinite(viscosity)) return EMPTY_VALUE;
  // Both logarithms need a positive argument.
  const double shifted = viscosity + c;
  if (!(shifted > 0.0)) return EMPTY_VALUE;
  const double y = std::log10(shifted);
  if (y <= 0.0) return EMPTY_VALUE;
  return a * std::log10(y) + b;
}

}  // namespace tarvox
