#include "split_newton.hpp"

#include <algorithm>
#include <cmath>

namespace tarvox::thermo::detail {
namespace {

constexpr int kHalvings = 8;

}  // namespace

void SplitNewton::Gradient(const WorkingPhases& state, Eigen::VectorXd& gradient) const {
  const std::size_t na = active_.size(), m = state.size();
  gradient.resize(static_cast<Eigen::Index>((m - 1) * na));
  for (std::size_t k = 1; k < m; ++k) {
    for (std::size_t a = 0; a < na; ++a) {
      const std::size_t i = active_[a];
      gradient(static_cast<Eigen::Index>((k - 1) * na + a)) =
          std::log(state[k].x[i]) + state[k].fugacity.ln_phi[i] - std::log(state[0].x[i]) -
          state[0].fugacity.ln_phi[i];
    }
  }
}

bool SplitNewton::Move(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                       const WorkingPhases& from, const Eigen::VectorXd& step, WorkingPhases& to) {
  const std::size_t na = active_.size(), m = from.size(), n = z.size();
  moles_.assign(m * n, 0.0);
  for (std::size_t a = 0; a < na; ++a) {
    const std::size_t i = active_[a];
    double rest = z[i];
    for (std::size_t k = 1; k < m; ++k) {
      const double v = from[k].beta * from[k].x[i] + step(static_cast<Eigen::Index>((k - 1) * na + a));
      if (!(v > 0.0)) return false;
      moles_[k * n + i] = v;
      rest -= v;
    }
    if (!(rest > 0.0)) return false;
    moles_[i] = rest;
  }
  to.Clear();
  for (std::size_t k = 0; k < m; ++k) {
    const std::span<double> x(&moles_[k * n], n);
    double beta = 0.0;
    for (double v : x) beta += v;
    for (double& v : x) v /= beta;
    to.Add(eos, pressure, x, beta);
  }
  return true;
}

bool SplitNewton::Converge(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                           WorkingPhases& phases, double tolerance, int max_steps, int& steps) {
  current_ = phases;
  current_.RemoveEmpty();
  const std::size_t m = current_.size();
  if (m < 2) return false;
  active_.clear();
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] > 0.0) active_.push_back(i);
  }
  const std::size_t na = active_.size();
  const auto size = static_cast<Eigen::Index>((m - 1) * na);
  Gradient(current_, gradient_);
  for (; steps < max_steps; ++steps) {
    if (Residual(current_, gradient_) < tolerance) {
      phases = current_;
      return true;
    }
    // H = blockdiag(A_1..A_m-1) + A_0 in every block, A_k = (diag(1/x_k) - 1 + N dln phi/dn) / beta_k.
    hessian_.setZero(size, size);
    for (std::size_t k = 0; k < m; ++k) {
      EvaluateLnPhiDerivatives(eos, pressure, current_[k].fugacity, derivatives_[k]);
    }
    const std::size_t n = z.size();
    for (std::size_t k = 0; k < m; ++k) {
      const auto& phase = current_[k];
      const auto& d = derivatives_[k].d_moles;
      for (std::size_t a = 0; a < na; ++a) {
        for (std::size_t b = 0; b < na; ++b) {
          const std::size_t i = active_[a], j = active_[b];
          const double entry = ((a == b ? 1.0 / phase.x[i] : 0.0) - 1.0 + d[i * n + j]) / phase.beta;
          const auto at = [&](std::size_t l, std::size_t r) -> double& {
            return hessian_(static_cast<Eigen::Index>((l - 1) * na + a),
                            static_cast<Eigen::Index>((r - 1) * na + b));
          };
          if (k != 0) {
            at(k, k) += entry;
            continue;
          }
          for (std::size_t l = 1; l < m; ++l) {
            for (std::size_t r = 1; r < m; ++r) at(l, r) += entry;
          }
        }
      }
    }
    // At a stable split the Hessian is positive definite and Cholesky suffices; LDLT where it is not.
    cholesky_.compute(hessian_);
    if (cholesky_.info() == Eigen::Success) {
      step_ = cholesky_.solve(-gradient_);
    } else {
      factor_.compute(hessian_);
      step_ = factor_.solve(-gradient_);
    }
    if (!step_.allFinite()) return false;
    const double norm = gradient_.norm();
    bool improved = false;
    for (int halving = 0; halving < kHalvings && !improved; ++halving, step_ *= 0.5) {
      if (!Move(eos, pressure, z, current_, step_, trial_)) continue;
      Gradient(trial_, trial_gradient_);
      improved = trial_gradient_.allFinite() && trial_gradient_.norm() < norm;
    }
    if (!improved) return false;
    std::swap(current_, trial_);
    std::swap(gradient_, trial_gradient_);
  }
  if (Residual(current_, gradient_) < tolerance) {
    phases = current_;
    return true;
  }
  return false;
}

double SplitNewton::Residual(const WorkingPhases& state, const Eigen::VectorXd& gradient) const {
  const std::size_t na = active_.size(), m = state.size(), ref = state.Reference();
  const auto g = [&](std::size_t k, std::size_t a) {
    return k == 0 ? 0.0 : gradient(static_cast<Eigen::Index>((k - 1) * na + a));
  };
  double worst = 0.0;
  for (std::size_t k = 0; k < m; ++k) {
    if (k == ref) continue;
    for (std::size_t a = 0; a < na; ++a) worst = std::max(worst, std::abs(g(k, a) - g(ref, a)));
  }
  return worst;
}

}  // namespace tarvox::thermo::detail
