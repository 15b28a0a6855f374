#include "tarvox/thermo/transport.hpp"

#include <cmath>

namespace tarvox::thermo {
namespace {

// Stiel-Thodos dilute-gas viscosity in cP.
double DiluteGasViscosity(double reduced_temperature, double xi) {
  if (reduced_temperature <= 1.5) return 34.0e-5 * std::pow(reduced_temperature, 0.94) / xi;
  return 17.78e-5 * std::pow(4.58 * reduced_temperature - 1.67, 0.625) / xi;
}

}  // namespace

std::optional<double> LohrenzBrayClarkViscosity(const Mixture& mixture, double temperature,
                                                double molar_volume, std::span<const double> x) {
  if (!(molar_volume > 0.0)) return std::nullopt;
  double dilute_numerator = 0.0, dilute_denominator = 0.0;
  double tpc = 0.0, ppc = 0.0, vpc = 0.0, molar_mass = 0.0;
  for (std::size_t i = 0; i < mixture.size(); ++i) {
    if (x[i] == 0.0) continue;
    const auto& c = mixture.component(i);
    if (c.molar_mass <= 0.0 || c.critical_volume <= 0.0) return std::nullopt;
    const double xi = mixture.viscosity_reducing_parameter(i);
    const double root_m = std::sqrt(c.molar_mass);
    dilute_numerator += x[i] * DiluteGasViscosity(temperature / c.critical_temperature, xi) * root_m;
    dilute_denominator += x[i] * root_m;
    tpc += x[i] * c.critical_temperature;
    ppc += x[i] * c.critical_pressure;
    vpc += x[i] * c.critical_volume;
    molar_mass += x[i] * c.molar_mass;
  }
  const double dilute = dilute_numerator / dilute_denominator;
  const double rho_r = vpc / molar_volume;
  const double poly =
      0.1023 + rho_r * (0.023364 + rho_r * (0.058533 + rho_r * (-0.040758 + rho_r * 0.0093324)));
  const double xi_mix = ViscosityReducingParameter(tpc, ppc, molar_mass);
  const double poly_squared = poly * poly;
  return dilute + (poly_squared * poly_squared - 1.0e-4) / xi_mix;
}

std::optional<double> KinematicViscosity(const Mixture& mixture, double temperature, double molar_volume,
                                         std::span<const double> x) {
  const auto mu = LohrenzBrayClarkViscosity(mixture, temperature, molar_volume, x);
  if (!mu) return std::nullopt;
  double molar_mass = 0.0;
  for (std::size_t i = 0; i < mixture.size(); ++i) molar_mass += x[i] * mixture.component(i).molar_mass;
  const double density = molar_mass / molar_volume;  // kg/m3
  return *mu * 1.0e3 / density;                      // cP / (kg/m3) -> mm2/s
}

std::optional<double> RefutasBlendingNumber(double nu) {
  if (!(nu > 0.2) || !std::isfinite(nu)) return std::nullopt;
  return 14.534 * std::log(std::log(nu + 0.8)) + 10.975;
}

double ViscosityFromBlendingNumber(double vbn) { return std::exp(std::exp((vbn - 10.975) / 14.534)) - 0.8; }

std::optional<double> StreamKinematicViscosity(std::span<const LiquidViscosityShare> liquids,
                                               std::optional<double> vapour_viscosity) {
  if (liquids.empty()) return vapour_viscosity;
  if (liquids.size() == 1) return liquids[0].kinematic_viscosity;
  double total_mass = 0.0, weighted = 0.0;
  for (const auto& liquid : liquids) {
    const auto vbn = RefutasBlendingNumber(liquid.kinematic_viscosity);
    if (!vbn || !(liquid.mass_flow >= 0.0)) return std::nullopt;
    total_mass += liquid.mass_flow;
    weighted += liquid.mass_flow * *vbn;
  }
  if (!(total_mass > 0.0)) return std::nullopt;
  return ViscosityFromBlendingNumber(weighted / total_mass);
}

}  // namespace tarvox::thermo
