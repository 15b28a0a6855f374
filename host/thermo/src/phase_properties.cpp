#include "tarvox/thermo/phase_properties.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <stdexcept>

#include "tarvox/thermo/constants.hpp"
#include "tarvox/thermo/transport.hpp"

namespace tarvox::thermo {
namespace {

constexpr double kSqrt2 = std::numbers::sqrt2;

// Pressure derivatives of the untranslated equation at (T, v); the shift is constant, so they hold
// for the translated volume too.
struct PressureDerivatives {
  double dp_dt, dp_dv;
};

PressureDerivatives Derivatives(double t, double v, const MixingParameters& m) {
  const double r = kGasConstant;
  const double vb = v - m.b;
  const double d = v * v + 2.0 * m.b * v - m.b * m.b;
  return {r / vb - m.da_dt / d, -r * t / (vb * vb) + 2.0 * m.a * (v + m.b) / (d * d)};
}

// Ratio of the critical volume of Peng-Robinson to its co-volume, Zc / Omega_b.
constexpr double kCriticalVolumeOverB = 0.307401308698703 / 0.0777960739038885;

// Li's pseudo-critical temperature, sum phi_i Tc_i with phi_i = x_i Vc_i / sum x_j Vc_j: closer to the
// true critical temperature of hydrocarbon mixtures than the mole-fraction average (Li, Can. J. Chem.
// Eng. 49 (1971) 709; Reid, Prausnitz, Poling, The Properties of Gases and Liquids, 4th ed., sec. 5-7).
// Empty when a critical volume is unknown.
std::optional<double> PseudoCriticalTemperature(const Mixture& mixture, std::span<const double> x) {
  double volume = 0.0, weighted = 0.0;
  for (std::size_t i = 0; i < mixture.size(); ++i) {
    const ComponentConstants& c = mixture.component(i);
    if (x[i] > 0.0 && !(c.critical_volume > 0.0)) return std::nullopt;
    volume += x[i] * c.critical_volume;
    weighted += x[i] * c.critical_volume * c.critical_temperature;
  }
  if (!(volume > 0.0)) return std::nullopt;
  return weighted / volume;
}

}  // namespace

PhaseProperties EvaluatePhase(const Mixture& mixture, double temperature, double pressure,
                              std::span<const double> composition, RootChoice choice) {
  if (!(pressure > 0.0) || !std::isfinite(pressure)) throw std::invalid_argument("pressure must be > 0");
  const auto x = NormalisedComposition(composition, mixture.size());
  const PengRobinsonAtTemperature eos(mixture, temperature);
  return EvaluatePhase(eos, pressure, x, choice);
}

PhaseProperties EvaluatePhase(const PengRobinsonAtTemperature& eos, double pressure,
                              std::span<const double> x, RootChoice choice) {
  PhaseProperties p;
  FugacityEvaluation fugacity;
  EvaluatePhase(eos, pressure, x, choice, p, fugacity);
  return p;
}

void EvaluatePhase(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                   RootChoice choice, PhaseProperties& p, FugacityEvaluation& fugacity, bool with_viscosity) {
  const Mixture& mixture = eos.mixture();
  const double t = eos.temperature();
  const double r = kGasConstant;
  EvaluateLnPhi(eos, pressure, x, choice, true, fugacity);
  const MixingParameters& m = fugacity.mix;

  const double z = fugacity.z_eos;
  const double v = z * r * t / pressure;  // untranslated
  const double big_b = m.b * pressure / (r * t);
  const double log_term = PengRobinsonLogTerm(z, big_b);
  const double k = log_term / (2.0 * kSqrt2 * m.b);

  p.temperature = t;
  p.pressure = pressure;
  p.composition.assign(x.begin(), x.end());
  p.molar_volume = v - m.c;
  p.compressibility = pressure * p.molar_volume / (r * t);

  // The ideal-gas properties are linear in the Cp coefficients: evaluate those of the mixture once.
  IdealGasCp ideal_gas;
  double mixing = 0.0, molar_mass = 0.0;
  bool molar_mass_known = true;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (x[i] == 0.0) continue;
    const auto& comp = mixture.component(i);
    for (std::size_t c = 0; c < ideal_gas.coefficients.size(); ++c)
      ideal_gas.coefficients[c] += x[i] * comp.ideal_gas_cp.coefficients[c];
    mixing += x[i] * std::log(x[i]);
    molar_mass += x[i] * comp.molar_mass;
    if (comp.molar_mass <= 0.0) molar_mass_known = false;
  }
  // The shift lowers G by c P at constant T; it does not depend on T, so S and the heat
  // capacities are those of the untranslated equation and only H moves.
  const double h_residual = r * t * (z - 1.0) + (t * m.da_dt - m.a) * k - m.c * pressure;
  const double s_residual = r * std::log(z - big_b) + m.da_dt * k;
  const double cv_residual = t * m.d2a_dt2 * k;
  const auto d = Derivatives(t, v, m);

  p.enthalpy = ideal_gas.Enthalpy(t) + h_residual;
  p.entropy = ideal_gas.Entropy(t) - r * std::log(pressure / kReferencePressure) - r * mixing + s_residual;
  p.cv = ideal_gas.HeatCapacity(t) - r + cv_residual;
  // dP/dv < 0 on every root used here; the bound only guards the critical point itself.
  p.cp = p.cv - t * d.dp_dt * d.dp_dt / std::min(d.dp_dv, -1e-12 * r * t / (v * v));
  p.cp_cv_ratio.reset();
  p.cp_cp_minus_r.reset();
  p.mass_density.reset();
  if (p.cv > 0.0) p.cp_cv_ratio = p.cp / p.cv;
  if (p.cp > r) p.cp_cp_minus_r = p.cp / (p.cp - r);
  p.molar_mass = molar_mass_known ? molar_mass : 0.0;
  if (molar_mass_known && p.molar_volume > 0.0) p.mass_density = molar_mass / p.molar_volume;

  // Gas when less dense than the equation's own critical density for a pure fluid with this co-volume
  // (exact for pure fluids on both sides of the saturation curve), or when above its pseudo-critical
  // temperature, where a fluid however dense is a gas (dense methane at 30 MPa; no liquid forms from
  // it by compression).
  const auto pseudo_critical_temperature = PseudoCriticalTemperature(mixture, x);
  p.gas_like =
      v > kCriticalVolumeOverB * m.b || (pseudo_critical_temperature && t > *pseudo_critical_temperature);
  // Swapped rather than copied: the scratch takes the previous call's storage of the same size.
  p.ln_fugacity_coefficients.swap(fugacity.ln_phi);
  p.kinematic_viscosity.reset();
  if (with_viscosity) p.kinematic_viscosity = KinematicViscosity(mixture, t, p.molar_volume, x);
}

}  // namespace tarvox::thermo
