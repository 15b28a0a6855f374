#include "host/fluid/named_arrays.h"

#include <functional>

#include "calculator/fluid_state.h"
#include "tarvox/thermo/constants.hpp"

namespace tarvox::host {

namespace {

constexpr double kStandardPressure = 101.325;                  // kPa
constexpr double kStandardTemperature15C = 288.15;             // K
constexpr double kStandardTemperature60F = 288.7055555555556;  // K

using ComponentValue = std::function<double(const thermo::ComponentRecord&)>;

std::vector<double> PerComponent(const NamedArraySource& source, const ComponentValue& value) {
  std::vector<double> values;
  values.reserve(source.components.size());
  for (const thermo::ComponentRecord* record : source.components) values.push_back(value(*record));
  return values;
}

// Mass per mole and standard liquid volume per mole of a composition.
struct StandardLiquid {
  double mass = 0.0;    // kg/kmol
  double volume = 0.0;  // m3/kmol
};

StandardLiquid StandardLiquidOf(const NamedArraySource& source, const std::vector<double>& x) {
  StandardLiquid liquid;
  for (std::size_t i = 0; i < x.size() && i < source.components.size(); ++i) {
    const thermo::ComponentRecord& record = *source.components[i];
    liquid.mass += x[i] * record.molar_mass;
    if (record.standard_liquid_density > 0.0)
      liquid.volume += x[i] * record.molar_mass / record.standard_liquid_density;
  }
  return liquid;
}

double StandardLiquidDensity(const NamedArraySource& source, const std::vector<double>& x) {
  const StandardLiquid liquid = StandardLiquidOf(source, x);
  return liquid.volume > 0.0 ? liquid.mass / liquid.volume : EMPTY_VALUE;
}

// Overall Cv of the split with the phase amounts frozen, as its Cp is.
double FrozenCv(const thermo::FlashResult& split) {
  double cv = 0.0;
  for (const thermo::SlotResult& slot : split.slots)
    if (slot.present) cv += slot.phase_fraction * slot.properties.cv;
  return cv;
}

using PhaseValue = std::function<std::optional<double>(const thermo::PhaseProperties&)>;

std::optional<std::vector<double>> PerPhase(const NamedArraySource& source, const PhaseValue& value,
                                            std::optional<double> overall) {
  if (!source.split.converged()) return std::nullopt;
  std::vector<double> values(PhaseSlotCount, EMPTY_VALUE);
  for (int k = 0; k < thermo::kPhaseSlotCount; ++k) {
    const thermo::SlotResult& slot = source.split.slots[static_cast<std::size_t>(k)];
    if (slot.present) values[static_cast<std::size_t>(k)] = value(slot.properties).value_or(EMPTY_VALUE);
  }
  values[kFeed] = overall.value_or(EMPTY_VALUE);
  return values;
}

std::optional<double> PositiveRatio(double numerator, double denominator) {
  if (!(denominator > 0.0)) return std::nullopt;
  return numerator / denominator;
}

}  // namespace

std::optional<std::vector<double>> NamedArrayValues(std::string_view name, const NamedArraySource& source) {
  using Record = thermo::ComponentRecord;
  if (name == "Molecular Weight") return PerComponent(source, [](const Record& r) { return r.molar_mass; });
  if (name == "Standard Liquid Density")
    return PerComponent(source, [](const Record& r) { return r.standard_liquid_density; });
  if (name == "Boiling Temperature")
    return PerComponent(source, [](const Record& r) { return r.normal_boiling_point; });
  if (name == "Heat of Combustion")
    return PerComponent(source, [](const Record& r) { return -r.lower_heating_value; });
  if (name == "HydrogenAtoms") return PerComponent(source, [](const Record& r) { return r.hydrogen_atoms; });
  if (name == "CAS_Numbers")
    return PerComponent(source, [](const Record& r) { return static_cast<double>(r.cas); });
  if (name == "ComponentIDs")
    return PerComponent(source, [](const Record& r) { return static_cast<double>(r.host_id); });
  if (name == "ComponentClass")
    return PerComponent(source, [](const Record& r) { return static_cast<double>(r.class_code); });

  const thermo::FlashResult& split = source.split;
  if (name == "StdLiqMassDensity") {
    return PerPhase(
        source,
        [&](const thermo::PhaseProperties& p) { return StandardLiquidDensity(source, p.composition); },
        StandardLiquidDensity(source, source.stream.composition));
  }
  if (name == "Cp_Cv") {
    return PerPhase(
        source, [](const thermo::PhaseProperties& p) { return p.cp_cv_ratio; },
        PositiveRatio(split.cp, FrozenCv(split)));
  }
  if (name == "Cp_CpR") {
    return PerPhase(
        source, [](const thermo::PhaseProperties& p) { return p.cp_cp_minus_r; },
        PositiveRatio(split.cp, split.cp - thermo::kGasConstant));
  }

  const StreamConditions& stream = source.stream;
  const StandardLiquid feed = StandardLiquidOf(source, stream.composition);
  const bool at_15c = stream.standard_temperature == StandardTemperature::k15C;
  if (name == "MolarFlow") return std::vector<double>{stream.molar_flow_kmol_h};
  if (name == "MassFlow") return std::vector<double>{stream.molar_flow_kmol_h * feed.mass};
  if (name == "LiquidVolumeFlow") return std::vector<double>{stream.molar_flow_kmol_h * feed.volume};
  if (name == "StdIdealMolarVolume") {
    const double temperature = at_15c ? kStandardTemperature15C : kStandardTemperature60F;
    return std::vector<double>{thermo::kGasConstant * temperature / kStandardPressure};
  }
  if (name == "TempUnitFlag") return std::vector<double>{at_15c ? 1.0 : 0.0};
  if (name == "FlowBasis") return std::vector<double>{static_cast<double>(stream.flow_basis)};
  if (name == "CostFactor") return std::vector<double>{stream.cost_factor};
  return std::nullopt;
}

}  // namespace tarvox::host
