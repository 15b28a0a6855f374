#include "tarvox/thermo/saturation.hpp"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

#include "tarvox/thermo/cubic_eos.hpp"
#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/stability.hpp"

namespace tarvox::thermo {
namespace {

constexpr double kLowestPressure = 1e-10;  // kPa
constexpr double kHighestPressure = 1e8;   // kPa
constexpr double kTolerance = 1e-12;

// Split residual sum z_i (K_i - 1) / (1 + beta (K_i - 1)) at fixed beta; increasing in every K_i.
double SplitResidual(std::span<const double> z, std::span<const double> k, double beta) {
  double h = 0.0;
  for (std::size_t i = 0; i < z.size(); ++i) h += z[i] * (k[i] - 1.0) / (1.0 + beta * (k[i] - 1.0));
  return h;
}

// Factor s such that the K-values s K satisfy the split at beta (found by bisection on ln s).
double ScaleToSplit(std::span<const double> z, std::span<const double> k, double beta) {
  std::vector<double> scaled(k.size());
  const auto residual = [&](double ln_s) {
    for (std::size_t i = 0; i < k.size(); ++i) scaled[i] = std::exp(ln_s) * k[i];
    return SplitResidual(z, scaled, beta);
  };
  double lo = -1.0, hi = 1.0;
  for (int i = 0; i < 100 && residual(lo) > 0.0; ++i) lo *= 2.0;
  for (int i = 0; i < 100 && residual(hi) < 0.0; ++i) hi *= 2.0;
  for (int i = 0; i < 200 && hi - lo > 1e-15 * std::max(1.0, std::abs(lo)); ++i) {
    const double mid = 0.5 * (lo + hi);
    (residual(mid) < 0.0 ? lo : hi) = mid;
  }
  return std::exp(0.5 * (lo + hi));
}

// Residuals of the saturation problem in u = (ln K_1..n, ln P).
class SaturationEquations {
 public:
  SaturationEquations(const PengRobinsonAtTemperature& eos, std::span<const double> z, double beta)
      : eos_(eos), z_(z), beta_(beta), x_(z.size()), y_(z.size()) {}

  // Returns false when the state leaves the admissible pressure range.
  bool Evaluate(const Eigen::VectorXd& u, Eigen::VectorXd& residual) {
    const std::size_t n = z_.size();
    const double pressure = std::exp(u(static_cast<Eigen::Index>(n)));
    if (!(pressure >= kLowestPressure && pressure <= kHighestPressure)) return false;
    double sx = 0.0, sy = 0.0, split = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      const double k = std::exp(u(static_cast<Eigen::Index>(i)));
      x_[i] = z_[i] / (1.0 + beta_ * (k - 1.0));
      y_[i] = k * x_[i];
      sx += x_[i];
      sy += y_[i];
      split += y_[i] - x_[i];
    }
    for (std::size_t i = 0; i < n; ++i) {
      x_[i] /= sx;
      y_[i] /= sy;
    }
    EvaluateLnPhi(eos_, pressure, x_, RootChoice::kLiquid, liquid_);
    EvaluateLnPhi(eos_, pressure, y_, RootChoice::kVapour, vapour_);
    residual.resize(static_cast<Eigen::Index>(n + 1));
    for (std::size_t i = 0; i < n; ++i) {
      const auto j = static_cast<Eigen::Index>(i);
      residual(j) = u(j) + vapour_.ln_phi[i] - liquid_.ln_phi[i];
    }
    residual(static_cast<Eigen::Index>(n)) = split;
    return residual.allFinite();
  }

  // Same phase on both sides: the iteration has found the trivial solution.
  bool Trivial(const Eigen::VectorXd& u) const {
    const auto n = static_cast<Eigen::Index>(z_.size());
    return u.head(n).cwiseAbs().maxCoeff() < 1e-4 && std::abs(liquid_.z_eos - vapour_.z_eos) < 1e-4;
  }

  const FugacityEvaluation& liquid() const { return liquid_; }
  const FugacityEvaluation& vapour() const { return vapour_; }
  const std::vector<double>& x() const { return x_; }
  const std::vector<double>& y() const { return y_; }

 private:
  const PengRobinsonAtTemperature& eos_;
  std::span<const double> z_;
  double beta_;
  std::vector<double> x_, y_;
  FugacityEvaluation liquid_, vapour_;
};

// Newton with a forward-difference Jacobian and backtracking; returns the final max-norm residual.
double NewtonPolish(SaturationEquations& equations, Eigen::VectorXd& u, int& iterations) {
  const Eigen::Index m = u.size();
  Eigen::VectorXd f, f_trial, u_trial;
  if (!equations.Evaluate(u, f)) return std::numeric_limits<double>::infinity();
  Eigen::MatrixXd jacobian(m, m);
  for (int iteration = 0; iteration < 30; ++iteration) {
    ++iterations;
    if (f.cwiseAbs().maxCoeff() < kTolerance) break;
    for (Eigen::Index j = 0; j < m; ++j) {
      u_trial = u;
      const double h = 1e-7 * std::max(1.0, std::abs(u(j)));
      u_trial(j) += h;
      if (!equations.Evaluate(u_trial, f_trial)) return std::numeric_limits<double>::infinity();
      jacobian.col(j) = (f_trial - f) / h;
    }
    Eigen::VectorXd step = jacobian.fullPivLu().solve(-f);
    if (!step.allFinite()) break;
    const double largest = step.cwiseAbs().maxCoeff();
    if (largest > 1.0) step /= largest;
    const double norm = f.norm();
    bool improved = false;
    for (int halving = 0; halving < 20 && !improved; ++halving, step *= 0.5) {
      u_trial = u + step;
      improved = equations.Evaluate(u_trial, f_trial) && f_trial.norm() < norm;
    }
    if (!improved) break;
    u = u_trial;
    f = f_trial;
  }
  equations.Evaluate(u, f);  // leave the equations holding the final state
  return f.cwiseAbs().maxCoeff();
}

// Successive substitution from Wilson K-values, scaling K and P together so that the split at beta
// holds at every step. Returns false when it stalls on the trivial solution or leaves the range.
bool SubstitutionStart(SaturationEquations& equations, const Mixture& mixture, double temperature,
                       std::span<const double> z, double beta, Eigen::VectorXd& u, int& iterations) {
  const std::size_t n = z.size();
  const auto nn = static_cast<Eigen::Index>(n);
  auto k = WilsonKValues(mixture, temperature, 1.0);
  double pressure = 1.0 / ScaleToSplit(z, k, beta);
  for (double& v : k) v /= pressure;
  Eigen::VectorXd f;
  std::vector<double> k_new(n);
  for (int iteration = 0; iteration < 2000; ++iteration) {
    ++iterations;
    for (std::size_t i = 0; i < n; ++i) u(static_cast<Eigen::Index>(i)) = std::log(k[i]);
    u(nn) = std::log(pressure);
    if (!equations.Evaluate(u, f) || equations.Trivial(u)) return false;
    for (std::size_t i = 0; i < n; ++i) {
      k_new[i] = std::exp(equations.liquid().ln_phi[i] - equations.vapour().ln_phi[i]);
    }
    const double s = ScaleToSplit(z, k_new, beta);
    double change = std::abs(std::log(s));
    for (std::size_t i = 0; i < n; ++i) {
      k_new[i] *= s;
      change = std::max(change, std::abs(std::log(k_new[i] / k[i])));
    }
    k = k_new;
    pressure /= s;
    if (change < 1e-7) break;
  }
  for (std::size_t i = 0; i < n; ++i) u(static_cast<Eigen::Index>(i)) = std::log(k[i]);
  u(nn) = std::log(pressure);
  return true;
}

// Whether the flash at P lies on the low-pressure side of the wanted state: two-phase with at least
// the wanted vapour fraction (beta < 1), or not yet two-phase (dew point, beta = 1).
struct FlashSide {
  bool below = false;
  bool two_phase = false;
  FlashResult flash;
};

FlashSide ClassifyByFlash(const Mixture& mixture, double temperature, double pressure,
                          std::span<const double> z, double beta) {
  FlashSide side;
  side.flash = FlashTP(mixture, temperature, pressure, z);
  const auto& slots = side.flash.slots;
  side.two_phase = side.flash.converged() && side.flash.phase_count >= 2 && slots[kVapourSlot].present;
  const double vapour = side.two_phase ? slots[kVapourSlot].phase_fraction : 0.0;
  side.below = beta < 1.0 ? side.two_phase && vapour >= beta : !side.two_phase;
  return side;
}

// ln K and ln P from a two-phase flash (the most abundant liquid against the vapour).
void StartFromFlash(const FlashResult& flash, std::span<const double> z, Eigen::VectorXd& u) {
  const auto& s = flash.slots;
  const auto& liquid = !s[kAqueousLiquidSlot].present || (s[kHydrocarbonLiquidSlot].present &&
                                                          s[kHydrocarbonLiquidSlot].phase_fraction >=
                                                              s[kAqueousLiquidSlot].phase_fraction)
                           ? s[kHydrocarbonLiquidSlot]
                           : s[kAqueousLiquidSlot];
  const auto& x = liquid.properties.composition;
  const auto& y = s[kVapourSlot].properties.composition;
  for (std::size_t i = 0; i < z.size(); ++i) {
    u(static_cast<Eigen::Index>(i)) = z[i] > 0.0 ? std::log(y[i] / x[i]) : 0.0;
  }
  u(static_cast<Eigen::Index>(z.size())) = std::log(flash.pressure);
}

// Scans the TP flash on a logarithmic pressure grid for the first change from "below" to "above",
// narrows it by bisection and starts from the two-phase end of the bracket. Where several pressures
// give the same vapour fraction (retrograde region), this finds the lowest.
bool FlashBracketStart(const Mixture& mixture, double temperature, std::span<const double> z, double beta,
                       Eigen::VectorXd& u, bool& bracket_matches_beta) {
  constexpr int kLowestExponent = -8, kHighestExponent = 24;  // 10^(k/4) kPa
  std::optional<FlashSide> lo, hi;
  for (int k = kLowestExponent; k <= kHighestExponent && !hi; ++k) {
    auto side = ClassifyByFlash(mixture, temperature, std::pow(10.0, k / 4.0), z, beta);
    if (side.below) {
      lo = std::move(side);
    } else if (lo) {
      hi = std::move(side);
    }
  }
  if (!hi) return false;
  for (int i = 0; i < 48; ++i) {
    const double mid = std::sqrt(lo->flash.pressure * hi->flash.pressure);
    auto side = ClassifyByFlash(mixture, temperature, mid, z, beta);
    (side.below ? lo : hi) = std::move(side);
  }
  const auto& start = lo->two_phase ? *lo : *hi;
  if (!start.two_phase) return false;
  StartFromFlash(start.flash, z, u);
  // Above the critical temperature the upper edge of the two-phase region is a dew point, where the
  // vapour fraction jumps to one instead of passing through beta. Close to the critical point all
  // fractions meet, so a mismatch only counts once Newton has failed from there.
  bracket_matches_beta = std::abs(start.flash.slots[kVapourSlot].phase_fraction - beta) < 1e-3;
  return true;
}

}  // namespace

SaturationResult PressureAtVapourFraction(const Mixture& mixture, double temperature, double beta,
                                          std::span<const double> feed) {
  if (!(beta >= 0.0 && beta <= 1.0)) throw std::invalid_argument("vapour fraction must lie in [0, 1]");
  const auto z = NormalisedComposition(feed, mixture.size());
  const PengRobinsonAtTemperature eos(mixture, temperature);
  const auto nn = static_cast<Eigen::Index>(z.size());
  SaturationResult result;
  SaturationEquations equations(eos, z, beta);
  Eigen::VectorXd u(nn + 1);

  const auto polished = [&]() {
    return NewtonPolish(equations, u, result.iterations) < 1e-10 && !equations.Trivial(u);
  };
  bool solved =
      SubstitutionStart(equations, mixture, temperature, z, beta, u, result.iterations) && polished();
  if (!solved) {
    bool bracket_matches_beta = false;
    if (!FlashBracketStart(mixture, temperature, z, beta, u, bracket_matches_beta)) {
      result.status = SaturationStatus::kNoSolution;
      return result;
    }
    solved = polished();
    if (!solved && !bracket_matches_beta) result.status = SaturationStatus::kNoSolution;
  }
  if (!solved) return result;
  result.status = SaturationStatus::kConverged;
  result.pressure = std::exp(u(nn));
  result.liquid_composition = equations.x();
  result.vapour_composition = equations.y();
  return result;
}

SaturationResult BubblePointPressure(const Mixture& mixture, double temperature,
                                     std::span<const double> feed) {
  return PressureAtVapourFraction(mixture, temperature, 0.0, feed);
}

}  // namespace tarvox::thermo
