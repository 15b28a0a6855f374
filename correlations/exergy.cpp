// Physical exergy per unit mass against a dead state at the user's reference temperature and
// pressure: (h − h0) − T0·(s − s0), the reference values from one host flash.
#include <optional>

#include "calculator/property_calculator.h"

namespace tarvox {

namespace {

constexpr double kKelvinOffset = 273.15;

// A molar value from the reference flash per unit mass; a value the flash did not give counts as 0.
double ReferencePerMass(double molar, double molecular_weight) {
  const double per_mass = PerMass(molar, molecular_weight);
  return per_mass == EMPTY_VALUE ? 0.0 : per_mass;
}

// Molecular weight of the flash feed; empty without components or with a non-positive sum.
std::optional<double> FeedMolecularWeight(const FluidState& record, const double* weights) {
  const double* feed = record.Composition[kFeed];
  if (record.ComponentCount <= 0 || !feed) return std::nullopt;
  double sum = 0.0;
  for (int i = 0; i < record.ComponentCount; ++i) sum += feed[i] * weights[i];
  if (!(sum > 0.0)) return std::nullopt;
  return sum;
}

}  // namespace

double CPropertyCalculator::GetExergy(int phase, double ref_temperature, double ref_pressure) {
  if (ref_temperature == EMPTY_VALUE || ref_pressure == EMPTY_VALUE) return EMPTY_VALUE;

  double enthalpy = EMPTY_VALUE;
  if (LoadFluidState()) enthalpy = PerMass(State.MolarEnthalpy[phase], GetMolecularWeight(phase));
  double entropy = EMPTY_VALUE;
  if (LoadFluidState()) {
    const double weight = Nested(*this, [&] { return GetMolecularWeight(phase); });
    entropy = PerMass(State.MolarEntropy[phase], weight);
  }

  const ComPtr<IHostFlash> flash = QueryFlash();
  if (!flash) return EMPTY_VALUE;
  FlashRecord record;
  MakeFlashRecord(&record.Get(), State, phase);
  record->Temperature = ref_temperature;
  record->Pressure = ref_pressure;

  const double* weights = GetNamedArray("Molecular Weight", 0, record->ComponentCount);
  if (!weights || !FeedMolecularWeight(record.Get(), weights)) return EMPTY_VALUE;

  record->Temperature = ref_temperature;
  record->Pressure = ref_pressure;
  // Indexed: the packed record leaves these doubles off their natural alignment.
  for (int k = 0; k < PhaseSlotCount - 1; ++k) record->PhaseFraction[k] = EMPTY_VALUE;
  for (int k = 0; k < PhaseSlotCount; ++k) {
    record->MolarEnthalpy[k] = EMPTY_VALUE;
    record->MolarEntropy[k] = EMPTY_VALUE;
  }
  if (FAILED(Flash(flash.Get(), record.Get()))) return EMPTY_VALUE;

  const double weight = GetMolecularWeight(phase);
  const double ref_entropy = ReferencePerMass(record->MolarEntropy[phase], weight);
  const double ref_enthalpy = ReferencePerMass(record->MolarEnthalpy[phase], weight);
  if (enthalpy == EMPTY_VALUE || entropy == EMPTY_VALUE) return EMPTY_VALUE;
  return (enthalpy - ref_enthalpy) - (entropy - ref_entropy) * (ref_temperature + kKelvinOffset);
}

}  // namespace tarvox
