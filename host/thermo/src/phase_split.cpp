#include "phase_split.hpp"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <cmath>

namespace tarvox::thermo::detail {
namespace {

// At most three phases: fixed-capacity Eigen objects keep the Newton step off the heap.
using SmallMatrix = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, kMaxPhases, kMaxPhases>;
using SmallVector = Eigen::Matrix<double, Eigen::Dynamic, 1, 0, kMaxPhases, 1>;

// theta_ik = phi_i,min / phi_ik keeps every term within (0, 1] whatever the size of ln phi.
// Row-major by phase in one block.
class Theta {
 public:
  Theta(std::vector<double>& values, std::size_t phases, std::size_t components)
      : n_(components), values_(values) {
    values_.resize(phases * components);
  }
  double* operator[](std::size_t k) { return &values_[k * n_]; }
  const double* operator[](std::size_t k) const { return &values_[k * n_]; }

 private:
  std::size_t n_;
  std::vector<double>& values_;
};

void ScaledInverseFugacity(std::span<const double> z, std::span<const std::span<const double>> ln_phi,
                           Theta& theta) {
  const std::size_t m = ln_phi.size();
  for (std::size_t i = 0; i < z.size(); ++i) {
    double lowest = ln_phi[0][i];
    for (std::size_t k = 1; k < m; ++k) lowest = std::min(lowest, ln_phi[k][i]);
    for (std::size_t k = 0; k < m; ++k) theta[k][i] = std::exp(lowest - ln_phi[k][i]);
  }
}

double Objective(std::span<const double> z, const Theta& theta, std::span<const double> beta) {
  double q = 0.0;
  for (double b : beta) q += b;
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] == 0.0) continue;
    double e = 0.0;
    for (std::size_t k = 0; k < beta.size(); ++k) e += beta[k] * theta[k][i];
    q -= z[i] * std::log(e);
  }
  return q;
}

// Whether Q still falls at `to` along the segment from `from`: then, Q being convex, its slope is
// negative all along and Q(to) < Q(from), without evaluating Q.
bool DescendsThroughout(std::span<const double> z, const Theta& theta, std::span<const double> from,
                        std::span<const double> to) {
  double slope = 0.0;
  for (std::size_t k = 0; k < to.size(); ++k) slope += to[k] - from[k];
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] == 0.0) continue;
    double e = 0.0, de = 0.0;
    for (std::size_t k = 0; k < to.size(); ++k) {
      e += to[k] * theta[k][i];
      de += (to[k] - from[k]) * theta[k][i];
    }
    slope -= z[i] * de / e;
  }
  return slope <= 0.0;
}

}  // namespace

bool SolvePhaseSplit(std::span<const double> z, std::span<const std::span<const double>> ln_phi,
                     std::span<double> beta, std::span<const std::span<double>> compositions,
                     PhaseSplitWorkspace& work) {
  const std::size_t m = ln_phi.size();
  const std::size_t n = z.size();
  if (m == 0 || m > kMaxPhases) throw std::invalid_argument("phase split needs 1 to 3 phases");
  Theta theta(work.theta, m, n);
  ScaledInverseFugacity(z, ln_phi, theta);
  SmallVector gradient(m);
  SmallMatrix hessian(m, m);
  bool converged = false;
  for (int iteration = 0; iteration < 100 && !converged; ++iteration) {
    gradient.setOnes();
    hessian.setZero();
    for (std::size_t i = 0; i < n; ++i) {
      if (z[i] == 0.0) continue;
      double e = 0.0;
      for (std::size_t k = 0; k < m; ++k) e += beta[k] * theta[k][i];
      const double inverse_e = 1.0 / e;
      for (std::size_t k = 0; k < m; ++k) {
        const double t = z[i] * theta[k][i] * inverse_e;
        gradient(k) -= t;
        for (std::size_t l = k; l < m; ++l) hessian(k, l) += t * theta[l][i] * inverse_e;
      }
    }
    for (std::size_t k = 0; k < m; ++k) {
      for (std::size_t l = 0; l < k; ++l) hessian(k, l) = hessian(l, k);
    }
    // Free variables: positive amounts, and zero amounts that the gradient wants to raise.
    std::array<std::size_t, kMaxPhases> free{};
    std::size_t free_count = 0;
    double worst = 0.0;
    for (std::size_t k = 0; k < m; ++k) {
      if (beta[k] > 0.0 || gradient(k) < 0.0) {
        free[free_count++] = k;
        worst = std::max(worst, std::abs(gradient(k)));
      }
    }
    if (worst < 1e-14) {
      converged = true;
      break;
    }
    const auto f = static_cast<Eigen::Index>(free_count);
    SmallMatrix h(f, f);
    SmallVector g(f);
    for (Eigen::Index a = 0; a < f; ++a) {
      g(a) = gradient(static_cast<Eigen::Index>(free[a]));
      for (Eigen::Index b = 0; b < f; ++b) {
        h(a, b) = hessian(static_cast<Eigen::Index>(free[a]), static_cast<Eigen::Index>(free[b]));
      }
      h(a, a) *= 1.0 + 1e-13;  // two identical phases make Q flat along their difference
    }
    const SmallVector step = h.ldlt().solve(-g);
    double length = 1.0;
    for (Eigen::Index a = 0; a < f; ++a) {
      const double b = beta[free[a]];
      if (step(a) < 0.0 && b + step(a) < 0.0) length = std::min(length, -b / step(a));
    }
    if (length * step.cwiseAbs().maxCoeff() < 1e-15) {
      converged = true;
      break;
    }
    // Q is convex, so the Newton direction descends; when no step length lowers Q any more the
    // minimum is reached to rounding. Q itself (n logarithms) is evaluated only where the slope test
    // cannot decide.
    std::optional<double> q_old;
    std::array<double, kMaxPhases> trial_storage{};
    const std::span<double> trial(trial_storage.data(), m);
    std::copy(beta.begin(), beta.end(), trial.begin());
    bool improved = false;
    double change = 0.0;
    for (int halving = 0; halving < 30 && !improved; ++halving, length *= 0.5) {
      bool any_positive = false;
      change = 0.0;
      for (Eigen::Index a = 0; a < f; ++a) {
        const std::size_t k = free[a];
        trial[k] = std::max(0.0, beta[k] + length * step(a));
        any_positive = any_positive || trial[k] > 0.0;
        change = std::max(change, std::abs(trial[k] - beta[k]));
      }
      // Steps this small are in Newton's quadratic range, where Q cannot resolve the gain.
      if (!any_positive) continue;
      improved = change < 1e-8 || DescendsThroughout(z, theta, beta, trial);
      if (!improved) {
        if (!q_old) q_old = Objective(z, theta, beta);
        improved = Objective(z, theta, trial) <= *q_old;
      }
    }
    if (!improved) {
      converged = worst < 1e-10;
      break;
    }
    std::copy(trial.begin(), trial.end(), beta.begin());
    if (change < 1e-15) converged = true;
  }

  for (const auto& x : compositions) std::fill(x.begin(), x.end(), 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    if (z[i] == 0.0) continue;
    double ei = 0.0;
    for (std::size_t k = 0; k < m; ++k) ei += beta[k] * theta[k][i];
    for (std::size_t k = 0; k < m; ++k) compositions[k][i] = z[i] * theta[k][i] / ei;
  }
  for (const auto& x : compositions) {
    double sum = 0.0;
    for (double v : x) sum += v;
    for (double& v : x) v /= sum;
  }
  return converged;
}

namespace {

// exp(700) leaves room for sums and products of K below the largest double.
constexpr double kLargestLnK = 700.0;

// Rachford-Rice function g(beta) = sum z_i (K_i - 1) / (1 + beta (K_i - 1)) and its derivative.
struct RachfordRice {
  double value = 0.0;
  double slope = 0.0;
};

RachfordRice EvaluateRachfordRice(std::span<const double> z, std::span<const double> k, double beta) {
  RachfordRice g;
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] == 0.0) continue;
    const double t = (k[i] - 1.0) / (1.0 + beta * (k[i] - 1.0));
    g.value += z[i] * t;
    g.slope -= z[i] * t * t;
  }
  return g;
}

// The root of g in (0, 1), where g(0) > 0 > g(1) and g falls monotonically: Newton from `start`,
// bisecting the bracket whenever a step would leave it.
double SolveRachfordRice(std::span<const double> z, std::span<const double> k, double start) {
  double low = 0.0, high = 1.0;
  double beta = start > 0.0 && start < 1.0 ? start : 0.5;
  for (int iteration = 0; iteration < 100; ++iteration) {
    const RachfordRice g = EvaluateRachfordRice(z, k, beta);
    if (g.value > 0.0) {
      low = beta;
    } else if (g.value < 0.0) {
      high = beta;
    } else {
      return beta;
    }
    const double step = g.slope < 0.0 ? -g.value / g.slope : 0.0;
    // Newton converges quadratically: a step at rounding level ends it, even on the bracket's edge.
    if (g.slope < 0.0 && std::abs(step) <= 1e-15 * beta) return std::clamp(beta + step, low, high);
    double next = beta + step;
    if (!(next > low && next < high)) next = 0.5 * (low + high);
    if (next == beta) return beta;
    beta = next;
  }
  return beta;
}

}  // namespace

bool SolveTwoPhaseSplit(std::span<const double> z, std::span<const double> ln_k, std::span<double, 2> beta,
                        std::span<double> x0, std::span<double> x1, std::span<double, 2> sums,
                        std::vector<double>& k_values) {
  const std::size_t n = z.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (z[i] > 0.0 && !(std::abs(ln_k[i]) <= kLargestLnK)) return false;
  }
  k_values.resize(n);
  double z_k = 0.0, z_over_k = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    k_values[i] = z[i] > 0.0 ? std::exp(ln_k[i]) : 1.0;
    z_k += z[i] * k_values[i];
    z_over_k += z[i] / k_values[i];
  }
  double beta_1 = 0.0;
  if (z_k <= 1.0) {
    beta_1 = 0.0;
  } else if (z_over_k <= 1.0) {
    beta_1 = 1.0;
  } else {
    beta_1 = SolveRachfordRice(z, k_values, beta[1]);
  }
  beta[0] = 1.0 - beta_1;
  beta[1] = beta_1;
  sums[0] = sums[1] = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double base = z[i] > 0.0 ? z[i] / (1.0 + beta_1 * (k_values[i] - 1.0)) : 0.0;
    x0[i] = base;
    x1[i] = base * k_values[i];
    sums[0] += x0[i];
    sums[1] += x1[i];
  }
  for (std::size_t i = 0; i < n; ++i) {
    x0[i] /= sums[0];
    x1[i] /= sums[1];
  }
  return true;
}

}  // namespace tarvox::thermo::detail
