// How correlations recognise components: the host's numeric identifiers and the CAS registry
// numbers written as decimal integers without hyphens (carbon dioxide, 124-38-9, is 124389).
#pragma once

#include <cmath>

namespace tarvox::component {

inline constexpr double kWaterId = 19.0;
inline constexpr double kCarbonDioxideId = 14.0;
inline constexpr double kHydrogenSulphideId = 15.0;

inline constexpr double kWaterCas = 7732185.0;             // 7732-18-5
inline constexpr double kCarbonDioxideCas = 124389.0;      // 124-38-9
inline constexpr double kHydrogenSulphideCas = 7783064.0;  // 7783-06-4

// An identifier made an integer: truncated toward zero, plus one when the discarded part exceeds
// one half. Kept in double, so that no host value, however large, overflows an integer.
inline double RoundIdentifier(double value) {
  const double whole = std::trunc(value);
  return value - whole > 0.5 ? whole + 1.0 : whole;
}

}  // namespace tarvox::component
