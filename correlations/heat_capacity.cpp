// Heat capacities and the three Cv methods with their Cp/Cv ratios: the host's ratio (rigorous),
// the host's Cp/(Cp - R) (semi-ideal), and Cv from host flashes at constant molar volume
// (entropy method).
#include <cmath>

#include "calculator/property_calculator.h"

namespace tarvox {

namespace {

constexpr double kKelvinOffset = 273.15;
constexpr double kTemperatureStep = 0.01;    // °C
constexpr double kSecondPressureStep = 0.5;  // kPa
constexpr double kVolumeTolerance = 1e-10;   // m³/kmol, absolute
constexpr double kDenominatorGuard = 1e-10;
constexpr int kVolumeSearchSteps = 30;
constexpr double kLargestEntropyChange = 9e-4;  // relative

// Presence as the Cv methods see it: only a flag of exactly 0 shuts a phase out.
bool Gated(const FluidState& s, int phase) { return phase != kFeed && s.PhasePresent[phase] == 0; }

// Cp of one phase, or β-weighted over the phases flagged exactly 1 for the stream.
double LoadedHeatCapacity(const FluidState& s, int phase) {
  if (phase != kFeed) return s.PhasePresent[phase] == 1 ? s.MolarHeatCapacity[phase] : EMPTY_VALUE;
  double sum = 0.0;
  for (int j = kVapour; j <= kSolid; ++j) {
    const double beta = s.PhaseFraction[j];
    const double cp = s.MolarHeatCapacity[j];
    if (s.PhasePresent[j] != 1 || cp == EMPTY_VALUE || beta == EMPTY_VALUE) continue;
    sum += beta * cp;
  }
  return sum > 0.0 ? sum : EMPTY_VALUE;
}

// numerator / denominator, EMPTY_VALUE when either is 0 or empty.
double RatioOfValues(double numerator, double denominator) {
  if (numerator == 0.0 || numerator == EMPTY_VALUE || denominator == 0.0 || denominator == EMPTY_VALUE)
    return EMPTY_VALUE;
  return numerator / denominator;
}

// One point of the volume search: flash the record at temperature and pressure, and give the
// phase's molar volume less the target, EMPTY_VALUE when the flash left no usable phase.
class VolumePoint {
 public:
  VolumePoint(IHostFlash* flash, FluidState& record, const FluidState& loaded, int phase, double target)
      : flash_(flash), record_(record), loaded_(loaded), phase_(phase), target_(target) {}

  double Residual(double temperature, double pressure) {
    record_.Temperature = temperature;
    record_.Pressure = pressure;
    // The result code is not decisive: the values the host wrote are.
    CPropertyCalculator::Flash(flash_, record_);
    const double volume = record_.MolarVolume[phase_];
    if (CPropertyCalculator::PhaseSplitChanged(record_, loaded_, phase_) || volume == EMPTY_VALUE ||
        target_ == EMPTY_VALUE)
      return EMPTY_VALUE;
    return volume - target_;
  }

 private:
  IHostFlash* flash_;
  FluidState& record_;
  const FluidState& loaded_;
  int phase_;
  double target_;
};

// The pressure at which the phase, at `temperature`, has its loaded molar volume back, found by
// secant steps; false when the search fails. The record holds the last flash afterwards.
bool FindPressureOfLoadedVolume(VolumePoint& point, double temperature, double pressure) {
  double pa = pressure;
  double ra = point.Residual(temperature, pa);
  if (ra == EMPTY_VALUE) return false;
  double pb = pressure + kSecondPressureStep;
  double rb = point.Residual(temperature, pb);
  if (rb == EMPTY_VALUE) return false;
  for (int step = 1;; ++step) {
    // The volume must fall as the pressure rises, whichever point is the higher.
    if (std::fabs(ra - rb) <= kDenominatorGuard || (ra - rb) * (pb - pa) <= 0.0) return false;
    const double pc = pa - (pa - pb) * ra / (ra - rb);
    const double rc = point.Residual(temperature, pc);
    if (rc == EMPTY_VALUE) return false;
    if (step == kVolumeSearchSteps) return false;
    if (std::fabs(rc) <= kVolumeTolerance) return true;
    pa = pb;
    ra = rb;
    pb = pc;
    rb = rc;
  }
}

}  // namespace

double CPropertyCalculator::GetHeatCapacity(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  return LoadedHeatCapacity(State, phase);
}

double CPropertyCalculator::GetSpecificHeat(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  return LoadedHeatCapacity(State, phase);
}

double CPropertyCalculator::GetMassHeatCapacity(int phase) {
  if (!LoadFluidState()) return EMPTY_VALUE;
  const double m = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double c = Nested(*this, [&] { return GetHeatCapacity(phase); });
  return PerMass(c, m);
}

double CPropertyCalculator::GetRigorous_Cp_Cv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double* ratio = PhaseArray("Cp_Cv");
  return ratio ? ratio[phase] : EMPTY_VALUE;
}

double CPropertyCalculator::GetRigorous_Cv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double* ratios = PhaseArray("Cp_Cv");
  if (!ratios) return EMPTY_VALUE;
  const double ratio = ratios[phase];
  if (ratio == EMPTY_VALUE || ratio == 0.0) return EMPTY_VALUE;
  const double c = Nested(*this, [&] { return GetHeatCapacity(phase); });
  // A heat capacity of exactly 0 is a value here; a negative one (the empty marker included) is not.
  return c < 0.0 ? EMPTY_VALUE : c / ratio;
}

double CPropertyCalculator::GetRigorous_MassCv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double m = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double cv = Nested(*this, [&] { return GetRigorous_Cv(phase); });
  return RatioOfValues(cv, m);
}

double CPropertyCalculator::GetSemiIdeal_Cp_Cv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double* ratio = PhaseArray("Cp_CpR");
  return ratio ? ratio[phase] : EMPTY_VALUE;
}

double CPropertyCalculator::GetSemiIdeal_Cv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double c = Nested(*this, [&] { return GetHeatCapacity(phase); });
  const double* ratios = PhaseArray("Cp_CpR");
  if (!ratios) return EMPTY_VALUE;
  return RatioOfValues(c, ratios[phase]);
}

double CPropertyCalculator::GetSemiIdeal_MassCv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double m = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double cv = Nested(*this, [&] { return GetSemiIdeal_Cv(phase); });
  return RatioOfValues(cv, m);
}

double CPropertyCalculator::GetEntMeth_Cv(int phase) {
  CvCache[phase] = EMPTY_VALUE;
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double t = State.Temperature;
  const double p = State.Pressure;
  const double s1 = State.MolarEntropy[phase];
  const double target_volume = State.MolarVolume[phase];
  const double* z = Composition(kFeed);
  if (!z || t == EMPTY_VALUE || p == EMPTY_VALUE) return EMPTY_VALUE;
  for (int i = 0; i < State.ComponentCount; ++i)
    if (z[i] == EMPTY_VALUE) return EMPTY_VALUE;

  FlashRecord record;
  MakeFlashRecord(&record.Get(), State, phase);
  for (int k = 0; k < PhaseSlotCount; ++k)
    if (!record->Composition[k] && State.ComponentCount > 0) return EMPTY_VALUE;
  const ComPtr<IHostFlash> flash = QueryFlash();
  if (!flash) return EMPTY_VALUE;

  const double t2 = t + kTemperatureStep;
  VolumePoint point(flash.Get(), record.Get(), State, phase, target_volume);
  if (!FindPressureOfLoadedVolume(point, t2, p)) return EMPTY_VALUE;

  const double s2 = record->MolarEntropy[phase];
  if (s1 == EMPTY_VALUE || s2 == EMPTY_VALUE) return EMPTY_VALUE;
  // The relative change keeps the sign of s1, as the host's entropies are compared.
  if (s1 != 0.0 && std::fabs(s2 - s1) / s1 > kLargestEntropyChange) return EMPTY_VALUE;
  const double dt = t - t2;
  if (dt == 0.0) return EMPTY_VALUE;  // a temperature so large that the step vanishes
  const double cv = (s1 - s2) / dt * ((t + t2) / 2 + kKelvinOffset);
  if (!std::isfinite(cv)) return EMPTY_VALUE;
  CvCache[phase] = cv;
  return cv;
}

double CPropertyCalculator::GetEntMeth_Cp_Cv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double c = Nested(*this, [&] { return GetHeatCapacity(phase); });
  // Computed afresh each time: a stored Cv may belong to another stream or another state.
  const double cv = Nested(*this, [&] { return GetEntMeth_Cv(phase); });
  return RatioOfValues(c, cv);
}

double CPropertyCalculator::GetEntMeth_MassCv(int phase) {
  if (!LoadFluidState() || Gated(State, phase)) return EMPTY_VALUE;
  const double m = Nested(*this, [&] { return GetMolecularWeight(phase); });
  const double cv = Nested(*this, [&] { return GetEntMeth_Cv(phase); });
  return RatioOfValues(cv, m);
}

}  // namespace tarvox
