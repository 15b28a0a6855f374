#pragma once

#include <span>
#include <vector>

#include <Eigen/Dense>

#include "tarvox/thermo/fugacity_derivatives.hpp"
#include "working_phase.hpp"

namespace tarvox::thermo::detail {

// Second-order convergence of the phases of a split that have positive amounts (those that have
// vanished are dropped): Newton on the Gibbs energy in the mole numbers of phases 1..m-1 (phase 0
// takes the rest of the feed), with the analytic Hessian from the composition derivatives of ln phi.
// Work arrays are kept between calls.
class SplitNewton {
 public:
  // Converges `phases` to max |ln f difference| < tolerance within max_steps Newton steps. On
  // failure (fewer than two phases with an amount, a step that does not lower the residual, or an
  // amount about to vanish) `phases` is left as it was given and false is returned. `steps` counts
  // the steps taken.
  bool Converge(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                WorkingPhases& phases, double tolerance, int max_steps, int& steps);

 private:
  // Gradient of the Gibbs energy (ln f_ki - ln f_0i) of `state` over the active components.
  void Gradient(const WorkingPhases& state, Eigen::VectorXd& gradient) const;
  // Evaluates and factors the Hessian of current_.
  void Factor(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z);
  // Newton step from current_ on the factored Hessian, halved until the gradient's norm falls; false
  // when it does not.
  bool TakeStep(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z);
  // max |ln f_ki - ln f_ref,i| of `state` (as FugacityResidual) from its gradient.
  double Residual(const WorkingPhases& state, const Eigen::VectorXd& gradient) const;
  // Moves `state` to mole numbers n_k = current + step for k >= 1. False when an amount would not
  // stay positive.
  bool Move(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
            const WorkingPhases& from, const Eigen::VectorXd& step, WorkingPhases& to);

  std::vector<std::size_t> active_;  // components of the feed
  WorkingPhases current_, trial_;
  std::array<LnPhiDerivatives, kMaxPhases> derivatives_;
  std::vector<double> moles_;
  Eigen::MatrixXd hessian_;
  Eigen::LLT<Eigen::MatrixXd> cholesky_;
  Eigen::LDLT<Eigen::MatrixXd> factor_;
  bool positive_definite_ = false;  // cholesky_ holds the factor, else factor_
  Eigen::VectorXd gradient_, trial_gradient_, step_;
};

}  // namespace tarvox::thermo::detail
