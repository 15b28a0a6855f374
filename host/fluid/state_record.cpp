#include "host/fluid/state_record.h"

#include <algorithm>
#include <cstddef>

#include "common/com.h"

namespace tarvox::host {

namespace {

// Per-slot values of the split, overall in slot 4, EMPTY_VALUE for absent phases and the solid.
void WritePhaseValues(const thermo::FlashResult& split, FluidState& record) {
  for (int k = 0; k < PhaseSlotCount; ++k) {
    record.MolarEnthalpy[k] = record.MolarEntropy[k] = EMPTY_VALUE;
    record.MolarHeatCapacity[k] = record.MolarVolume[k] = EMPTY_VALUE;
  }
  for (int k = 0; k < thermo::kPhaseSlotCount; ++k) {
    const thermo::SlotResult& slot = split.slots[static_cast<std::size_t>(k)];
    if (!slot.present) continue;
    record.MolarEnthalpy[k] = slot.properties.enthalpy;
    record.MolarEntropy[k] = slot.properties.entropy;
    record.MolarHeatCapacity[k] = slot.properties.cp;
    record.MolarVolume[k] = slot.properties.molar_volume;
  }
  record.MolarEnthalpy[kFeed] = split.enthalpy;
  record.MolarEntropy[kFeed] = split.entropy;
  record.MolarHeatCapacity[kFeed] = split.cp;
  record.MolarVolume[kFeed] = split.molar_volume;
}

void WriteComposition(const thermo::FlashResult& split, int k, double* target, std::size_t n) {
  const bool present = k < thermo::kPhaseSlotCount && split.slots[static_cast<std::size_t>(k)].present;
  if (!present) {
    std::fill(target, target + n, EMPTY_VALUE);
    return;
  }
  const std::vector<double>& x = split.slots[static_cast<std::size_t>(k)].properties.composition;
  std::copy_n(x.begin(), std::min(n, x.size()), target);
}

}  // namespace

bool WriteStreamState(const thermo::FlashResult& split, std::span<const double> z, double temperature_c,
                      FluidState& record) {
  const std::size_t n = z.size();
  double* arrays[PhaseSlotCount] = {};
  for (double*& array : arrays) {
    array = static_cast<double*>(CoTaskMemAlloc(std::max<std::size_t>(n, 1) * sizeof(double)));
    if (!array) {
      for (double* allocated : arrays) CoTaskMemFree(allocated);
      return false;
    }
  }
  record.Temperature = temperature_c;
  record.Pressure = split.pressure;
  record.ComponentCount = static_cast<std::int32_t>(n);
  for (int k = 0; k < PhaseSlotCount; ++k) {
    record.Composition[k] = arrays[k];
    if (k == kFeed)
      std::copy(z.begin(), z.end(), arrays[k]);
    else
      WriteComposition(split, k, arrays[k], n);
  }
  WritePhaseValues(split, record);
  for (int k = 0; k < PhaseSlotCount - 1; ++k) {
    const bool present = k < thermo::kPhaseSlotCount && split.slots[static_cast<std::size_t>(k)].present;
    record.PhasePresent[k] = present ? 1 : 0;
    record.PhaseFraction[k] = present ? split.slots[static_cast<std::size_t>(k)].phase_fraction : EMPTY_VALUE;
    record.Viscosity[k] = EMPTY_VALUE;
  }
  record.Viscosity[kFeed] = EMPTY_VALUE;
  return true;
}

void WriteFlashResults(const thermo::FlashResult& split, FluidState& record) {
  record.Pressure = split.pressure;
  WritePhaseValues(split, record);
  const std::size_t n = record.ComponentCount > 0 ? static_cast<std::size_t>(record.ComponentCount) : 0;
  for (int k = 0; k < PhaseSlotCount - 1; ++k) {
    const bool present = k < thermo::kPhaseSlotCount && split.slots[static_cast<std::size_t>(k)].present;
    record.PhasePresent[k] = present ? 1 : 0;
    record.PhaseFraction[k] = present ? split.slots[static_cast<std::size_t>(k)].phase_fraction : 0.0;
    if (record.Composition[k]) WriteComposition(split, k, record.Composition[k], n);
  }
}

}  // namespace tarvox::host
