#pragma once

#include <cmath>
#include <optional>

namespace tarvox::electrolyte {

// Root of an increasing function inside [lower, upper] by bisection; robust where Newton-type steps are
// not (the functions solved here span tens of decades). Empty when the interval does not bracket a sign
// change.
template <typename IncreasingFunction>
std::optional<double> bisect_increasing(IncreasingFunction&& f, double lower, double upper,
                                        double tolerance) {
  if (!(f(lower) <= 0.0) || !(f(upper) >= 0.0)) return std::nullopt;
  while (upper - lower > tolerance) {
    const double middle = 0.5 * (lower + upper);
    if (middle <= lower || middle >= upper) break;  // interval at the resolution of double
    if (f(middle) < 0.0) {
      lower = middle;
    } else {
      upper = middle;
    }
  }
  return 0.5 * (lower + upper);
}

}  // namespace tarvox::electrolyte
