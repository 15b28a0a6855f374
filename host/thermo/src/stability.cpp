#include "tarvox/thermo/stability.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace tarvox::thermo {
namespace {

constexpr int kMaxIterations = 300;
// A distance this far below zero proves instability: the split converges the rest of the way, from
// this trial, sooner than the trial would.
constexpr double kClearlyUnstable = -1e-2;
// Largest difference in ln of any mole fraction at which a trial counts as collapsing onto a phase,
// and the larger one from which a fivefold contraction per step counts as well.
constexpr double kCollapseDistance = 1e-3;
constexpr double kContractingDistance = 1e-1;
constexpr double kContraction = 0.2;
// The other phases of a split: at most two besides the tested one.
constexpr std::size_t kMaxKnownPhases = 2;

// Modified TPD, tm(W) = 1 + sum W_i (ln W_i + ln phi_i(w) - d_i - 1); negative anywhere proves instability.
double TangentPlaneDistance(std::span<const double> w_amounts, std::span<const double> ln_w,
                            std::span<const double> ln_phi, std::span<const double> d) {
  double tm = 1.0;
  for (std::size_t i = 0; i < w_amounts.size(); ++i) {
    if (w_amounts[i] > 0.0) tm += w_amounts[i] * (ln_w[i] + ln_phi[i] - d[i] - 1.0);
  }
  return tm;
}

// Iterates the trial in work.ln_w to its stationary point (or until it collapses onto the tested
// phase or onto one of the known phases) and lowers result's distance and composition to the lowest
// TPD met on the way.
void RunTrial(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
              std::size_t known_phases, StabilityWorkspace& work, StabilityResult& result) {
  const std::size_t n = x.size();
  const auto distance_to = [&](std::span<const double> ln_target, double ln_sum) {
    double distance = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      if (x[i] > 0.0) distance = std::max(distance, std::abs(work.previous[i] - ln_sum - ln_target[i]));
    }
    return distance;
  };
  // Distance to the tested phase and to each known phase at the last step.
  std::array<double, 1 + kMaxKnownPhases> last_distance;
  last_distance.fill(std::numeric_limits<double>::infinity());
  auto& ln_w = work.ln_w;
  std::fill(work.delta.begin(), work.delta.end(), 0.0);
  for (int iteration = 0; iteration < kMaxIterations; ++iteration) {
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      work.amounts[i] = x[i] > 0.0 ? std::exp(ln_w[i]) : 0.0;
      sum += work.amounts[i];
    }
    for (std::size_t i = 0; i < n; ++i) work.w[i] = work.amounts[i] / sum;
    EvaluateLnPhi(eos, pressure, work.w, RootChoice::kMinimumGibbs, work.fugacity);
    const double tm = TangentPlaneDistance(work.amounts, ln_w, work.fugacity.ln_phi, work.d);
    const double ln_sum = std::log(sum);
    if (tm < result.min_tangent_plane_distance) {
      result.min_tangent_plane_distance = tm;
      result.trial_composition.assign(work.w.begin(), work.w.end());
      result.trial_fugacity = work.fugacity;
    }

    double step = 0.0;
    std::swap(work.previous_delta, work.delta);
    for (std::size_t i = 0; i < n; ++i) {
      work.delta[i] = 0.0;
      if (x[i] == 0.0) continue;
      work.previous[i] = ln_w[i];
      ln_w[i] = work.d[i] - work.fugacity.ln_phi[i];
      work.delta[i] = ln_w[i] - work.previous[i];
      step = std::max(step, std::abs(work.delta[i]));
    }
    // A trial collapsing onto the tested phase, or onto a phase in equilibrium with it, ends at a
    // tangent-plane distance of zero: it cannot prove instability.
    // Near a phase, substitution contracts onto it linearly: a distance that shrinks fivefold in a
    // step between two substitution results (not from the initial guess), from within 1e-1, leads there
    // as surely as one already within 1e-3.
    bool collapsed = false;
    for (std::size_t k = 0; k <= known_phases && !collapsed; ++k) {
      const double distance = distance_to(k == 0 ? std::span<const double>(work.ln_x)
                                                 : std::span<const double>(&work.ln_known[(k - 1) * n], n),
                                          ln_sum);
      collapsed = (iteration > 3 && distance < kCollapseDistance) ||
                  (iteration > 1 && tm > 0.0 && distance < kContractingDistance &&
                   distance < kContraction * last_distance[k]);
      last_distance[k] = distance;
    }
    if (collapsed) break;
    if (step < 1e-11) break;
    // A stationary point this close with a clearly positive distance proves nothing: substitution
    // lowers tm monotonically, by far less than tm in the steps left.
    if (step < 1e-7 && tm > 1e-4) break;
    if (tm < kClearlyUnstable) break;
    // Successive substitution converges linearly along a dominant eigenvector; extrapolate along it.
    if (iteration % 5 == 4) {
      double num = 0.0, den = 0.0;
      for (std::size_t i = 0; i < n; ++i) {
        num += work.delta[i] * work.previous_delta[i];
        den += work.previous_delta[i] * work.previous_delta[i];
      }
      const double lambda = den > 0.0 ? num / den : 0.0;
      if (lambda > 0.0 && lambda < 0.95) {
        for (std::size_t i = 0; i < n; ++i) ln_w[i] += work.delta[i] * lambda / (1.0 - lambda);
      }
    }
  }
}

void Resize(StabilityWorkspace& work, std::size_t n, std::span<const std::span<const double>> known_phases) {
  const std::array arrays{&work.d,       &work.ln_k,     &work.ln_x,  &work.ln_w,          &work.w,
                          &work.amounts, &work.previous, &work.delta, &work.previous_delta};
  // Room for the most known phases at once, so that the split's test reuses the feed test's block.
  const std::size_t capacity = (arrays.size() + kMaxKnownPhases) * n;
  if (work.storage.size() < capacity) work.storage.resize(capacity);
  std::fill_n(work.storage.begin(), (arrays.size() + known_phases.size()) * n, 0.0);
  double* next = work.storage.data();
  for (auto* array : arrays) {
    *array = {next, n};
    next += n;
  }
  work.ln_known = {next, known_phases.size() * n};
  for (std::size_t k = 0; k < known_phases.size(); ++k) {
    for (std::size_t i = 0; i < n; ++i) work.ln_known[k * n + i] = std::log(known_phases[k][i]);
  }
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
  StabilityWorkspace work;
  StabilityResult result;
  TestStability(eos, pressure, x, ln_phi, threshold, work, result);
  return result;
}

void TestStability(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                   std::span<const double> ln_phi, double threshold, StabilityWorkspace& work,
                   StabilityResult& result, std::span<const std::span<const double>> known_phases) {
  const std::size_t n = x.size();
  if (known_phases.size() > kMaxKnownPhases) throw std::invalid_argument("at most two known phases");
  Resize(work, n, known_phases);
  const Mixture& mixture = eos.mixture();
  for (std::size_t i = 0; i < n; ++i) {
    const auto& c = mixture.component(i);
    // ln of Wilson's K (see WilsonKValues)
    work.ln_k[i] = std::log(c.critical_pressure / pressure) +
                   5.373 * (1.0 + c.acentric_factor) * (1.0 - c.critical_temperature / eos.temperature());
    if (x[i] > 0.0) {
      work.ln_x[i] = std::log(x[i]);
      work.d[i] = work.ln_x[i] + ln_phi[i];
    }
  }
  result.stable = true;
  result.min_tangent_plane_distance = 0.0;
  result.trial_composition.clear();
  const auto water = mixture.water_index();
  const bool water_trial = water && x[*water] > 0.0;
  // Trial phases in order: Wilson vapour-like and liquid-like, almost pure water, and the cube-root
  // variants of the Wilson trials. The first trial that proves instability ends the test: its
  // stationary point is a good start for the split, and any further phase is found by testing the
  // split itself.
  for (const double power : {1.0, -1.0, 0.0, 1.0 / 3.0, -1.0 / 3.0}) {
    if (power == 0.0 && !water_trial) continue;
    for (std::size_t i = 0; i < n; ++i) {
      if (x[i] == 0.0) {
        work.ln_w[i] = 0.0;
      } else if (power == 0.0) {
        work.ln_w[i] = i == *water ? std::log(0.999) : std::log(1e-3 * x[i]);
      } else {
        work.ln_w[i] = work.ln_x[i] + power * work.ln_k[i];
      }
    }
    RunTrial(eos, pressure, x, known_phases.size(), work, result);
    if (result.min_tangent_plane_distance < threshold) break;
  }
  result.stable = !(result.min_tangent_plane_distance < threshold);
  if (result.stable) result.trial_composition.clear();
}

}  // namespace tarvox::thermo
