#include "phase_split.hpp"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

namespace tarvox::thermo::detail {
namespace {

// theta_ik = phi_i,min / phi_ik keeps every term within (0, 1] whatever the size of ln phi.
std::vector<std::vector<double>> ScaledInverseFugacity(std::span<const double> z,
                                                       const std::vector<std::vector<double>>& ln_phi) {
  const std::size_t m = ln_phi.size();
  std::vector<std::vector<double>> theta(m, std::vector<double>(z.size(), 0.0));
  for (std::size_t i = 0; i < z.size(); ++i) {
    double lowest = ln_phi[0][i];
    for (std::size_t k = 1; k < m; ++k) lowest = std::min(lowest, ln_phi[k][i]);
    for (std::size_t k = 0; k < m; ++k) theta[k][i] = std::exp(lowest - ln_phi[k][i]);
  }
  return theta;
}

double Objective(std::span<const double> z, const std::vector<std::vector<double>>& theta,
                 const std::vector<double>& beta) {
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

}  // namespace

bool SolvePhaseSplit(std::span<const double> z, const std::vector<std::vector<double>>& ln_phi,
                     std::vector<double>& beta, std::vector<std::vector<double>>& compositions) {
  const std::size_t m = ln_phi.size();
  const std::size_t n = z.size();
  const auto theta = ScaledInverseFugacity(z, ln_phi);
  std::vector<double> e(n);
  Eigen::VectorXd gradient(m);
  Eigen::MatrixXd hessian(m, m);
  bool converged = false;
  for (int iteration = 0; iteration < 100 && !converged; ++iteration) {
    gradient.setOnes();
    hessian.setZero();
    for (std::size_t i = 0; i < n; ++i) {
      if (z[i] == 0.0) continue;
      e[i] = 0.0;
      for (std::size_t k = 0; k < m; ++k) e[i] += beta[k] * theta[k][i];
      for (std::size_t k = 0; k < m; ++k) {
        const double t = z[i] * theta[k][i] / e[i];
        gradient(k) -= t;
        for (std::size_t l = 0; l < m; ++l) hessian(k, l) += t * theta[l][i] / e[i];
      }
    }
    // Free variables: positive amounts, and zero amounts that the gradient wants to raise.
    std::vector<std::size_t> free;
    double worst = 0.0;
    for (std::size_t k = 0; k < m; ++k) {
      if (beta[k] > 0.0 || gradient(k) < 0.0) {
        free.push_back(k);
        worst = std::max(worst, std::abs(gradient(k)));
      }
    }
    if (worst < 1e-15) {
      converged = true;
      break;
    }
    const auto f = static_cast<Eigen::Index>(free.size());
    Eigen::MatrixXd h(f, f);
    Eigen::VectorXd g(f);
    for (Eigen::Index a = 0; a < f; ++a) {
      g(a) = gradient(static_cast<Eigen::Index>(free[a]));
      for (Eigen::Index b = 0; b < f; ++b) {
        h(a, b) = hessian(static_cast<Eigen::Index>(free[a]), static_cast<Eigen::Index>(free[b]));
      }
      h(a, a) *= 1.0 + 1e-13;  // two identical phases make Q flat along their difference
    }
    const Eigen::VectorXd step = h.ldlt().solve(-g);
    double length = 1.0;
    for (Eigen::Index a = 0; a < f; ++a) {
      const double b = beta[free[a]];
      if (step(a) < 0.0 && b + step(a) < 0.0) length = std::min(length, -b / step(a));
    }
    const double q_old = Objective(z, theta, beta);
    std::vector<double> trial = beta;
    double change = 0.0;
    for (int halving = 0; halving < 40; ++halving) {
      bool any_positive = false;
      change = 0.0;
      for (Eigen::Index a = 0; a < f; ++a) {
        const std::size_t k = free[a];
        trial[k] = std::max(0.0, beta[k] + length * step(a));
        any_positive = any_positive || trial[k] > 0.0;
        change = std::max(change, std::abs(trial[k] - beta[k]));
      }
      if (any_positive && Objective(z, theta, trial) <= q_old + 1e-15 * std::abs(q_old)) break;
      length *= 0.5;
      trial = beta;
    }
    beta = trial;
    if (change < 1e-16) converged = true;
  }

  compositions.assign(m, std::vector<double>(n, 0.0));
  for (std::size_t i = 0; i < n; ++i) {
    if (z[i] == 0.0) continue;
    double ei = 0.0;
    for (std::size_t k = 0; k < m; ++k) ei += beta[k] * theta[k][i];
    for (std::size_t k = 0; k < m; ++k) compositions[k][i] = z[i] * theta[k][i] / ei;
  }
  for (auto& x : compositions) {
    double sum = 0.0;
    for (double v : x) sum += v;
    for (double& v : x) v /= sum;
  }
  return converged;
}

}  // namespace tarvox::thermo::detail
