#include "tarvox/thermo/flash_tp.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>

#include "phase_split.hpp"
#include "split_newton.hpp"
#include "substitution_newton.hpp"
#include "tarvox/thermo/phase_labels.hpp"
#include "tarvox/thermo/stability.hpp"
#include "tarvox/thermo/transport.hpp"
#include "working_phase.hpp"

namespace tarvox::thermo {

namespace detail {

double FugacityResidual(std::span<const double> z, const WorkingPhases& phases) {
  const auto& ref = phases[phases.Reference()];
  double worst = 0.0;
  for (const auto& phase : phases.all()) {
    if (phase.beta <= 0.0 || &phase == &ref) continue;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] == 0.0) continue;
      const double ln_f = std::log(phase.x[i]) + phase.fugacity.ln_phi[i];
      const double ln_f_ref = std::log(ref.x[i]) + ref.fugacity.ln_phi[i];
      worst = std::max(worst, std::abs(ln_f - ln_f_ref));
    }
  }
  return worst;
}

}  // namespace detail

namespace {

using detail::WorkingPhase;
using detail::WorkingPhases;

// Newton takes over once substitution is this close (max ln f difference), or after so many steps,
// and is tried again periodically when it fails. Its Hessian costs O(size^3), so for splits of more
// unknowns than kSmallSplit it waits for substitution to prove slow.
constexpr double kNewtonResidual = 1e-2;
constexpr std::size_t kSmallSplit = 24;
constexpr int kStepsBeforeNewton = 10;
constexpr int kStepsBetweenNewtonTries = 25;
constexpr int kNewtonSteps = 30;
// Largest difference in any mole fraction for which a feed counts as the last one (warm starts).
constexpr double kWarmStartFeedDistance = 1e-4;

// Substitution that shrinks the residual at least this much per step, and would reach the tolerance
// within kFewSteps more at that rate, goes on instead of handing over to Newton.
constexpr double kFastContraction = 0.5;
constexpr int kFewSteps = 3;

bool SubstitutionNearlyDone(double residual, double previous_residual, double tolerance) {
  if (!(previous_residual > 0.0) || !(residual > 0.0)) return false;
  const double ratio = residual / previous_residual;
  return ratio < kFastContraction && residual * std::pow(ratio, kFewSteps) < tolerance;
}

struct StageOutcome {
  bool converged = false;
  int iterations = 0;
  double residual = 0.0;
};

// Two phases that have become the same phase (the trivial solution) are merged into one.
bool MergeIdenticalPhases(WorkingPhases& phases) {
  for (std::size_t a = 0; a < phases.size(); ++a) {
    for (std::size_t b = a + 1; b < phases.size(); ++b) {
      double difference = std::abs(phases[a].fugacity.z_eos - phases[b].fugacity.z_eos);
      for (std::size_t i = 0; i < phases[a].x.size(); ++i) {
        difference = std::max(difference, std::abs(phases[a].x[i] - phases[b].x[i]));
      }
      if (difference < 1e-9) {
        phases[a].beta += phases[b].beta;
        phases.Remove(b);
        return true;
      }
    }
  }
  return false;
}

// Molar Gibbs energy / RT of the phases, less the ideal-gas reference (sum over feed components).
double ReducedGibbsEnergy(std::span<const double> z, const WorkingPhases& phases) {
  double g = 0.0;
  for (const auto& phase : phases.all()) {
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] > 0.0) g += phase.beta * phase.x[i] * (std::log(phase.x[i]) + phase.fugacity.ln_phi[i]);
    }
  }
  return g;
}

bool ThirdPhaseCanAppear(const Mixture& mixture, double temperature, std::span<const double> z,
                         ThirdPhaseCheck check) {
  if (check == ThirdPhaseCheck::kAlways || temperature < kSecondLiquidTemperature) return true;
  for (std::size_t i = 0; i < z.size(); ++i) {
    if (z[i] > 0.0 && mixture.component(i).is_polar) return true;
  }
  return false;
}

// `fugacity` is scratch storage for the phases' evaluations.
void FillResult(const PengRobinsonAtTemperature& eos, double pressure, const WorkingPhases& phases,
                bool viscosities, FugacityEvaluation& fugacity, FlashResult& result) {
  std::array<PhaseProperties, detail::kMaxPhases> properties;
  double beta_sum = 0.0;
  for (std::size_t k = 0; k < phases.size(); ++k) {
    EvaluatePhase(eos, pressure, phases[k].x, RootChoice::kMinimumGibbs, properties[k], fugacity,
                  viscosities);
    beta_sum += phases[k].beta;
  }
  const auto slots = AssignPhaseSlots({properties.data(), phases.size()}, eos.mixture().water_index());
  std::array<LiquidViscosityShare, detail::kMaxPhases> liquids;
  std::size_t liquid_count = 0;
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
        liquids[liquid_count++] = {slot.phase_fraction * p.molar_mass, *p.kinematic_viscosity};
      } else {
        liquid_viscosity_known = false;
      }
    }
  }
  result.phase_count = static_cast<int>(phases.size());
  const auto vapour = result.slots[kVapourSlot].present
                          ? result.slots[kVapourSlot].properties.kinematic_viscosity
                          : std::nullopt;
  if (viscosities && liquid_viscosity_known) {
    result.kinematic_viscosity = StreamKinematicViscosity({liquids.data(), liquid_count}, vapour);
  }
}

}  // namespace

class FlashEngine::Work {
 public:
  explicit Work(const Mixture& mixture) : mixture_(&mixture) {}

  FlashResult Flash(double temperature, double pressure, std::span<const double> feed,
                    const FlashOptions& options, bool warm_start) {
    if (!(pressure > 0.0) || !std::isfinite(pressure)) throw std::invalid_argument("pressure must be > 0");
    FlashResult result;
    result.temperature = temperature;
    result.pressure = pressure;
    result.feed = NormalisedComposition(feed, mixture_->size());
    const std::span<const double> z = result.feed;
    const PengRobinsonAtTemperature& eos = EquationAt(temperature);

    phases_.Clear();
    phases_.Add(eos, pressure, z, 1.0);
    const auto present = std::count_if(z.begin(), z.end(), [](double v) { return v > 0.0; });
    if (present > 1) {
      StageOutcome stage;
      bool split = warm_start && WarmSplit(eos, pressure, z, options, stage);
      if (!split) {
        TestStability(eos, pressure, z, phases_[0].fugacity.ln_phi, options.stability_threshold,
                      stability_work_, stability_);
        if (!stability_.stable) {
          phases_[0].beta = 0.5;
          phases_.Add(stability_.trial_composition, 0.5, stability_.trial_fugacity);
          stage = ConvergeStage(eos, pressure, z, options);
          split = true;
        }
      }
      result.iterations = stage.iterations;
      if (split && stage.converged && phases_.size() == 2 &&
          ThirdPhaseCanAppear(*mixture_, temperature, z, options.third_phase)) {
        const auto& ref = phases_[phases_.Reference()];
        const std::array<std::span<const double>, 1> other{phases_[1 - phases_.Reference()].x};
        TestStability(eos, pressure, ref.x, ref.fugacity.ln_phi, options.stability_threshold, stability_work_,
                      stability_, other);
        if (!stability_.stable) {
          phases_.Add(stability_.trial_composition, 0.0, stability_.trial_fugacity);
          stage = ConvergeStage(eos, pressure, z, options);
          result.iterations += stage.iterations;
          if (!stage.converged) {
            // The three phases stall (one of the two has to go, and substitution keeps the wrong
            // one): split the feed afresh against the phase that proved the split unstable.
            phases_.Clear();
            phases_.Add(eos, pressure, z, 0.5);
            phases_.Add(stability_.trial_composition, 0.5, stability_.trial_fugacity);
            stage = ConvergeStage(eos, pressure, z, options);
            result.iterations += stage.iterations;
          }
        }
      }
      // A rejected warm split leaves its residual behind; a feed found stable has none.
      result.fugacity_residual = split ? stage.residual : 0.0;
      if (split && !stage.converged) return result;
    }
    result.status = FlashStatus::kConverged;
    RememberSplit(z);
    FillResult(eos, pressure, phases_, options.viscosities, result_fugacity_, result);
    return result;
  }

 private:
  const PengRobinsonAtTemperature& EquationAt(double temperature) {
    if (!eos_ || eos_->temperature() != temperature) eos_.emplace(*mixture_, temperature);
    return *eos_;
  }

  // Accelerated substitution first; Newton from where it stands after a few steps, and again
  // periodically while substitution goes on.
  StageOutcome ConvergeStage(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                             const FlashOptions& options) {
    StageOutcome outcome;
    u_.clear();
    delta_.clear();
    bool newton_failed_close = false;
    int next_newton = std::min(kStepsBeforeNewton, options.max_iterations);
    double previous_residual = 0.0;
    for (int iteration = 0;; ++iteration) {
      const bool close = iteration > 0 && outcome.residual < kNewtonResidual &&
                         (phases_.size() - 1) * z.size() <= kSmallSplit;
      // Newton's Hessian costs more than the few substitution steps that remain when substitution
      // contracts fast and is nearly there.
      const bool nearly_there =
          iteration < options.max_iterations &&
          SubstitutionNearlyDone(outcome.residual, previous_residual, options.tolerance);
      if (nearly_there && iteration == next_newton) ++next_newton;
      if (!nearly_there && (iteration == next_newton || (close && !newton_failed_close))) {
        int steps = 0;
        const bool converged =
            newton_.Converge(eos, pressure, z, phases_, options.tolerance, kNewtonSteps, steps);
        outcome.iterations += steps;
        if (converged) {
          outcome.converged = true;
          outcome.residual = detail::FugacityResidual(z, phases_);
          break;
        }
        newton_failed_close = newton_failed_close || close;
        next_newton = iteration + kStepsBetweenNewtonTries;
      }
      if (iteration >= options.max_iterations) break;
      ++outcome.iterations;
      previous_residual = outcome.residual;
      if (SubstitutionStep(eos, pressure, z, iteration, options, outcome)) break;
    }
    if (!outcome.converged) {
      const auto last_resort =
          detail::ConvergeByFixedPointNewton(eos, pressure, z, phases_, options.tolerance);
      outcome.iterations += last_resort.steps;
      outcome.converged = last_resort.converged;
      outcome.residual = detail::FugacityResidual(z, phases_);
    }
    phases_.RemoveEmpty();
    return outcome;
  }

  // One step of successive substitution on the fugacity coefficients, the phase amounts from
  // Rachford-Rice for two phases and from the convex multiphase split otherwise; every fifth step is
  // extrapolated along the dominant eigenvector of the iteration (Crowe-Nishio), applied to ln K of each
  // phase relative to phase 0. True when converged.
  bool SubstitutionStep(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                        int iteration, const FlashOptions& options, StageOutcome& outcome) {
    const std::size_t n = z.size(), m = phases_.size();
    const bool two_phases = m == 2 && SplitTwoPhases(z);
    if (!two_phases) SplitPhases(z);
    for (std::size_t k = 0; k < m; ++k) {
      EvaluateLnPhi(eos, pressure, phases_[k].x, RootChoice::kMinimumGibbs, phases_[k].fugacity);
    }
    if (MergeIdenticalPhases(phases_)) {
      u_.clear();
      delta_.clear();
      return false;
    }
    outcome.residual = two_phases ? TwoPhaseResidual(z) : detail::FugacityResidual(z, phases_);
    if (outcome.residual < options.tolerance) {
      outcome.converged = true;
      return true;
    }
    const std::size_t size = (m - 1) * n;
    const bool comparable = u_.size() == size;
    std::swap(previous_delta_, delta_);
    delta_.assign(size, 0.0);
    u_.resize(size);
    for (std::size_t k = 1; k < m; ++k) {
      for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (k - 1) * n + i;
        const double u_new = phases_[0].fugacity.ln_phi[i] - phases_[k].fugacity.ln_phi[i];
        if (comparable) delta_[j] = u_new - u_[j];
        u_[j] = u_new;
      }
    }
    if (iteration % 5 == 4 && previous_delta_.size() == delta_.size()) {
      double num = 0.0, den = 0.0;
      for (std::size_t j = 0; j < size; ++j) {
        num += delta_[j] * previous_delta_[j];
        den += previous_delta_[j] * previous_delta_[j];
      }
      const double lambda = den > 0.0 ? num / den : 0.0;
      if (lambda > 0.0 && lambda < 0.95) {
        const double factor = lambda / (1.0 - lambda);
        for (std::size_t k = 1; k < m; ++k) {
          for (std::size_t i = 0; i < n; ++i) {
            const std::size_t j = (k - 1) * n + i;
            phases_[k].fugacity.ln_phi[i] = phases_[0].fugacity.ln_phi[i] - (u_[j] + factor * delta_[j]);
          }
        }
        u_.clear();  // the extrapolated point starts a fresh history
        delta_.clear();
      }
    }
    return false;
  }

  // Phase amounts and compositions of any number of phases for their current ln phi.
  void SplitPhases(std::span<const double> z) {
    const std::size_t m = phases_.size();
    std::array<std::span<const double>, detail::kMaxPhases> ln_phi;
    std::array<std::span<double>, detail::kMaxPhases> compositions;
    std::array<double, detail::kMaxPhases> beta{};
    for (std::size_t k = 0; k < m; ++k) {
      ln_phi[k] = phases_[k].fugacity.ln_phi;
      compositions[k] = phases_[k].x;
      beta[k] = phases_[k].beta;
    }
    detail::SolvePhaseSplit(z, {ln_phi.data(), m}, {beta.data(), m}, {compositions.data(), m}, split_work_);
    for (std::size_t k = 0; k < m; ++k) phases_[k].beta = beta[k];
  }

  // The same for two phases by Rachford-Rice, keeping ln K and the composition sums of the split so
  // that TwoPhaseResidual needs no logarithm of a mole fraction. False when K cannot be formed.
  bool SplitTwoPhases(std::span<const double> z) {
    const std::size_t n = z.size();
    split_ln_k_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
      split_ln_k_[i] = phases_[0].fugacity.ln_phi[i] - phases_[1].fugacity.ln_phi[i];
    }
    std::array<double, 2> beta{phases_[0].beta, phases_[1].beta};
    if (!detail::SolveTwoPhaseSplit(z, split_ln_k_, beta, phases_[0].x, phases_[1].x, split_sums_,
                                    split_k_)) {
      return false;
    }
    phases_[0].beta = beta[0];
    phases_[1].beta = beta[1];
    return true;
  }

  // max |ln f_1i - ln f_0i| after a Rachford-Rice split. The split made x_1i / x_0i = K_i s_0 / s_1,
  // with ln K_i the ln phi difference it was given and s the composition sums, so the difference is
  // ln K_i + ln(s_0 / s_1) less the new ln phi difference.
  double TwoPhaseResidual(std::span<const double> z) const {
    if (phases_[0].beta <= 0.0 || phases_[1].beta <= 0.0) return 0.0;
    const double ln_sum_ratio = std::log(split_sums_[0] / split_sums_[1]);
    double worst = 0.0;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] == 0.0) continue;
      const double ln_k_now = phases_[0].fugacity.ln_phi[i] - phases_[1].fugacity.ln_phi[i];
      worst = std::max(worst, std::abs(split_ln_k_[i] + ln_sum_ratio - ln_k_now));
    }
    return worst;
  }

  // Starts the split from the last two-phase solution; keeps it when it converges to two distinct
  // phases of lower Gibbs energy than the single phase (phases_ holds the feed on entry).
  bool WarmSplit(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> z,
                 const FlashOptions& options, StageOutcome& stage) {
    if (last_ln_k_.size() != z.size() || eos.temperature() != last_temperature_) return false;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (std::abs(z[i] - last_feed_[i]) > kWarmStartFeedDistance) return false;
    }
    const double single_phase = ReducedGibbsEnergy(z, phases_);
    phases_[0].beta = 1.0 - last_beta_;
    phases_.Add(eos, pressure, z, last_beta_);
    for (std::size_t i = 0; i < z.size(); ++i) phases_[1].fugacity.ln_phi[i] -= last_ln_k_[i];
    stage = ConvergeStage(eos, pressure, z, options);
    const bool taken = stage.converged && phases_.size() == 2 &&
                       ReducedGibbsEnergy(z, phases_) < single_phase - options.tolerance;
    if (!taken) {
      phases_.Clear();
      phases_.Add(eos, pressure, z, 1.0);
    }
    return taken;
  }

  void RememberSplit(std::span<const double> z) {
    if (phases_.size() != 2) return;
    last_feed_.assign(z.begin(), z.end());
    last_ln_k_.resize(z.size());
    for (std::size_t i = 0; i < z.size(); ++i) {
      last_ln_k_[i] = phases_[0].fugacity.ln_phi[i] - phases_[1].fugacity.ln_phi[i];
    }
    last_beta_ = phases_[1].beta;
    last_temperature_ = eos_->temperature();
  }

  const Mixture* mixture_;
  std::optional<PengRobinsonAtTemperature> eos_;
  WorkingPhases phases_;
  detail::PhaseSplitWorkspace split_work_;
  detail::SplitNewton newton_;
  StabilityWorkspace stability_work_;
  StabilityResult stability_;
  FugacityEvaluation result_fugacity_;
  std::vector<double> split_ln_k_, split_k_;
  std::array<double, 2> split_sums_{};
  std::vector<double> u_, delta_, previous_delta_;
  std::vector<double> last_feed_, last_ln_k_;
  double last_beta_ = 0.0, last_temperature_ = 0.0;
};

FlashEngine::FlashEngine(const Mixture& mixture) : work_(std::make_unique<Work>(mixture)) {}
FlashEngine::~FlashEngine() = default;
FlashEngine::FlashEngine(FlashEngine&&) noexcept = default;
FlashEngine& FlashEngine::operator=(FlashEngine&&) noexcept = default;

FlashResult FlashEngine::Flash(double temperature, double pressure, std::span<const double> feed,
                               const FlashOptions& options, bool warm_start) {
  return work_->Flash(temperature, pressure, feed, options, warm_start);
}

FlashResult FlashTP(const Mixture& mixture, double temperature, double pressure, std::span<const double> feed,
                    const FlashOptions& options) {
  // On the stack: the engine's state is a few kilobytes, and a heap block that large makes the
  // allocator consolidate every small block the last flash freed.
  FlashEngine::Work work(mixture);
  return work.Flash(temperature, pressure, feed, options, false);
}

}  // namespace tarvox::thermo
