#include "tarvox/thermo/flash_tp.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include <Eigen/Dense>

#include "phase_split.hpp"
#include "tarvox/thermo/phase_labels.hpp"
#include "tarvox/thermo/stability.hpp"
#include "tarvox/thermo/transport.hpp"

namespace tarvox::thermo {
namespace {

struct WorkingPhase {
  std::vector<double> x;
  FugacityEvaluation fugacity;
  double beta = 0.0;
};

struct StageOutcome {
  bool converged = false;
  int iterations = 0;
  double residual = 0.0;
};

WorkingPhase MakePhase(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                       double beta) {
  WorkingPhase phase{{x.begin(), x.end()}, {}, beta};
  EvaluateLnPhi(eos, pressure, phase.x, RootChoice::kMinimumGibbs, phase.fugacity);
  return phase;
}

std::size_t Reference(const std::vector<WorkingPhase>& phases) {
  std::size_t ref = 0;
  for (std::size_t k = 1; k < phases.size(); ++k) {
    if (phases[k].beta > phases[ref].beta) ref = k;
  }
  return ref;
}

double FugacityResidual(std::span<const double> z, const std::vector<WorkingPhase>& phases) {
  const auto& ref = phases[Reference(phases)];
  std::vector<double> ln_f_ref(z.size(), 0.0);
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] > 0.0) ln_f_ref[i] = std::log(ref.x[i]) + ref.fugacity.ln_phi[i];
  }
  double worst = 0.0;
  for (const auto& phase : phases) {
    if (phase.beta <= 0.0 || &phase == &ref) continue;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] == 0.0) continue;
      const double ln_f = std::log(phase.x[i]) + phase.fugacity.ln_phi[i];
      worst = std::max(worst, std::abs(ln_f - ln_f_ref[i]));
    }
  }
  return worst;
}

// Two phases that have become the same phase (the trivial solution) are merged into one.
bool MergeIdenticalPhases(std::vector<WorkingPhase>& phases) {
  for (std::size_t a = 0; a < phases.size(); ++a) {
    for (std::size_t b = a + 1; b < phases.size(); ++b) {
      double difference = std::abs(phases[a].fugacity.z_eos - phases[b].fugacity.z_eos);
      for (std::size_t i = 0; i < phases[a].x.size(); ++i) {
        difference = std::max(difference, std::abs(phases[a].x[i] - phases[b].x[i]));
      }
      if (difference < 1e-9) {
        phases[a].beta += phases[b].beta;
        phases.erase(phases.begin() + static_cast<std::ptrdiff_t>(b));
        return true;
      }
    }
  }
  return false;
}

// Successive substitution on the fugacity coefficients with the phase amounts from the convex
// multiphase split; every fifth step is extrapolated along the dominant eigenvector of the
// iteration (Crowe-Nishio), applied to ln K of each phase relative to phase 0.
StageOutcome ConvergeSplit(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                           std::vector<WorkingPhase>& phases, const FlashOptions& options) {
  const std::size_t n = z.size();
  StageOutcome outcome;
  std::vector<std::vector<double>> ln_phi, compositions;
  std::vector<double> beta, u, delta, previous_delta;
  for (int iteration = 0; iteration < options.max_iterations; ++iteration) {
    outcome.iterations = iteration + 1;
    ln_phi.resize(phases.size());
    beta.resize(phases.size());
    for (std::size_t k = 0; k < phases.size(); ++k) {
      ln_phi[k] = phases[k].fugacity.ln_phi;  // copy-assignment keeps the capacity
      beta[k] = phases[k].beta;
    }
    detail::SolvePhaseSplit(z, ln_phi, beta, compositions);
    for (std::size_t k = 0; k < phases.size(); ++k) {
      phases[k].beta = beta[k];
      phases[k].x = compositions[k];
      EvaluateLnPhi(eos, pressure, phases[k].x, RootChoice::kMinimumGibbs, phases[k].fugacity);
    }
    if (MergeIdenticalPhases(phases)) {
      u.clear();
      delta.clear();
      continue;
    }
    outcome.residual = FugacityResidual(z, phases);
    if (outcome.residual < options.tolerance) {
      outcome.converged = true;
      break;
    }
    std::vector<double> u_new;
    for (std::size_t k = 1; k < phases.size(); ++k) {
      for (std::size_t i = 0; i < n; ++i)
        u_new.push_back(phases[0].fugacity.ln_phi[i] - phases[k].fugacity.ln_phi[i]);
    }
    previous_delta = delta;
    delta.assign(u_new.size(), 0.0);
    if (u.size() == u_new.size()) {
      for (std::size_t j = 0; j < u.size(); ++j) delta[j] = u_new[j] - u[j];
    }
    u = u_new;
    if (iteration % 5 == 4 && previous_delta.size() == delta.size()) {
      double num = 0.0, den = 0.0;
      for (std::size_t j = 0; j < delta.size(); ++j) {
        num += delta[j] * previous_delta[j];
        den += previous_delta[j] * previous_delta[j];
      }
      const double lambda = den > 0.0 ? num / den : 0.0;
      if (lambda > 0.0 && lambda < 0.95) {
        const double factor = lambda / (1.0 - lambda);
        for (std::size_t k = 1; k < phases.size(); ++k) {
          for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (k - 1) * n + i;
            phases[k].fugacity.ln_phi[i] = phases[0].fugacity.ln_phi[i] - (u[j] + factor * delta[j]);
          }
        }
        u.clear();  // the extrapolated point starts a fresh history
        delta.clear();
      }
    }
  }
  std::erase_if(phases, [](const WorkingPhase& p) { return p.beta <= 0.0; });
  return outcome;
}

// One successive-substitution step as a map of u = (ln K_ik = ln phi_i0 - ln phi_ik, k >= 1):
// split with those ratios, evaluate the phases, return the new ratios.
class SubstitutionMap {
 public:
  SubstitutionMap(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                  std::vector<double> beta)
      : eos_(eos), pressure_(pressure), z_(z), start_beta_(std::move(beta)) {}

  void Apply(const Eigen::VectorXd& u, Eigen::VectorXd& image, std::vector<WorkingPhase>& phases) {
    const std::size_t n = z_.size(), m = start_beta_.size();
    ln_phi_.assign(m, std::vector<double>(n, 0.0));
    for (std::size_t k = 1; k < m; ++k) {
      for (std::size_t i = 0; i < n; ++i) ln_phi_[k][i] = -u(static_cast<Eigen::Index>((k - 1) * n + i));
    }
    beta_ = start_beta_;  // same warm start for every call keeps the Jacobian deterministic
    detail::SolvePhaseSplit(z_, ln_phi_, beta_, compositions_);
    phases.resize(m);
    for (std::size_t k = 0; k < m; ++k) {
      phases[k].beta = beta_[k];
      phases[k].x = compositions_[k];
      EvaluateLnPhi(eos_, pressure_, phases[k].x, RootChoice::kMinimumGibbs, phases[k].fugacity);
    }
    image.resize(u.size());
    for (std::size_t k = 1; k < m; ++k) {
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
  std::vector<double> start_beta_, beta_;
  std::vector<std::vector<double>> ln_phi_, compositions_;
};

// Newton on u - G(u) = 0 with a forward-difference Jacobian, for the cases where substitution
// converges too slowly (near critical points, phases about to vanish) or cycles.
StageOutcome NewtonStage(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                         std::vector<WorkingPhase>& phases, const FlashOptions& options) {
  const std::size_t n = z.size(), m = phases.size();
  StageOutcome outcome;
  if (m < 2) return outcome;
  std::vector<double> beta;
  for (const auto& p : phases) beta.push_back(p.beta);
  SubstitutionMap map(eos, pressure, z, beta);
  const auto size = static_cast<Eigen::Index>((m - 1) * n);
  Eigen::VectorXd u(size), image, f, u_trial, f_trial;
  for (std::size_t k = 1; k < m; ++k) {
    for (std::size_t i = 0; i < n; ++i) {
      u(static_cast<Eigen::Index>((k - 1) * n + i)) =
          phases[0].fugacity.ln_phi[i] - phases[k].fugacity.ln_phi[i];
    }
  }
  std::vector<WorkingPhase> trial_phases;
  map.Apply(u, image, phases);
  f = u - image;
  Eigen::MatrixXd jacobian(size, size);
  for (int iteration = 0; iteration < 50; ++iteration) {
    ++outcome.iterations;
    outcome.residual = FugacityResidual(z, phases);
    if (outcome.residual < options.tolerance) {
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
  std::erase_if(phases, [](const WorkingPhase& p) { return p.beta <= 0.0; });
  return outcome;
}

// Accelerated substitution first; Newton from where it stopped when it does not converge.
StageOutcome ConvergeStage(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                           std::vector<WorkingPhase>& phases, const FlashOptions& options) {
  auto outcome = ConvergeSplit(eos, pressure, z, phases, options);
  if (outcome.converged) return outcome;
  const int substitution_iterations = outcome.iterations;
  outcome = NewtonStage(eos, pressure, z, phases, options);
  outcome.iterations += substitution_iterations;
  return outcome;
}

void FillResult(const PengRobinsonAtTemperature& eos, double pressure,
                const std::vector<WorkingPhase>& phases, FlashResult& result) {
  std::vector<PhaseProperties> properties;
  double beta_sum = 0.0;
  for (const auto& phase : phases) {
    properties.push_back(EvaluatePhase(eos, pressure, phase.x, RootChoice::kMinimumGibbs));
    beta_sum += phase.beta;
  }
  const auto slots = AssignPhaseSlots(properties, eos.mixture().water_index());
  std::vector<LiquidViscosityShare> liquids;
  bool liquid_viscosity_known = true;
  for (int s = 0; s < kPhaseSlotCount; ++s) {
    if (!slots[s]) continue;
    const std::size_t k = *slots[s];
    auto& slot = result.slots[s];
    slot.present = true;
    slot.phase_fraction = phases[k].beta / beta_sum;
    slot.properties = std::move(properties[k]);
    const auto& p = slot.properties;
    result.enthalpy += slot.phase_fraction * p.enthalpy;
    result.entropy += slot.phase_fraction * p.entropy;
    result.molar_volume += slot.phase_fraction * p.molar_volume;
    result.cp += slot.phase_fraction * p.cp;
    if (s != kVapourSlot) {
      if (p.kinematic_viscosity) {
        liquids.push_back({slot.phase_fraction * p.molar_mass, *p.kinematic_viscosity});
      } else {
        liquid_viscosity_known = false;
      }
    }
  }
  result.phase_count = static_cast<int>(phases.size());
  const auto vapour = result.slots[kVapourSlot].present
                          ? result.slots[kVapourSlot].properties.kinematic_viscosity
                          : std::nullopt;
  if (liquid_viscosity_known) result.kinematic_viscosity = StreamKinematicViscosity(liquids, vapour);
}

bool ThirdPhaseCanAppear(const Mixture& mixture, double temperature, std::span<const double> z,
                         ThirdPhaseCheck check) {
  if (check == ThirdPhaseCheck::kAlways || temperature < kSecondLiquidTemperature) return true;
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] > 0.0 && mixture.component(i).is_polar) return true;
  }
  return false;
}

}  // namespace

FlashResult FlashTP(const Mixture& mixture, double temperature, double pressure, std::span<const double> feed,
                    const FlashOptions& options) {
  if (!(pressure > 0.0) || !std::isfinite(pressure)) throw std::invalid_argument("pressure must be > 0");
  FlashResult result;
  result.temperature = temperature;
  result.pressure = pressure;
  result.feed = NormalisedComposition(feed, mixture.size());
  const auto& z = result.feed;
  const PengRobinsonAtTemperature eos(mixture, temperature);

  std::vector<WorkingPhase> phases{MakePhase(eos, pressure, z, 1.0)};
  const auto present = std::count_if(z.begin(), z.end(), [](double v) { return v > 0.0; });
  if (present > 1) {
    const auto feed_test =
        TestStability(eos, pressure, z, phases[0].fugacity.ln_phi, options.stability_threshold);
    if (!feed_test.stable) {
      phases[0].beta = 0.5;
      phases.push_back(MakePhase(eos, pressure, feed_test.trial_composition, 0.5));
      auto stage = ConvergeStage(eos, pressure, z, phases, options);
      result.iterations = stage.iterations;
      if (stage.converged && phases.size() == 2 &&
          ThirdPhaseCanAppear(mixture, temperature, z, options.third_phase)) {
        const auto& ref = phases[Reference(phases)];
        const auto split_test =
            TestStability(eos, pressure, ref.x, ref.fugacity.ln_phi, options.stability_threshold);
        if (!split_test.stable) {
          phases.push_back(MakePhase(eos, pressure, split_test.trial_composition, 0.0));
          stage = ConvergeStage(eos, pressure, z, phases, options);
          result.iterations += stage.iterations;
        }
      }
      result.fugacity_residual = stage.residual;
      if (!stage.converged) return result;
    }
  }
  result.status = FlashStatus::kConverged;
  FillResult(eos, pressure, phases, result);
  return result;
}

}  // namespace tarvox::thermo
