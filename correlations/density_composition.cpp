// Molecular weight, densities, molar volume, Z factor, mass and liquid-volume phase fractions,
// mass enthalpy and entropy.
#include "calculator/property_calculator.h"

namespace tarvox {

namespace {

constexpr double kKelvinOffset = 273.15;
constexpr double kGasConstant = 8.31432;  // kPa·m³/(kmol·K)

bool Absent(const FluidState& s, int phase) { return phase != kFeed && s.PhasePresent[phase] == 0; }

// A standard liquid density that is empty, zero or negative cannot divide.
bool UsableDensity(double density) { return density != EMPTY_VALUE && density > 0.0; }

}  // namespace

double CPropertyCalculator::GetMolecularWeight(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double* x = Composition(phase);
  const int n = State.ComponentCount;
  if (!x || (n > 0 && x[0] == EMPTY_VALUE)) return EMPTY_VALUE;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += MolecularWeights[i] * x[i];
  return sum;
}

double CPropertyCalculator::GetMolarDensity(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  if (phase != kFeed) {
    if (State.PhasePresent[phase] == 0 || State.MolarVolume[phase] <= 0.0) return EMPTY_VALUE;
    return 1.0 / State.MolarVolume[phase];
  }
  double sum = 0.0;
  for (int j = kVapour; j <= kSolid; ++j) {
    const double beta = State.PhaseFraction[j];
    if (State.PhasePresent[j] == 0 || beta == 0.0) continue;
    if (beta == EMPTY_VALUE || State.MolarVolume[j] <= 0.0) return EMPTY_VALUE;
    sum += beta / (1.0 / State.MolarVolume[j]);
  }
  return sum <= 0.0 ? EMPTY_VALUE : 1.0 / sum;
}

double CPropertyCalculator::GetMassDensity(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  if (phase != kFeed && (State.PhasePresent[phase] == 0 || State.MolarVolume[phase] <= 0.0))
    return EMPTY_VALUE;
  const double m = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double rho = Nested(*this, [&] { return GetMolarDensity(phase); });
  return m > 0.0 && rho > 0.0 ? rho * m : EMPTY_VALUE;
}

double CPropertyCalculator::GetMolarVolume(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  const double v = State.MolarVolume[phase];
  return v == EMPTY_VALUE || v <= 0.0 ? EMPTY_VALUE : v;
}

double CPropertyCalculator::GetAvgLiqDensity(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  const double* density = ComponentArray("Standard Liquid Density");
  const double* x = Composition(phase);
  const int n = State.ComponentCount;
  if (!MolecularWeights || !density || !x || StreamMolarFlow <= 0.0 || n <= 0) return EMPTY_VALUE;
  double sum = 0.0;
  for (int i = 0; i < n; ++i) {
    if (MolecularWeights[i] == EMPTY_VALUE || !UsableDensity(density[i]) || x[i] == EMPTY_VALUE)
      return EMPTY_VALUE;
    sum += x[i] * MolecularWeights[i] / density[i];
  }
  return sum == 0.0 ? EMPTY_VALUE : 1.0 / sum;
}

double CPropertyCalculator::GetStdIdealLiqMassDensity(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  double a = EMPTY_VALUE;
  double b = EMPTY_VALUE;
  {
    const StateReuse reuse(*this);
    a = GetAvgLiqDensity(phase);
    b = GetMolecularWeight(phase);
  }
  if (a != EMPTY_VALUE && b != EMPTY_VALUE) return b * a;

  // Fallback: the per-component sums of mass and standard liquid volume.
  const double* density = ComponentArray("Standard Liquid Density");
  const double* x = Composition(phase);
  if (!density || !x || !MolecularWeights) return EMPTY_VALUE;
  double mass_sum = 0.0;
  double volume_sum = 0.0;
  for (int i = 0; i < State.ComponentCount; ++i) {
    if (x[i] == EMPTY_VALUE || MolecularWeights[i] == EMPTY_VALUE || !UsableDensity(density[i]))
      return EMPTY_VALUE;
    mass_sum += MolecularWeights[i] * x[i];
    volume_sum += MolecularWeights[i] * x[i] / density[i];
  }
  const double mass = b == 0.0 ? 0.0 : mass_sum;
  return volume_sum == 0.0 || volume_sum == EMPTY_VALUE ? EMPTY_VALUE : mass / volume_sum;
}

double CPropertyCalculator::GetZFactor(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  if (phase == kFeed) {
    int present = 0;
    for (int j = kVapour; j <= kSolid; ++j) present += State.PhasePresent[j] == 1;
    if (present > 1) return EMPTY_VALUE;
  } else if (State.PhasePresent[phase] == 0) {
    return EMPTY_VALUE;
  }
  const double rho = Nested(*this, [&] { return GetMolarDensity(phase); });
  const double p = State.Pressure;
  const double t = State.Temperature;
  if (p == EMPTY_VALUE || t == EMPTY_VALUE || rho == EMPTY_VALUE || t + kKelvinOffset == 0.0 || rho == 0.0)
    return EMPTY_VALUE;
  return p / rho / (t + kKelvinOffset) / kGasConstant;
}

double CPropertyCalculator::GetMassPhaseFraction(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  const int k = phase == kFeed && State.PhasePresent[kVapour] != 0 ? kVapour : phase;
  const double m_stream = Nested(*this, [&] { return GetMolecularWeight(kFeed); });
  const double m_phase = Nested(*this, [&] { return GetMolecularWeight(k); });
  if (k == kFeed) return 0.0;  // no vapour
  const double beta = State.PhaseFraction[k];
  if (m_stream > 0.0 && m_phase > 0.0 && beta != EMPTY_VALUE) return m_phase * beta / m_stream;
  return EMPTY_VALUE;
}

double CPropertyCalculator::GetVolumePhaseFraction(int phase) {
  // The presence flag is tested on the stream's own state, so the state is loaded first.
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  if (phase == kFeed && State.PhasePresent[kVapour] == 0) return 0.0;
  const int k = phase == kFeed ? kVapour : phase;
  const double* density = ComponentArray("Standard Liquid Density");
  const double* x = Composition(k);
  const double* z = Composition(kFeed);
  const int n = State.ComponentCount;
  if (!density || !MolecularWeights || !x || !z || n <= 0) return EMPTY_VALUE;
  double phase_volume = 0.0;
  double stream_volume = 0.0;
  for (int i = 0; i < n; ++i) {
    if (MolecularWeights[i] == EMPTY_VALUE || !UsableDensity(density[i]) || x[i] == EMPTY_VALUE)
      return EMPTY_VALUE;
    phase_volume += MolecularWeights[i] * x[i] / density[i];
    stream_volume += MolecularWeights[i] * z[i] / density[i];
  }
  if (stream_volume <= 0.0) return EMPTY_VALUE;
  phase_volume = phase_volume * State.PhaseFraction[k];
  if (phase_volume <= 0.0) return EMPTY_VALUE;
  return phase_volume / stream_volume;
}

double CPropertyCalculator::GetMassEnthalpy(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double m = GetMolecularWeight(phase);
  const double h = State.MolarEnthalpy[phase];
  return PerMass(h, m);
}

double CPropertyCalculator::GetMassEntropy(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double m = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double s = State.MolarEntropy[phase];
  return PerMass(s, m);
}

}  // namespace tarvox
