#pragma once

namespace tarvox::electrolyte {

// Aqueous equilibria of the model. K is products over reactants in activities on the molality
// scale (mol/kg water), water at activity 1.
enum class Reaction {
  WaterIonisation,        // H2O = H+ + OH-
  CarbonDioxideFirst,     // CO2(aq) + H2O = H+ + HCO3-
  CarbonDioxideSecond,    // HCO3- = H+ + CO3-2
  CarbonDioxideHenry,     // CO2(g) = CO2(aq), K = m / f in mol kg-1 atm-1
  HydrogenSulfideFirst,   // H2S(aq) = H+ + HS-
  HydrogenSulfideHenry,   // H2S(g) = H2S(aq), K = m / f in mol kg-1 atm-1
  AmmoniumDissociation,   // NH4+ = NH3 + H+
  AmmoniaHenry,           // NH3(g) = NH3(aq), K = m / f in mol kg-1 atm-1
  MeaHDissociation,       // MEAH+ = MEA + H+
  DeaHDissociation,       // DEAH+ = DEA + H+
  MdeaHDissociation,      // MDEAH+ = MDEA + H+
  MeaCarbamateReversion,  // MEACOO- + H2O = MEA + HCO3-
  DeaCarbamateReversion,  // DEACOO- + H2O = DEA + HCO3-
};

// Temperature range in which every correlation used by the model is either within its source's
// range or, for the amines, a commonly used extrapolation (see README).
inline constexpr double kMinTemperatureK = 273.15;
inline constexpr double kMaxTemperatureK = 423.15;

double log10_equilibrium_constant(Reaction reaction, double temperature_K);

// Debye-Hückel slope A_gamma (log10 basis, molality scale) in kg^0.5 mol^-0.5.
double debye_huckel_a(double temperature_K);

}  // namespace tarvox::electrolyte
