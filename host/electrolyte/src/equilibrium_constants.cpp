#include "equilibrium_constants.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>

namespace tarvox::electrolyte {
namespace {

enum class Form {
  // log10 K = a + b T + c/T + d log10 T + e/T^2
  Log10InT,
  // ln K = a + b/T + c ln T + d T + e T^2
  LnInT,
};

struct Correlation {
  Reaction reaction;
  Form form;
  double a, b, c, d, e;
};

// Compiled copy of the published correlations, so that the library needs no data file at run time.
constexpr std::array kCorrelations{
    // Edwards, Maurer, Newman, Prausnitz, AIChE J. 24 (1978) 966, Table 2 (Kw); 273-498 K.
    Correlation{Reaction::WaterIonisation, Form::LnInT, 140.932, -13445.9, -22.4773, 0, 0},
    // Plummer, Busenberg, Geochim. Cosmochim. Acta 46 (1982) 1011, K1, K2 and KH; 273-523 K.
    Correlation{Reaction::CarbonDioxideFirst, Form::Log10InT, -356.3094, -0.06091964, 21834.37, 126.8339,
                -1684915},
    Correlation{Reaction::CarbonDioxideSecond, Form::Log10InT, -107.8871, -0.03252849, 5151.79, 38.92561,
                -563713.9},
    Correlation{Reaction::CarbonDioxideHenry, Form::Log10InT, 108.3865, 0.01985076, -6919.53, -40.45154,
                669365.0},
    // Edwards et al. (1978), Table 2 (H2S first dissociation) and Table 3 (Henry constant, inverted
    // to m/f); 273-423 K.
    Correlation{Reaction::HydrogenSulfideFirst, Form::LnInT, 218.599, -12995.4, -33.5471, 0, 0},
    Correlation{Reaction::HydrogenSulfideHenry, Form::LnInT, -342.595, 13236.8, 55.0551, -0.0595651, 0},
    // Edwards et al. (1978), Table 2: the Kw row minus the NH3 + H2O = NH4+ + OH- row; 273-498 K.
    // Agrees with Bates & Pinching (1949) within 0.002 at 0-50 C.
    Correlation{Reaction::AmmoniumDissociation, Form::LnInT, 138.172, -10110.2, -23.9744, 0.0370566, 0},
    // Edwards et al. (1978), Table 3 (ammonia Henry constant, inverted to m/f); 273-423 K.
    Correlation{Reaction::AmmoniaHenry, Form::LnInT, 149.006, 157.552, -28.1001, 0.049227, 0},
    // Bates, Pinching, J. Res. Natl. Bur. Stand. 46 (1951) 349, Eq. 10; 273-323 K, extrapolated above.
    Correlation{Reaction::MeaHDissociation, Form::Log10InT, -0.3869, -0.0004277, -2677.91, 0, 0},
    // Posey, Ph.D. dissertation, Univ. of Texas at Austin (1996), Table 5.8; 273-353 K.
    Correlation{Reaction::DeaHDissociation, Form::LnInT, -26.5, -4035, 3.44, 0, 0},
    Correlation{Reaction::MdeaHDissociation, Form::LnInT, -59.55, -1709, 8.01, 0, 0},
    // Austgen, Rochelle, Chen, Ind. Eng. Chem. Res. 30 (1991) 543, Table V, mole-fraction constants
    // converted to molality (ln Km = ln Kx - ln 0.018015268); 298-393 K. Regressed together with an
    // electrolyte-NRTL model, hence only apparent constants.
    Correlation{Reaction::MeaCarbamateReversion, Form::LnInT, 6.90633, -3635.09, 0, 0, 0},
    Correlation{Reaction::DeaCarbamateReversion, Form::LnInT, 8.53113, -3417.34, 0, 0, 0},
};

// The table is indexed by the enumerator, so its order must follow the enumeration.
constexpr bool table_follows_enumeration() {
  for (std::size_t i = 0; i < kCorrelations.size(); ++i) {
    if (static_cast<std::size_t>(kCorrelations[i].reaction) != i) return false;
  }
  return true;
}
static_assert(table_follows_enumeration());
static_assert(kCorrelations.size() == static_cast<std::size_t>(Reaction::DeaCarbamateReversion) + 1);

double evaluate(const Correlation& k, double t) {
  if (k.form == Form::LnInT) {
    return (k.a + k.b / t + k.c * std::log(t) + k.d * t + k.e * t * t) / std::numbers::ln10;
  }
  return k.a + k.b * t + k.c / t + k.d * std::log10(t) + k.e / (t * t);
}

}  // namespace

double log10_equilibrium_constant(Reaction reaction, double temperature_K) {
  return evaluate(kCorrelations[static_cast<std::size_t>(reaction)], temperature_K);
}

double debye_huckel_a(double temperature_K) {
  // Polynomial in Celsius fitted (max deviation 1.4e-5, 0-150 C) to A = 1.82483e6 rho^0.5 (eps T)^-1.5
  // with eps from Bradley, Pitzer, J. Phys. Chem. 83 (1979) 1599 and rho from Wagner, Pruss,
  // J. Phys. Chem. Ref. Data 22 (1993) 783.
  const double t = temperature_K - 273.15;
  return 0.49082091 + t * (6.5728113e-4 + t * (4.4679506e-6 + t * (-3.5130134e-9 + t * 2.3320147e-11)));
}

}  // namespace tarvox::electrolyte
