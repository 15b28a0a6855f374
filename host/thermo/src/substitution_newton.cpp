#include "substitution_newton.hpp"

#include <array>

#include <Eigen/Dense>

namespace tarvox::thermo::detail {
namespace {

// One successive-substitution step as a map of u: split with those ratios, evaluate the phases,
// return the new ratios. Every call starts the split from the same amounts, which keeps the
// difference Jacobian deterministic.
class SubstitutionMap {
 public:
  SubstitutionMap(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                  const WorkingPhases& start)
      : eos_(eos), pressure_(pressure), z_(z), m_(start.size()) {
    for (std::size_t k = 0; k < m_; ++k) start_beta_[k] = start[k].beta;
    ln_phi_.assign(m_ * z.size(), 0.0);
  }

  void Apply(const Eigen::VectorXd& u, Eigen::VectorXd& image, WorkingPhases& phases) {
    const std::size_t n = z_.size();
    std::array<std::span<const double>, kMaxPhases> ln_phi;
    std::array<std::span<double>, kMaxPhases> compositions;
    std::array<double, kMaxPhases> beta = start_beta_;
    phases.Resize(m_, n);
    for (std::size_t k = 0; k < m_; ++k) {
      for (std::size_t i = 0; i < n; ++i) {
        ln_phi_[k * n + i] = k == 0 ? 0.0 : -u(static_cast<Eigen::Index>((k - 1) * n + i));
      }
      ln_phi[k] = {&ln_phi_[k * n], n};
      compositions[k] = phases[k].x;
    }
    SolvePhaseSplit(z_, {ln_phi.data(), m_}, {beta.data(), m_}, {compositions.data(), m_}, split_work_);
    for (std::size_t k = 0; k < m_; ++k) {
      phases[k].beta = beta[k];
      EvaluateLnPhi(eos_, pressure_, phases[k].x, RootChoice::kMinimumGibbs, phases[k].fugacity);
    }
    image.resize(static_cast<Eigen::Index>((m_ - 1) * n));
    for (std::size_t k = 1; k < m_; ++k) {
      for (std::size_t i = 0; i < n; ++i) {
        image(static_cast<Eigen::Index>((k - 1) * n + i)) =
            phases[0].fugacity.ln_phi[i] - phases[k].fugacity.ln_phi[i];
      }
    }
  }

 private:
  const PengRobinsonAtTemperature& eos_;
  double pressure_;
  std::span<const double> z_;
  std::size_t m_;
  std::array<double, kMaxPhases> start_beta_{};
  std::vector<double> ln_phi_;
  PhaseSplitWorkspace split_work_;
};

}  // namespace

SubstitutionNewtonOutcome ConvergeByFixedPointNewton(const PengRobinsonAtTemperature& eos, double pressure,
                                                     std::span<const double> z, WorkingPhases& phases,
                                                     double tolerance) {
  const std::size_t n = z.size(), m = phases.size();
  SubstitutionNewtonOutcome outcome;
  if (m < 2) return outcome;
  SubstitutionMap map(eos, pressure, z, phases);
  const auto size = static_cast<Eigen::Index>((m - 1) * n);
  Eigen::VectorXd u(size), image, f, u_trial, f_trial;
  for (std::size_t k = 1; k < m; ++k) {
    for (std::size_t i = 0; i < n; ++i) {
      u(static_cast<Eigen::Index>((k - 1) * n + i)) =
          phases[0].fugacity.ln_phi[i] - phases[k].fugacity.ln_phi[i];
    }
  }
  WorkingPhases trial_phases;
  map.Apply(u, image, phases);
  f = u - image;
  Eigen::MatrixXd jacobian(size, size);
  for (int iteration = 0; iteration < 50; ++iteration) {
    ++outcome.steps;
    if (FugacityResidual(z, phases) < tolerance) {
      outcome.converged = true;
      break;
    }
    for (Eigen::Index j = 0; j < size; ++j) {
      u_trial = u;
      u_trial(j) += 1e-7;
      map.Apply(u_trial, image, trial_phases);
      jacobian.col(j) = ((u_trial - image) - f) / 1e-7;
    }
    Eigen::VectorXd step = jacobian.partialPivLu().solve(-f);
    if (!step.allFinite()) break;
    bool improved = false;
    for (int halving = 0; halving < 20 && !improved; ++halving, step *= 0.5) {
      u_trial = u + step;
      map.Apply(u_trial, image, trial_phases);
      f_trial = u_trial - image;
      improved = f_trial.allFinite() && f_trial.norm() < f.norm();
    }
    if (!improved) break;
    u = u_trial;
    f = f_trial;
    phases = trial_phases;
  }
  phases.RemoveEmpty();
  return outcome;
}

}  // namespace tarvox::thermo::detail
