#pragma once

#include <optional>
#include <span>

#include "tarvox/thermo/mixture.hpp"

namespace tarvox::thermo {

// Dynamic viscosity in cP (mPa s) by Lohrenz, Bray & Clark (1964): the Jossi-Stiel-Thodos dense-fluid
// polynomial in the reduced density Vc_mix / V on top of the Stiel-Thodos dilute-gas viscosity,
// combined by Herning-Zipperer. Absent when a component present lacks Vc or molar mass, or V <= 0.
std::optional<double> LohrenzBrayClarkViscosity(const Mixture& mixture, double temperature,
                                                double molar_volume, std::span<const double> x);

// Kinematic viscosity in cSt (mm2/s) = dynamic viscosity / mass density, same method.
std::optional<double> KinematicViscosity(const Mixture& mixture, double temperature, double molar_volume,
                                         std::span<const double> x);

// Refutas viscosity blending number VBN = 14.534 ln(ln(nu + 0.8)) + 10.975 (nu in cSt). It is defined
// only for nu > 0.2 cSt; absent otherwise.
std::optional<double> RefutasBlendingNumber(double kinematic_viscosity);
// Inverse: nu = exp(exp((VBN - 10.975) / 14.534)) - 0.8.
double ViscosityFromBlendingNumber(double blending_number);

// One liquid phase entering the stream-viscosity rule.
struct LiquidViscosityShare {
  double mass_flow = 0.0;            // any consistent mass unit (e.g. phase fraction x molar mass)
  double kinematic_viscosity = 0.0;  // cSt
};

// Stream viscosity: one liquid -> its own value; several liquids -> Refutas blend on a mass basis;
// no liquid -> the vapour's value. Absent when no value applies or a liquid lies outside the Refutas
// range (nu <= 0.2 cSt) while blending is needed.
std::optional<double> StreamKinematicViscosity(std::span<const LiquidViscosityShare> liquids,
                                               std::optional<double> vapour_viscosity);

}  // namespace tarvox::thermo
