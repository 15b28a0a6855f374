// Solution gas-oil and water-oil ratios and oil formation volume factor, from host flashes of the
// stream's overall composition at standard conditions (15 °C, 101.325 kPa).
#include <cmath>
#include <optional>

#include "calculator/property_calculator.h"
#include "correlations/component_identity.h"

namespace tarvox {

namespace {

constexpr double kStandardTemperature = 15.0;
constexpr double kStandardPressure = 101.325;
// 3600 × the ideal-gas molar volume at the standard conditions, 23.644436 m³/kmol.
constexpr double kStandardGasVolumeFactor = 85119.9696;
constexpr double kLiquidVolumeFactor = 3600.0;
constexpr double kPresenceThreshold = 1e-6;

// A volume per unit amount of feed; empty when the flash left it undeterminable.
using Volume = std::optional<double>;

bool AnyMissingComposition(const FluidState& record) {
  if (record.ComponentCount <= 0) return false;
  // Indexed: the packed record leaves the pointers off their natural alignment.
  for (int k = 0; k < PhaseSlotCount; ++k)
    if (!record.Composition[k]) return true;
  return false;
}

// Liquid volume of phase 1 or 2 after a flash: 0 when the phase is absent.
Volume LiquidVolume(const FluidState& record, int phase) {
  const double beta = record.PhaseFraction[phase];
  if (!(beta > kPresenceThreshold)) return 0.0;
  const double v = record.MolarVolume[phase];
  if (!(v > 0.0) || record.PhasePresent[phase] == 0 || !(1.0 / v > 1e-10)) return std::nullopt;
  return beta / (1.0 / v);
}

// The first liquid, plus the second unless it is water.
Volume OilVolume(CPropertyCalculator& calculator, const FluidState& record) {
  const Volume first = LiquidVolume(record, kLiquid1);
  Volume second = 0.0;
  if (record.PhaseFraction[kLiquid2] > kPresenceThreshold) {
    const std::optional<bool> water = calculator.IsAqueousPhase(record, kLiquid2);
    if (!water) return std::nullopt;
    if (!*water) second = LiquidVolume(record, kLiquid2);
  }
  if (!first || !second) return std::nullopt;
  return *first + *second;
}

bool Positive(const Volume& volume) { return volume && *volume > 0.0; }

void SetStandardConditions(FluidState& record) {
  record.Temperature = kStandardTemperature;
  record.Pressure = kStandardPressure;
  record.PhaseFraction[kVapour] = EMPTY_VALUE;
}

// Builds the overall-composition working record and flashes it at standard conditions.
bool FlashAtStandardConditions(CPropertyCalculator& calculator, IHostFlash* flash, FluidState& record) {
  calculator.MakeFlashRecord(&record, calculator.State, kFeed);
  if (AnyMissingComposition(record)) return false;
  SetStandardConditions(record);
  return SUCCEEDED(CPropertyCalculator::Flash(flash, record));
}

}  // namespace

std::optional<bool> CPropertyCalculator::IsAqueousPhase(const FluidState& record, int phase) {
  const TaskArray<double> cas(GetNamedArray("CAS_Numbers", 1, record.ComponentCount));
  const double* x = record.Composition[phase];
  if (!cas || !x) return false;
  int water = -1;
  for (int i = 0; i < record.ComponentCount; ++i) {
    if (!std::isfinite(cas[i])) return std::nullopt;  // it could be water
    if (cas[i] == component::kWaterCas) water = i;    // with several, the last
  }
  if (water < 0) return false;
  double others = 0.0;
  for (int i = 0; i < record.ComponentCount; ++i)
    if (i != water) others += x[i];
  if (!std::isfinite(others + x[water])) return std::nullopt;
  return x[water] > others && x[water] + others > 0.5;
}

double CPropertyCalculator::GetSolutionGOR() {
  const ComPtr<IHostFlash> flash = QueryFlash();
  if (!flash || !LoadFluidState()) return EMPTY_VALUE;
  FlashRecord record;
  if (!FlashAtStandardConditions(*this, flash.Get(), record.Get())) return EMPTY_VALUE;
  const double vapour = record->PhaseFraction[kVapour];
  const double gas = vapour > 0.0 ? vapour * kStandardGasVolumeFactor : 0.0;
  const Volume oil = OilVolume(*this, record.Get());
  if (!(gas > 0.0) || !Positive(oil)) return EMPTY_VALUE;
  return gas / (*oil * kLiquidVolumeFactor);
}

double CPropertyCalculator::GetSolutionWOR() {
  const ComPtr<IHostFlash> flash = QueryFlash();
  if (!flash || !LoadFluidState()) return EMPTY_VALUE;
  FlashRecord record;
  if (!FlashAtStandardConditions(*this, flash.Get(), record.Get())) return EMPTY_VALUE;
  const Volume oil = LiquidVolume(record.Get(), kLiquid1);
  if (!(record->PhaseFraction[kLiquid2] > kPresenceThreshold) ||
      !IsAqueousPhase(record.Get(), kLiquid2).value_or(false))
    return EMPTY_VALUE;
  const Volume water = LiquidVolume(record.Get(), kLiquid2);
  if (!Positive(water) || !Positive(oil)) return EMPTY_VALUE;
  return *water / *oil;
}

double CPropertyCalculator::GetOilFVF() {
  const ComPtr<IHostFlash> flash = QueryFlash();
  if (!flash || !LoadFluidState()) return EMPTY_VALUE;
  FlashRecord record;
  MakeFlashRecord(&record.Get(), State, kFeed);
  if (AnyMissingComposition(record.Get())) return EMPTY_VALUE;

  // A failed flash at stream conditions still leads to the standard-conditions flash.
  Volume at_stream = 0.0;
  if (SUCCEEDED(Flash(flash.Get(), record.Get()))) at_stream = OilVolume(*this, record.Get());

  SetStandardConditions(record.Get());
  for (int k = 0; k < PhaseSlotCount; ++k) {
    record->MolarEnthalpy[k] = EMPTY_VALUE;
    record->MolarEntropy[k] = EMPTY_VALUE;
  }
  if (FAILED(Flash(flash.Get(), record.Get()))) return EMPTY_VALUE;
  const Volume at_standard = OilVolume(*this, record.Get());
  if (!Positive(at_standard) || !Positive(at_stream)) return EMPTY_VALUE;
  return *at_stream / *at_standard;
}

}  // namespace tarvox
