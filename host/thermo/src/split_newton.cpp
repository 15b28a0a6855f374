#include "split_newton.hpp"

#include <algorithm>
#include <cmath>

namespace tarvox::thermo::detail {
namespace {

constexpr int kHalvings = 8;
// Residual (max ln f difference) below which a step reuses the last factored Hessian.
constexpr double kChordResidual = 1e-8;

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

// H = blockdiag(A_1..A_m-1) + A_0 in every block, A_k = (diag(1/x_k) - 1 + N dln phi/dn) / beta_k, factored
// by Cholesky, as at a stable split it is positive definite, and by LDLT where it is not.
void SplitNewton::Factor(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z) {
  const std::size_t na = active_.size(), m = current_.size(), n = z.size();
  const auto size = static_cast<Eigen::Index>((m - 1) * na);
  hessian_.setZero(size, size);
  for (std::size_t k = 0; k < m; ++k) {
    EvaluateLnPhiDerivatives(eos, pressure, current_[k].fugacity, derivatives_[k]);
  }
  // Only the lower triangle, which is all that the factorisations read; columns are contiguous.
  double* h = hessian_.data();
  for (std::size_t k = 0; k < m; ++k) {
    const auto& phase = current_[k];
    const double* d = derivatives_[k].d_moles.data();
    const double inverse_beta = 1.0 / phase.beta;
    // A_k enters block (k, k), and A_0 every block (l, r) with l >= r.
    for (std::size_t l = k == 0 ? 1 : k; l < (k == 0 ? m : k + 1); ++l) {
      for (std::size_t r = k == 0 ? 1 : k; r <= l; ++r) {
        for (std::size_t b = 0; b < na; ++b) {
          const std::size_t j = active_[b];
          double* column = h + ((r - 1) * na + b) * static_cast<std::size_t>(size) + (l - 1) * na;
          const double* d_column = d + j * n;  // N d ln phi_i / d n_j is symmetric in i and j
          for (std::size_t a = l == r ? b : 0; a < na; ++a) {
            column[a] += (d_column[active_[a]] - 1.0) * inverse_beta;
          }
          column[b] += inverse_beta / phase.x[j];
        }
      }
    }
  }
  cholesky_.compute(hessian_);
  positive_definite_ = cholesky_.info() == Eigen::Success;
  if (!positive_definite_) factor_.compute(hessian_);
}

bool SplitNewton::TakeStep(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z) {
  if (positive_definite_) {
    step_ = cholesky_.solve(-gradient_);
  } else {
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
  return true;
}

bool SplitNewton::Converge(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                           WorkingPhases& phases, double tolerance, int max_steps, int& steps) {
  current_ = phases;
  current_.RemoveEmpty();
  if (current_.size() < 2) return false;
  active_.clear();
  active_.reserve(z.size());
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] > 0.0) active_.push_back(i);
  }
  Gradient(current_, gradient_);
  bool factored = false;
  for (; steps < max_steps; ++steps) {
    const double residual = Residual(current_, gradient_);
    if (residual < tolerance) {
      phases = current_;
      return true;
    }
    // This close, the last step's Hessian differs from the current one by about the last step, far too
    // little to matter: a chord step on the old factor saves the derivatives, and a full step follows
    // if it does not lower the gradient.
    const bool chord = factored && residual < kChordResidual;
    if (!chord) {
      Factor(eos, pressure, z);
      factored = true;
    }
    if (!TakeStep(eos, pressure, z)) {
      if (!chord) return false;
      Factor(eos, pressure, z);
      if (!TakeStep(eos, pressure, z)) return false;
    }
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
