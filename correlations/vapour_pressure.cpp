// True and Reid vapour pressure at 100 °F (37.778 °C). The true value is one bubble-point flash;
// the Reid value is the pressure at which the phase's composition, stripped of light
// non-condensable gases and water, splits into vapour and liquid volumes of 4 to 1 (the Reid
// apparatus' chamber ratio), found by a secant iteration over host flashes with a bisection as
// fallback.
#include <cmath>
#include <iterator>
#include <cstdio>
#include <optional>

#include "calculator/property_calculator.h"
#include "correlations/component_identity.h"

namespace tarvox {

namespace {

constexpr double kReferenceTemperature = 37.778;  // °C, 100 °F
constexpr double kTargetRatio = 4.0;
constexpr int kIterationLimit = 50;
constexpr double kRatioTolerance = 1e-5;
constexpr double kSingleComponentTolerance = 1e-5;
constexpr double kSmallTvp = 0.001;  // kPa
constexpr double kStage1StartFactor = 0.9;
constexpr double kStage1PressureIncrease = 5000.0;  // kPa
constexpr double kStage2FirstStepFactor = 1.1;
constexpr double kBisectionWidthTolerance = 0.001;
constexpr double kBisectionRatioTolerance = 0.001;
constexpr double kLowerBoundFractions[] = {0.99, 0.8};
constexpr double kNonCondensableIds[] = {1.0, 13.0, 20.0};
constexpr double kNonCondensableCas[] = {74828.0, 7727379.0, 1333740.0};  // methane, nitrogen, hydrogen

// The host shows the text of the last message from this one module-wide buffer.
char message_buffer[256];

const char* PhaseLabel(int phase) {
  switch (phase) {
    case kVapour:
      return "VAP";
    case kLiquid1:
      return "LIQ1";
    case kLiquid2:
      return "LIQ2";
    case kSolid:
      return "SOLID";
    case kFeed:
      return "FEED";
    default:
      return "";
  }
}

enum class Message { kRequiresTvp, kOneComponent, kSmallTvp, kFlashFailed, kNoLiquid, kNotConverged };

void Report(IHostFlash* flash, Message message, int phase) {
  const char* label = PhaseLabel(phase);
  switch (message) {
    case Message::kRequiresTvp:
      std::snprintf(message_buffer, sizeof message_buffer, "Phase: %s - Reid VP Calculation Requires TVP.",
                    label);
      break;
    case Message::kOneComponent:
      std::snprintf(message_buffer, sizeof message_buffer, "%s",
                    "Fluid has only one active component - returning TVP as RVP");
      break;
    case Message::kSmallTvp:
      std::snprintf(message_buffer, sizeof message_buffer, "%s",
                    "Fluid has very small TVP - returning TVP as RVP");
      break;
    case Message::kFlashFailed:
      std::snprintf(message_buffer, sizeof message_buffer, "Phase: %s - Flash to determine RVP has failed.",
                    label);
      break;
    case Message::kNoLiquid:
      std::snprintf(message_buffer, sizeof message_buffer,
                    "Phase: %s - ASTM D323-73/79 not converged, when iterating to RVP, at %d iterations.",
                    label, kIterationLimit);
      break;
    case Message::kNotConverged:
      std::snprintf(message_buffer, sizeof message_buffer,
                    "Phase: %s - not converged, when iterating to RVP, at %d iterations.", label,
                    kIterationLimit);
      break;
  }
  flash->ReportMessage(message_buffer);
}

bool Matches(const double* column, int i, const double* values, std::size_t count) {
  if (!column) return false;
  for (std::size_t v = 0; v < count; ++v)
    if (column[i] == values[v]) return true;
  return false;
}

// Either column identifies a component; a missing column identifies nothing.
bool IsNonCondensable(const double* ids, const double* cas, int i) {
  return Matches(ids, i, kNonCondensableIds, std::size(kNonCondensableIds)) ||
         Matches(cas, i, kNonCondensableCas, std::size(kNonCondensableCas));
}

bool IsWater(const double* ids, const double* cas, int i) {
  return Matches(ids, i, &component::kWaterId, 1) || Matches(cas, i, &component::kWaterCas, 1);
}

// Divides the feed by its sum; a feed with nothing left in it stays all zero rather than be
// divided by zero.
void Normalise(double* z, int n) {
  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += z[i];
  if (sum == 0.0) return;
  for (int i = 0; i < n; ++i) z[i] /= sum;
}

bool HasSingleComponent(const FluidState& record) {
  for (int i = 0; i < record.ComponentCount; ++i)
    if (std::fabs(record.Composition[kFeed][i] - 1.0) <= kSingleComponentTolerance) return true;
  return false;
}

bool FeedIsEmpty(const FluidState& record) {
  double sum = 0.0;
  for (int i = 0; i < record.ComponentCount; ++i) sum += record.Composition[kFeed][i];
  return sum == 0.0;
}

bool AllArraysAllocated(const FluidState& record) {
  for (int k = 0; k < PhaseSlotCount; ++k)
    if (!record.Composition[k]) return false;
  return true;
}

// The stream-level conditions shared by every vapour-pressure evaluator.
bool PassesGate(CPropertyCalculator& calculator, const IHostFlash* flash, int phase) {
  if (!flash || !calculator.LoadFluidState()) return false;
  const FluidState& state = calculator.State;
  if (phase != kFeed && state.PhasePresent[phase] == 0) return false;
  const double* z = calculator.Composition(kFeed);
  if (!z) return false;
  for (int i = 0; i < state.ComponentCount; ++i)
    if (z[i] == EMPTY_VALUE) return false;
  return state.Pressure != EMPTY_VALUE && state.Temperature != EMPTY_VALUE;
}

// The Reid volumes scale with the stream's flow: a flow that is no number decides nothing.
bool PassesReidGate(CPropertyCalculator& calculator, const IHostFlash* flash, int phase) {
  return PassesGate(calculator, flash, phase) && std::isfinite(calculator.StreamMolarFlow);
}

void SetBubblePoint(FluidState& record) {
  record.Temperature = kReferenceTemperature;
  record.Pressure = EMPTY_VALUE;
  record.PhaseFraction[kVapour] = 0.0;
}

// Clears the results a host might take as a starting guess, for a flash at a given pressure.
void ClearForPressureFlash(FluidState& record, double pressure) {
  record.Temperature = kReferenceTemperature;
  record.Pressure = pressure;
  for (int k = 0; k < 4; ++k) record.PhaseFraction[k] = EMPTY_VALUE;
  for (int k = 0; k < PhaseSlotCount; ++k) {
    record.MolarEnthalpy[k] = EMPTY_VALUE;
    record.MolarEntropy[k] = EMPTY_VALUE;
  }
}

struct PhaseVolumes {
  bool vapour_counts = false;
  double vapour = 0.0;
  double liquid = 0.0;
};

// Phase volumes of a flashed record at the stream's molar flow.
PhaseVolumes VolumesOf(const FluidState& record, double stream_molar_flow) {
  const double flow = stream_molar_flow < 1e-10 ? 1.0 : stream_molar_flow;
  auto counts = [&](int k) { return record.PhasePresent[k] != 0 && record.PhaseFraction[k] > 1e-6; };
  auto volume = [&](int k) {
    const double v = record.MolarVolume[k];
    if (v <= 0.0 || 1.0 / v <= 1e-10) return EMPTY_VALUE;
    return record.PhaseFraction[k] * flow / (1.0 / v);
  };
  PhaseVolumes volumes;
  volumes.vapour_counts = counts(kVapour);
  if (volumes.vapour_counts) volumes.vapour = volume(kVapour);
  for (int k = kLiquid1; k <= kLiquid2; ++k) {
    if (!counts(k)) continue;
    const double v = volume(k);
    if (v == EMPTY_VALUE) {
      volumes.liquid = EMPTY_VALUE;
      break;
    }
    volumes.liquid += v;
  }
  return volumes;
}

bool Usable(double volume) { return volume != 0.0 && volume != EMPTY_VALUE; }

// The flash and record that one Reid iteration works on.
struct ReidIteration {
  IHostFlash* flash;
  FluidState& record;
  double stream_molar_flow;
  int phase;

  bool Flash() {
    if (SUCCEEDED(CPropertyCalculator::Flash(flash, record))) return true;
    Report(flash, Message::kFlashFailed, phase);
    return false;
  }
  PhaseVolumes Volumes() const { return VolumesOf(record, stream_molar_flow); }
};

struct BestPoint {
  double pressure;
  double ratio;
};

// Stage 1: raises the pressure from just below the TVP until liquid forms. Empty when the
// evaluation falls back.
std::optional<BestPoint> FindLiquid(ReidIteration& it, double tvp) {
  double p = kStage1StartFactor * tvp;
  int n = 0;
  PhaseVolumes volumes;
  do {
    it.record.Temperature = kReferenceTemperature;
    it.record.Pressure = p;
    if (!it.Flash()) return std::nullopt;
    volumes = it.Volumes();
    if (volumes.liquid == EMPTY_VALUE) {
      // The pressure stays, so every further flash would repeat this one until the count ran out.
      n = kIterationLimit;
      break;
    }
    if (volumes.liquid == 0.0) p += kStage1PressureIncrease;
    ++n;
  } while (volumes.liquid <= 0.0 && n < kIterationLimit);
  if (n == kIterationLimit) {
    Report(it.flash, Message::kNoLiquid, it.phase);
    return std::nullopt;
  }
  return BestPoint{p, volumes.vapour / volumes.liquid};
}

// The next pressure from the secant through the best point; positive and finite.
double SecantStep(double p, const BestPoint& best, double r) {
  const double e = r - kTargetRatio;
  const double d = r - best.ratio;
  if (d == 0.0) return r < kTargetRatio ? 0.9 * p : 1.1 * p;
  double next;
  if (p > 0.1) {
    next = p - (p - best.pressure) * e / d;
  } else {
    // At very low pressures the ratio is closer to linear in the reciprocal pressure.
    const double reciprocal = 1.0 / p - (1.0 / p - 1.0 / best.pressure) * e / d;
    next = reciprocal != 0.0 ? 1.0 / reciprocal : 0.0;
  }
  if (next > 0.0 && std::isfinite(next)) return next;
  for (int k = 1; k <= 9; ++k) {
    const double retry = p - k * 0.1 * e * (p - best.pressure) / d;
    if (retry > 0.0 && std::isfinite(retry)) return retry;
  }
  return 0.5 * p;
}

// Stage 2: secant iteration on the volume ratio. Empty when the evaluation falls back.
std::optional<double> IterateToRatio(ReidIteration& it, BestPoint best) {
  double best_error = std::fabs(best.ratio - kTargetRatio);
  double last_ratio = EMPTY_VALUE;
  double p = kStage2FirstStepFactor * best.pressure;
  int j = 1;
  while (best_error > kRatioTolerance && j < kIterationLimit) {
    ClearForPressureFlash(it.record, p);
    if (!it.Flash()) return std::nullopt;
    const PhaseVolumes volumes = it.Volumes();
    double next;
    if (volumes.liquid == 0.0) {
      next = 1.1 * p;
    } else if (volumes.vapour == 0.0 || volumes.vapour == EMPTY_VALUE) {
      next = 0.95 * p;
    } else {
      double r = last_ratio;
      if (volumes.liquid != EMPTY_VALUE) r = last_ratio = volumes.vapour / volumes.liquid;
      const double e = r - kTargetRatio;
      next = SecantStep(p, best, r);
      if (std::fabs((next - p) / p) > 2.0) {
        // A long step is flashed first, and cut short when it crosses the target.
        it.record.Pressure = next;
        if (!it.Flash()) return std::nullopt;
        const PhaseVolumes check = it.Volumes();
        double r_check = last_ratio;
        if (Usable(check.liquid)) r_check = last_ratio = check.vapour / check.liquid;
        if (r < kTargetRatio && r_check > kTargetRatio) {
          next = 0.98 * p;
        } else if (r > kTargetRatio && r_check < kTargetRatio) {
          next = 1.02 * p;
        }
        r = r_check;
      }
      if (next == 0.0) next = 1e-4;
      if (std::fabs(e) < best_error) {
        best = BestPoint{p, r};
        best_error = std::fabs(e);
      }
    }
    p = next;
    ++j;
  }
  if (j == kIterationLimit) {
    Report(it.flash, Message::kNotConverged, it.phase);
    return std::nullopt;
  }
  return best.pressure;
}

}  // namespace

void CPropertyCalculator::RemoveNonCondensables(const double* ids, const double* cas, FluidState& record,
                                                double remove_nc_mol_percent) {
  double* z = record.Composition[kFeed];
  if (!z) return;
  const double threshold = remove_nc_mol_percent / 100.0;
  for (int i = 0; i < record.ComponentCount; ++i)
    if (IsNonCondensable(ids, cas, i) && z[i] < threshold) z[i] = 0.0;
  Normalise(z, record.ComponentCount);
}

void CPropertyCalculator::RemoveWater(const double* ids, const double* cas, FluidState& record) {
  double* z = record.Composition[kFeed];
  if (!z) return;
  for (int i = 0; i < record.ComponentCount; ++i)
    if (IsWater(ids, cas, i)) z[i] = 0.0;
  Normalise(z, record.ComponentCount);
}

namespace {

// Builds a Reid working record for `phase`: its feed without the non-condensables below the
// threshold and, unless one component is left, without water. False when the record cannot be
// built or nothing is left of the feed.
bool PrepareReidRecord(CPropertyCalculator& calculator, FluidState& record, int phase,
                       double remove_nc_mol_percent) {
  calculator.MakeFlashRecord(&record, calculator.State, phase);
  if (!AllArraysAllocated(record)) return false;
  const TaskArray<double> ids = calculator.ComponentArrayCopy("ComponentIDs");
  const TaskArray<double> cas = calculator.ComponentArrayCopy("CAS_Numbers");
  calculator.RemoveNonCondensables(ids.Get(), cas.Get(), record, remove_nc_mol_percent);
  if (!HasSingleComponent(record)) calculator.RemoveWater(ids.Get(), cas.Get(), record);
  return !FeedIsEmpty(record);
}

}  // namespace

double CPropertyCalculator::GetTVP_100F(int phase) {
  const ComPtr<IHostFlash> flash = QueryFlash();
  if (!PassesGate(*this, flash.Get(), phase)) return EMPTY_VALUE;
  FlashRecord record;
  MakeFlashRecord(&record.Get(), State, phase);
  if (!AllArraysAllocated(record.Get())) return EMPTY_VALUE;
  SetBubblePoint(record.Get());
  if (FAILED(Flash(flash.Get(), record.Get()))) return EMPTY_VALUE;
  return record->Pressure;
}

double CPropertyCalculator::GetRVP_100F(int phase, double remove_nc_mol_percent) {
  ComPtr<IHostFlash> flash = QueryFlash();
  if (!PassesReidGate(*this, flash.Get(), phase)) return EMPTY_VALUE;
  // Declared before the fallback runs so that they are freed after it, on every path.
  FlashRecord tvp_record;
  FlashRecord iteration_record;
  auto fall_back = [&] {
    flash.Reset();
    return GetRVPBisection(phase, remove_nc_mol_percent);
  };

  if (!PrepareReidRecord(*this, tvp_record.Get(), phase, remove_nc_mol_percent)) return EMPTY_VALUE;
  SetBubblePoint(tvp_record.Get());
  if (FAILED(Flash(flash.Get(), tvp_record.Get()))) {
    Report(flash.Get(), Message::kRequiresTvp, phase);
    return fall_back();
  }
  const double tvp = tvp_record->Pressure;
  if (HasSingleComponent(tvp_record.Get())) {
    Report(flash.Get(), Message::kOneComponent, phase);
    return tvp;
  }
  if (tvp < kSmallTvp) {
    Report(flash.Get(), Message::kSmallTvp, phase);
    return tvp;
  }

  if (!PrepareReidRecord(*this, iteration_record.Get(), phase, remove_nc_mol_percent)) return EMPTY_VALUE;
  ReidIteration iteration{flash.Get(), iteration_record.Get(), StreamMolarFlow, phase};
  const std::optional<BestPoint> liquid = FindLiquid(iteration, tvp);
  if (!liquid) return fall_back();
  const std::optional<double> reid = IterateToRatio(iteration, *liquid);
  if (!reid) return fall_back();
  return *reid;
}

double CPropertyCalculator::GetRVPBisection(int phase, double remove_nc_mol_percent) {
  const ComPtr<IHostFlash> flash = QueryFlash();
  if (!PassesReidGate(*this, flash.Get(), phase)) return EMPTY_VALUE;
  FlashRecord holder;
  FluidState& record = holder.Get();
  if (!PrepareReidRecord(*this, record, phase, remove_nc_mol_percent)) return EMPTY_VALUE;
  SetBubblePoint(record);
  if (FAILED(Flash(flash.Get(), record))) return EMPTY_VALUE;
  const double tvp = record.Pressure;
  if (HasSingleComponent(record)) {
    Report(flash.Get(), Message::kOneComponent, phase);
    return tvp;
  }

  bool bounded = false;
  for (double vaporised : kLowerBoundFractions) {
    ClearForPressureFlash(record, EMPTY_VALUE);
    record.PhaseFraction[kVapour] = vaporised;
    if (SUCCEEDED(Flash(flash.Get(), record))) {
      bounded = true;
      break;
    }
  }
  if (!bounded) return EMPTY_VALUE;
  double low = record.Pressure;
  double high = tvp;
  // A flash that succeeds without a pressure gives no bound: the marker is no pressure to bisect.
  if (low == EMPTY_VALUE || high == EMPTY_VALUE) return EMPTY_VALUE;
  const PhaseVolumes bound = VolumesOf(record, StreamMolarFlow);
  if (!bound.vapour_counts || !Usable(bound.vapour) || !Usable(bound.liquid)) return EMPTY_VALUE;

  double r = 0.0;
  for (int i = 0; i < kIterationLimit;) {
    const double middle = (low + high) / 2.0;
    ClearForPressureFlash(record, middle);
    if (SUCCEEDED(Flash(flash.Get(), record))) {
      const PhaseVolumes volumes = VolumesOf(record, StreamMolarFlow);
      if (Usable(volumes.vapour) && Usable(volumes.liquid)) r = volumes.vapour / volumes.liquid;
    }
    if (r < kTargetRatio) {
      high = middle;
    } else {
      low = middle;
    }
    // The width relative to the lower end, multiplied out: a lower end of 0 is no convergence.
    if (std::fabs(low - high) < kBisectionWidthTolerance * std::fabs(low)) return middle;
    ++i;
    if (std::fabs(r - kTargetRatio) <= kBisectionRatioTolerance)
      return i < kIterationLimit ? middle : EMPTY_VALUE;
  }
  return EMPTY_VALUE;
}

}  // namespace tarvox
