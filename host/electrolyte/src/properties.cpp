#include "properties.hpp"

#include <array>
#include <cctype>
#include <cmath>
#include <string>
#include <utility>

#include "equilibrium_constants.hpp"
#include "davies_activity.hpp"
#include "charge_balance.hpp"

namespace tarvox::electrolyte {
namespace {

constexpr std::size_t kKeyLength = 8;
constexpr double kPascalPerAtmosphere = 101325.0;

constexpr std::array<std::pair<std::string_view, Property>, 5> kKeys{{
    {"PH", Property::Ph},
    {"POH", Property::Poh},
    {"OSMOT", Property::OsmoticCoefficient},
    {"IONSX", Property::IonicStrength},
    {"SOLINDEX", Property::AcidGasSaturationIndex},
}};

// log10 of the ratio of the acid-gas (CO2 + H2S) pressure in equilibrium with the liquid to the system
// pressure: above 0 the liquid would effervesce even into a gas of pure acid gas at that pressure.
std::optional<double> acid_gas_saturation_index(const Speciation& s, const State& state) {
  if (!std::isfinite(state.pressure_Pa) || !(state.pressure_Pa > 0.0)) return std::nullopt;
  const double t = state.temperature_K;
  // Neutral solutes have gamma = 1 and the fugacity is taken as the partial pressure (atm).
  const double acid_gas_pressure_atm =
      s.carbon_dioxide / std::pow(10.0, log10_equilibrium_constant(Reaction::CarbonDioxideHenry, t)) +
      s.hydrogen_sulfide / std::pow(10.0, log10_equilibrium_constant(Reaction::HydrogenSulfideHenry, t));
  if (!(acid_gas_pressure_atm > 0.0)) return std::nullopt;
  return std::log10(acid_gas_pressure_atm * kPascalPerAtmosphere / state.pressure_Pa);
}

std::optional<double> from_speciation(Property property, const Speciation& s, const State& state) {
  switch (property) {
    case Property::Ph:
      return -std::log10(s.gamma_monovalent * s.hydrogen);
    case Property::Poh:
      return -std::log10(s.gamma_monovalent * s.hydroxide);
    case Property::IonicStrength:
      return s.ionic_strength_of_species();
    case Property::OsmoticCoefficient:
      return DaviesActivity(debye_huckel_a(state.temperature_K), s.ionic_strength_of_species())
          .osmotic_coefficient(s.total_solute_molality());
    case Property::AcidGasSaturationIndex:
      return acid_gas_saturation_index(s, state);
  }
  return std::nullopt;
}

}  // namespace

std::optional<Property> parse_property_key(const char* key) {
  if (key == nullptr) return std::nullopt;
  std::string name;
  for (std::size_t i = 0; i < kKeyLength && key[i] != '\0'; ++i) {
    name.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(key[i]))));
  }
  name.erase(name.find_last_not_of(' ') + 1);
  for (const auto& [text, property] : kKeys) {
    if (name == text) return property;
  }
  return std::nullopt;
}

std::optional<double> evaluate_property(Property property, const SoluteTotals& totals, const State& state) {
  // The osmotic coefficient of a solution without solutes, and the saturation index without acid gas,
  // have no meaning; water's own ions do not count.
  if (property == Property::OsmoticCoefficient && !totals.any()) return std::nullopt;
  if (property == Property::AcidGasSaturationIndex && !totals.any_acid_gas()) return std::nullopt;

  const auto species = solve_speciation(totals, state.temperature_K);
  if (!species) return std::nullopt;
  const auto value = from_speciation(property, *species, state);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return value;
}

}  // namespace tarvox::electrolyte
