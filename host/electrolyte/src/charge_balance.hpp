#pragma once

#include <optional>

#include "solute_totals.hpp"

namespace tarvox::electrolyte {

struct AmineSpecies {
  double free = 0.0;
  double protonated = 0.0;  // RNH3+ and analogues
  double carbamate = 0.0;   // RNHCOO-; zero for ammonia and the tertiary MDEA
};

// Equilibrium molalities (mol/kg water) and the activity coefficients they were computed with.
struct Speciation {
  double hydrogen = 0.0;
  double hydroxide = 0.0;
  double carbon_dioxide = 0.0;
  double bicarbonate = 0.0;
  double carbonate = 0.0;
  double hydrogen_sulfide = 0.0;
  double bisulfide = 0.0;
  AmineSpecies ammonia;
  AmineSpecies mea;
  AmineSpecies dea;
  AmineSpecies mdea;

  double gamma_monovalent = 1.0;
  double gamma_divalent = 1.0;
  double ionic_strength = 0.0;  // the ionic strength the activity coefficients belong to

  double ionic_strength_of_species() const;
  double total_solute_molality() const;
  // Positive minus negative charge, mol/kg.
  double net_charge() const;
};

// Solves the charge balance for the hydrogen-ion molality (bisection in log10 m(H+)) inside a fixed-point
// iteration on the ionic strength. Empty when the temperature is outside the model range or the
// iteration fails.
std::optional<Speciation> solve_speciation(const SoluteTotals& totals, double temperature_K);

}  // namespace tarvox::electrolyte
