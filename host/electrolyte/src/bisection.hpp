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

// The same root by the Illinois variant of regula falsi: superlinear on smooth functions, where plain
// bisection needs some fifty steps to reach a relative 1e-14. Falls back to halving where the secant
// is undefined (an infinite end value) or leaves the interval.
template <typename IncreasingFunction>
std::optional<double> illinois_increasing(IncreasingFunction&& f, double lower, double upper,
                                          double tolerance) {
  double f_lower = f(lower), f_upper = f(upper);
  if (!(f_lower <= 0.0) || !(f_upper >= 0.0)) return std::nullopt;
  if (f_lower == 0.0) return lower;
  if (f_upper == 0.0) return upper;
  int last_moved = 0;  // -1 lower, +1 upper
  for (int step = 0; step < 200 && upper - lower > tolerance; ++step) {
    double next = (lower * f_upper - upper * f_lower) / (f_upper - f_lower);
    if (!(next > lower && next < upper)) next = 0.5 * (lower + upper);
    if (next <= lower || next >= upper) break;  // interval at the resolution of double
    const double f_next = f(next);
    if (f_next == 0.0) return next;
    if (f_next < 0.0) {
      lower = next;
      f_lower = f_next;
      if (last_moved == -1) f_upper *= 0.5;
      last_moved = -1;
    } else {
      upper = next;
      f_upper = f_next;
      if (last_moved == 1) f_lower *= 0.5;
      last_moved = 1;
    }
  }
  return 0.5 * (lower + upper);
}

}  // namespace tarvox::electrolyte
