#include "component_volatility.hpp"

#include <algorithm>
#include <array>
#include <cmath>

namespace tarvox::electrolyte {
namespace {

struct CriticalConstants {
  std::int32_t host_id;
  double temperature_K;
  double pressure_kPa;
  double acentric_factor;
};

// Copied from the host's component table (data/components.csv, where each value's source is given):
// the library is loaded on its own and reads no data files.
constexpr std::array kCriticalConstants{
    CriticalConstants{1, 190.56, 4599, 0.0115},    // methane
    CriticalConstants{2, 305.32, 4872, 0.0995},    // ethane
    CriticalConstants{3, 369.83, 4248, 0.1524},    // propane
    CriticalConstants{4, 407.8, 3640, 0.185},      // isobutane
    CriticalConstants{5, 425.12, 3796, 0.2009},    // n-butane
    CriticalConstants{6, 460.4, 3380, 0.2272},     // isopentane
    CriticalConstants{7, 469.7, 3370, 0.2514},     // n-pentane
    CriticalConstants{8, 507.6, 3025, 0.2995},     // n-hexane
    CriticalConstants{9, 540.2, 2740, 0.3495},     // n-heptane
    CriticalConstants{10, 568.7, 2490, 0.399},     // n-octane
    CriticalConstants{11, 594.6, 2290, 0.4445},    // n-nonane
    CriticalConstants{12, 617.7, 2110, 0.4898},    // n-decane
    CriticalConstants{13, 126.2, 3400, 0.0375},    // nitrogen
    CriticalConstants{14, 304.21, 7383, 0.2241},   // carbon dioxide
    CriticalConstants{15, 373.53, 8963, 0.0945},   // hydrogen sulfide
    CriticalConstants{16, 658, 1820, 0.5757},      // n-dodecane
    CriticalConstants{17, 553.8, 4080, 0.208},     // cyclohexane
    CriticalConstants{18, 562.05, 4895, 0.2096},   // benzene
    CriticalConstants{20, 33.19, 1313, -0.2164},   // hydrogen
    CriticalConstants{21, 591.75, 4108, 0.2638},   // toluene
    CriticalConstants{22, 282.34, 5041, 0.0866},   // ethylene
    CriticalConstants{23, 364.85, 4600, 0.1436},   // propylene
    CriticalConstants{24, 154.58, 5043, 0.0222},   // oxygen
    CriticalConstants{25, 150.86, 4898, -0.0028},  // argon
    CriticalConstants{26, 5.19, 227, -0.3842},     // helium
    CriticalConstants{27, 132.92, 3499, 0.0488},   // carbon monoxide
    CriticalConstants{28, 405.65, 11280, 0.2527},  // ammonia
};

}  // namespace

double wilson_k_value(std::int32_t host_id, double temperature_K, double pressure_Pa) {
  const auto* found = std::find_if(kCriticalConstants.begin(), kCriticalConstants.end(),
                                   [host_id](const CriticalConstants& c) { return c.host_id == host_id; });
  if (found == kCriticalConstants.end()) return 0.0;
  return found->pressure_kPa * 1000.0 / pressure_Pa *
         std::exp(5.373 * (1.0 + found->acentric_factor) * (1.0 - found->temperature_K / temperature_K));
}

}  // namespace tarvox::electrolyte
