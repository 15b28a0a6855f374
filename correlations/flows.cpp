// Volumetric flows: actual flow of the stream and of its phases, vapour-only and liquid-only
// actual flows, ideal-gas flow at standard conditions, the sum of the phases' standard liquid
// volume flows, and the phase fraction on the actual-volume basis.
#include <array>

#include "calculator/property_calculator.h"

namespace tarvox {

namespace {

// A phase below this molar fraction adds nothing to a flow sum.
constexpr double kTracePhaseFraction = 1e-6;
// Ideal-gas molar volumes at 101.325 kPa, m³/kmol, chosen by the host's temperature unit flag.
constexpr double kStdMolarVolumeAt60F = 23.6900231;
constexpr double kStdMolarVolumeAt15C = 23.644436;

bool Absent(const FluidState& s, int phase) { return phase != kFeed && s.PhasePresent[phase] == 0; }

// The standard molar volume the host prefers, EMPTY_VALUE when it offers none.
double StandardMolarVolume(CPropertyCalculator& calc) {
  const double given = calc.FirstValue("StdIdealMolarVolume");
  if (given != EMPTY_VALUE) return given;
  const double flag = calc.FirstValue("TempUnitFlag");
  if (flag == 0.0) return kStdMolarVolumeAt60F;
  if (flag == 1.0) return kStdMolarVolumeAt15C;
  return EMPTY_VALUE;
}

}  // namespace

double CPropertyCalculator::GetActVolumeFlow(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  const double flow = StreamMolarFlow;
  if (flow == EMPTY_VALUE) return EMPTY_VALUE;
  if (flow == 0.0) return 0.0;
  const double rho = Nested(*this, [&] { return GetMolarDensity(phase); });
  if (rho <= 0.0) return EMPTY_VALUE;  // a density that is no number travels on
  if (phase == kFeed) return flow / rho;
  // An empty fraction would scale the flow by the marker itself.
  const double beta = State.PhaseFraction[phase];
  if (beta == EMPTY_VALUE) return EMPTY_VALUE;
  return beta * flow / rho;
}

double CPropertyCalculator::GetActGasFlow(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  if (phase != kVapour && phase != kFeed) return EMPTY_VALUE;
  if (phase == kFeed && State.PhasePresent[kVapour] != 1) return EMPTY_VALUE;
  if (!(State.PhaseFraction[kVapour] > kTracePhaseFraction)) return EMPTY_VALUE;
  return Nested(*this, [&] { return GetActVolumeFlow(kVapour); });
}

double CPropertyCalculator::GetActLiqFlow(int phase) {
  if (!LoadFluidState() || phase == kVapour) return EMPTY_VALUE;
  if (phase != kFeed && (State.PhasePresent[phase] == 0 || State.PhaseFraction[phase] == EMPTY_VALUE))
    return EMPTY_VALUE;
  if (phase == kSolid) return EMPTY_VALUE;
  // A first liquid in traces does not count; the second liquid always does.
  // Written so that a fraction that is no number counts, and makes the sum no number.
  const bool first_counts =
      State.PhasePresent[kLiquid1] == 1 && !(State.PhaseFraction[kLiquid1] <= kTracePhaseFraction);
  std::array<double, 2> flows{EMPTY_VALUE, EMPTY_VALUE};  // first liquid, second liquid
  if (first_counts) flows[0] = Nested(*this, [&] { return GetActVolumeFlow(kLiquid1); });
  flows[1] = Nested(*this, [&] { return GetActVolumeFlow(kLiquid2); });
  if (phase != kFeed) return flows[phase - kLiquid1];
  bool taken = false;
  double sum = 0.0;
  for (double v : flows) {
    if (v == EMPTY_VALUE) continue;
    sum += v;
    taken = true;
  }
  return taken ? sum : EMPTY_VALUE;
}

double CPropertyCalculator::GetStdGasFlow(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double flow = StreamMolarFlow;
  if (flow == 0.0) return 0.0;
  if (flow == EMPTY_VALUE) return EMPTY_VALUE;
  const double standard_volume = StandardMolarVolume(*this);
  if (standard_volume == EMPTY_VALUE) return EMPTY_VALUE;
  if (phase == kFeed) return standard_volume * flow;
  // No presence test: an absent phase reports its fraction's share, but an empty fraction is no share.
  const double beta = State.PhaseFraction[phase];
  if (beta == EMPTY_VALUE) return EMPTY_VALUE;
  return standard_volume * flow * beta;
}

double CPropertyCalculator::GetMixedPhaseStdLiqVolFlow(int phase) {
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  const double flow = StreamMolarFlow;
  if (flow == 0.0) return 0.0;
  if (flow == EMPTY_VALUE) return EMPTY_VALUE;
  const double* given = PhaseArray("StdLiqMassDensity");
  if (!given) return EMPTY_VALUE;
  // Kept by value: the borrowed array is the host's and the nested calls below may fetch others.
  std::array<double, PhaseSlotCount> std_density{};
  for (int j = 0; j < PhaseSlotCount; ++j) std_density[j] = given[j];

  const auto share = [&](int j, double m) { return m * flow * State.PhaseFraction[j] / std_density[j]; };
  if (phase != kFeed) {
    const double m = Nested(*this, [&] { return GetMolecularWeight(phase); });
    if (std_density[phase] <= 0.0 || m <= 0.0 || State.PhaseFraction[phase] <= kTracePhaseFraction)
      return 0.0;
    return share(phase, m);
  }
  // The tests are written so that a value that is no number is taken in, and spoils the sum.
  double sum = 0.0;
  for (int j = kVapour; j <= kSolid; ++j) {
    const double m = Nested(*this, [&] { return GetMolecularWeight(j); });
    if (std_density[j] <= 0.0 || m <= 0.0 || State.PhasePresent[j] != 1 ||
        State.PhaseFraction[j] <= kTracePhaseFraction)
      continue;
    sum += share(j, m);
  }
  return sum;
}

double CPropertyCalculator::GetActVolumePhaseFraction(int phase) {
  // The presence flag is only meaningful once this stream's state is loaded.
  if (!LoadFluidState() || Absent(State, phase)) return EMPTY_VALUE;
  if (phase == kFeed && State.PhasePresent[kVapour] == 0) return 0.0;
  const int k = phase == kFeed ? kVapour : phase;
  const double phase_flow = GetActVolumeFlow(k);

  double total = EMPTY_VALUE;
  if (LoadFluidState() && StreamMolarFlow != EMPTY_VALUE && StreamMolarFlow != 0.0) {
    const double rho = Nested(*this, [&] { return GetMolarDensity(kFeed); });
    if (rho > 0.0) total = StreamMolarFlow / rho;
  }
  if (phase_flow == EMPTY_VALUE || total == EMPTY_VALUE || total == 0.0) return EMPTY_VALUE;
  return phase_flow / total;
}

}  // namespace tarvox
