#pragma once

#include <optional>
#include <span>
#include <vector>

#include "tarvox/thermo/cubic_eos.hpp"

namespace tarvox::thermo {

// State of one homogeneous phase. Units: K, kPa, m3/kmol, kJ/kmol, kJ/(kmol K), kg/m3, cSt.
// Volumes are Peneloux-translated; enthalpy and entropy are relative to the ideal-gas reference
// state (see constants.hpp and README.md).
struct PhaseProperties {
  double temperature = 0.0;
  double pressure = 0.0;
  std::vector<double> composition;            // mole fractions, sum 1
  double compressibility = 0.0;               // Z = P V / (R T) with the translated V
  double molar_volume = 0.0;                  // m3/kmol
  double molar_mass = 0.0;                    // kg/kmol (0 when a component's molar mass is unknown)
  double enthalpy = 0.0;                      // kJ/kmol
  double entropy = 0.0;                       // kJ/(kmol K)
  double cp = 0.0;                            // kJ/(kmol K)
  double cv = 0.0;                            // kJ/(kmol K)
  std::optional<double> cp_cv_ratio;          // Cp/Cv, absent when Cv <= 0 (no ideal-gas Cp given)
  std::optional<double> cp_cp_minus_r;        // Cp/(Cp - R) with the real Cp, absent when Cp <= R
  std::optional<double> mass_density;         // kg/m3, absent when a molar mass is unknown
  std::optional<double> kinematic_viscosity;  // cSt, absent when Vc or molar mass is unknown
  // Untranslated molar volume above the equation's critical volume for the phase's co-volume,
  // v > (Zc / Omega_b) b = 3.951 b: vapour or supercritical gas.
  bool gas_like = false;
  std::vector<double> ln_fugacity_coefficients;
};

// Single-phase evaluation at (T, P, composition) on the chosen root. The composition is normalised;
// throws std::invalid_argument for T <= 0, P <= 0 or a bad composition.
PhaseProperties EvaluatePhase(const Mixture& mixture, double temperature, double pressure,
                              std::span<const double> composition, RootChoice choice);

// Same, reusing the temperature-dependent parameters; x must already sum to one.
PhaseProperties EvaluatePhase(const PengRobinsonAtTemperature& eos, double pressure,
                              std::span<const double> x, RootChoice choice);

// Same, writing into `out` and reusing its vectors and those of `scratch`: allocates nothing once both
// have their size, for callers that evaluate phases again and again. Without `with_viscosity` the
// kinematic viscosity is left absent.
void EvaluatePhase(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                   RootChoice choice, PhaseProperties& out, FugacityEvaluation& scratch,
                   bool with_viscosity = true);

}  // namespace tarvox::thermo
