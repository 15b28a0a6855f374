#include "tarvox/thermo/stability.hpp"

#include <cmath>
#include <limits>

namespace tarvox::thermo {
namespace {

constexpr int kMaxIterations = 300;

struct TrialOutcome {
  double tpd = 0.0;
  std::vector<double> composition;
};

// Modified TPD, tm(W) = 1 + sum W_i (ln W_i + ln phi_i(w) - d_i - 1); negative anywhere proves instability.
double TangentPlaneDistance(std::span<const double> w_amounts, std::span<const double> ln_w,
                            std::span<const double> ln_phi, std::span<const double> d) {
  double tm = 1.0;
  for (std::size_t i = 0; i < w_amounts.size(); ++i) {
    if (w_amounts[i] > 0.0) tm += w_amounts[i] * (ln_w[i] + ln_phi[i] - d[i] - 1.0);
  }
  return tm;
}

// Iterates one trial to its stationary point (or until it collapses onto the tested phase) and
// reports the lowest TPD met on the way.
TrialOutcome RunTrial(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                      std::span<const double> d, std::vector<double> ln_w) {
  const std::size_t n = x.size();
  FugacityEvaluation fug;
  std::vector<double> w(n), amounts(n), previous(n), delta(n), previous_delta(n), ln_x(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    if (x[i] > 0.0) ln_x[i] = std::log(x[i]);
  }
  TrialOutcome outcome{std::numeric_limits<double>::max(), {}};
  for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      amounts[i] = x[i] > 0.0 ? std::exp(ln_w[i]) : 0.0;
      sum += amounts[i];
    }
    for (std::size_t i = 0; i < n; ++i) w[i] = amounts[i] / sum;
    EvaluateLnPhi(eos, pressure, w, RootChoice::kMinimumGibbs, fug);
    const double tm = TangentPlaneDistance(amounts, ln_w, fug.ln_phi, d);
    const double ln_sum = std::log(sum);
    if (tm < outcome.tpd) outcome = {tm, w};

    double step = 0.0, distance_to_feed = 0.0;
    previous_delta = delta;
    for (std::size_t i = 0; i < n; ++i) {
      if (x[i] == 0.0) continue;
      previous[i] = ln_w[i];
      ln_w[i] = d[i] - fug.ln_phi[i];
      delta[i] = ln_w[i] - previous[i];
      step = std::max(step, std::abs(delta[i]));
      distance_to_feed = std::max(distance_to_feed, std::abs(previous[i] - ln_sum - ln_x[i]));
    }
    if (distance_to_feed < 1e-4 && iteration > 3) break;  // collapsing onto the tested phase
    if (step < 1e-11) break;
    // Successive substitution converges linearly along a dominant eigenvector; extrapolate along it.
    if (iteration % 5 == 4) {
      double num = 0.0, den = 0.0;
      for (std::size_t i = 0; i < n; ++i) {
        num += delta[i] * previous_delta[i];
        den += previous_delta[i] * previous_delta[i];
      }
      const double lambda = den > 0.0 ? num / den : 0.0;
      if (lambda > 0.0 && lambda < 0.95) {
        for (std::size_t i = 0; i < n; ++i) ln_w[i] += delta[i] * lambda / (1.0 - lambda);
      }
    }
  }
  return outcome;
}

}  // namespace

std::vector<double> WilsonKValues(const Mixture& mixture, double temperature, double pressure) {
  std::vector<double> k(mixture.size());
  for (std::size_t i = 0; i < k.size(); ++i) {
    const auto& c = mixture.component(i);
    k[i] = c.critical_pressure / pressure *
           std::exp(5.373 * (1.0 + c.acentric_factor) * (1.0 - c.critical_temperature / temperature));
  }
  return k;
}

StabilityResult TestStability(const PengRobinsonAtTemperature& eos, double pressure,
                              std::span<const double> x, std::span<const double> ln_phi, double threshold) {
  const std::size_t n = x.size();
  std::vector<double> d(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    if (x[i] > 0.0) d[i] = std::log(x[i]) + ln_phi[i];
  }
  const auto wilson = WilsonKValues(eos.mixture(), eos.temperature(), pressure);
  std::vector<std::vector<double>> starts;
  const auto add_wilson = [&](double power) {
    std::vector<double> ln_w(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
      if (x[i] > 0.0) ln_w[i] = std::log(x[i]) + power * std::log(wilson[i]);
    }
    starts.push_back(std::move(ln_w));
  };
  add_wilson(1.0);
  add_wilson(-1.0);
  if (const auto water = eos.mixture().water_index(); water && x[*water] > 0.0) {
    std::vector<double> ln_w(n, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
      if (x[i] > 0.0) ln_w[i] = i == *water ? std::log(0.999) : std::log(1e-3 * x[i]);
    }
    starts.push_back(std::move(ln_w));
  }
  add_wilson(1.0 / 3.0);
  add_wilson(-1.0 / 3.0);
  // The first trial that proves instability ends the test: its stationary point is a good start
  // for the split, and any further phase is found by testing the split itself.
  StabilityResult result;
  for (auto& start : starts) {
    const auto outcome = RunTrial(eos, pressure, x, d, std::move(start));
    if (outcome.tpd < result.min_tangent_plane_distance) {
      result.min_tangent_plane_distance = outcome.tpd;
      result.trial_composition = outcome.composition;
    }
    if (result.min_tangent_plane_distance < threshold) break;
  }
  result.stable = !(result.min_tangent_plane_distance < threshold);
  if (result.stable) result.trial_composition.clear();
  return result;
}

}  // namespace tarvox::thermo
