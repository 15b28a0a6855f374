#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "solute_totals.hpp"

namespace tarvox::electrolyte::testing {

struct Mixture {
  std::vector<std::int32_t> ids;
  std::vector<double> fractions;

  std::int32_t count() const { return static_cast<std::int32_t>(ids.size()); }
};

// Overall mole fractions of 1 kg of water plus the given moles of each component.
inline Mixture mixture_from_molalities(std::initializer_list<std::pair<std::int32_t, double>> solutes) {
  Mixture mixture{{host_id::kWater}, {1.0 / kWaterMolarMassKgPerMol}};
  double total = mixture.fractions.front();
  for (const auto& [id, moles] : solutes) {
    mixture.ids.push_back(id);
    mixture.fractions.push_back(moles);
    total += moles;
  }
  for (double& x : mixture.fractions) x /= total;
  return mixture;
}

// Molality of an amine in water from its mass fraction in the CO2-free solvent.
inline double molality_from_mass_fraction(double mass_fraction, double molar_mass_kg_per_mol) {
  return mass_fraction / molar_mass_kg_per_mol / (1.0 - mass_fraction);
}

inline constexpr double kMeaMolarMass = 0.06108396;
inline constexpr double kMdeaMolarMass = 0.11916304;

}  // namespace tarvox::electrolyte::testing
