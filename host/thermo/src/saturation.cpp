#include "tarvox/thermo/saturation.hpp"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

#include "tarvox/thermo/cubic_eos.hpp"
#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/fugacity_derivatives.hpp"
#include "tarvox/thermo/stability.hpp"

namespace tarvox::thermo {
namespace {

constexpr double kLowestPressure = 1e-10;  // kPa
constexpr double kHighestPressure = 1e8;   // kPa
constexpr double kTolerance = 1e-12;

// An under- or overflowed K makes the factor zero, infinite or no number; the nearest finite positive
// factor instead sends the pressure out of range, which ends the substitution, and divides by nothing.
double PositiveFinite(double s) {
  constexpr double kSmallest = std::numeric_limits<double>::min();
  constexpr double kLargest = std::numeric_limits<double>::max();
  return s >= kSmallest ? std::min(s, kLargest) : kSmallest;
}

// Factor s such that the K-values s K satisfy the split at beta. The bubble and dew points have it in
// closed form; between them the residual is increasing in ln s, so Newton on ln s inside a bracket
// that every step narrows converges from anywhere.
double ScaleToSplit(std::span<const double> z, std::span<const double> k, double beta) {
  if (beta == 0.0 || beta == 1.0) {
    constexpr double kInfinity = std::numeric_limits<double>::infinity();
    double sum = 0.0;
    for (std::size_t i = 0; i < z.size(); ++i) {
      if (z[i] > 0.0) sum += beta == 0.0 ? z[i] * k[i] : (k[i] > 0.0 ? z[i] / k[i] : kInfinity);
    }
    return PositiveFinite(beta == 1.0 ? sum : (sum > 0.0 ? 1.0 / sum : kInfinity));
  }
  const auto residual_and_slope = [&](double ln_s, double& slope) {
    const double s = std::exp(ln_s);
    double h = 0.0;
    slope = 0.0;
    for (std::size_t i = 0; i < z.size(); ++i) {
      const double denominator = 1.0 + beta * (s * k[i] - 1.0);
      h += z[i] * (s * k[i] - 1.0) / denominator;
      slope += z[i] * s * k[i] / (denominator * denominator);
    }
    return h;
  };
  double slope = 0.0;
  double lo = -1.0, hi = 1.0;
  for (int i = 0; i < 100 && residual_and_slope(lo, slope) > 0.0; ++i) lo *= 2.0;
  for (int i = 0; i < 100 && residual_and_slope(hi, slope) < 0.0; ++i) hi *= 2.0;
  double ln_s = 0.5 * (lo + hi);
  for (int i = 0; i < 100; ++i) {
    const double h = residual_and_slope(ln_s, slope);
    (h < 0.0 ? lo : hi) = ln_s;
    double next = slope > 0.0 ? ln_s - h / slope : 0.5 * (lo + hi);
    if (!(next > lo && next < hi)) next = 0.5 * (lo + hi);
    const bool done = std::abs(next - ln_s) <= 1e-15 * std::max(1.0, std::abs(ln_s)) || hi - lo <= 1e-15;
    ln_s = next;
    if (done) break;
  }
  return PositiveFinite(std::exp(ln_s));
}

// Residuals of the saturation problem in u = (ln K_1..n, ln P) and their analytic Jacobian. The phase
// amounts x_i = z_i / (1 + beta (K_i - 1)) and y_i = K_i x_i are normalised before ln phi is evaluated;
// ln phi is homogeneous of degree zero in the amounts, so its derivative in them is the mole-number
// derivative divided by their sum.
class SaturationEquations {
 public:
  SaturationEquations(const PengRobinsonAtTemperature& eos, std::span<const double> z, double beta)
      : eos_(eos),
        z_(z),
        beta_(beta),
        x_(z.size()),
        y_(z.size()),
        x_amounts_(z.size()),
        y_amounts_(z.size()),
        jacobian_(static_cast<Eigen::Index>(z.size() + 1), static_cast<Eigen::Index>(z.size() + 1)) {}

  // Returns false when the state leaves the admissible pressure range. Keeps the state for Jacobian().
  bool Evaluate(const Eigen::VectorXd& u, Eigen::VectorXd& residual) {
    const std::size_t n = z_.size();
    pressure_ = std::exp(u(static_cast<Eigen::Index>(n)));
    if (!(pressure_ >= kLowestPressure && pressure_ <= kHighestPressure)) return false;
    x_sum_ = y_sum_ = 0.0;
    double split = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      const double k = std::exp(u(static_cast<Eigen::Index>(i)));
      x_amounts_[i] = z_[i] / (1.0 + beta_ * (k - 1.0));
      y_amounts_[i] = k * x_amounts_[i];
      x_sum_ += x_amounts_[i];
      y_sum_ += y_amounts_[i];
      split += y_amounts_[i] - x_amounts_[i];
    }
    for (std::size_t i = 0; i < n; ++i) {
      x_[i] = x_amounts_[i] / x_sum_;
      y_[i] = y_amounts_[i] / y_sum_;
    }
    EvaluateLnPhi(eos_, pressure_, x_, RootChoice::kLiquid, liquid_);
    EvaluateLnPhi(eos_, pressure_, y_, RootChoice::kVapour, vapour_);
    residual.resize(static_cast<Eigen::Index>(n + 1));
    for (std::size_t i = 0; i < n; ++i) {
      const auto j = static_cast<Eigen::Index>(i);
      residual(j) = u(j) + vapour_.ln_phi[i] - liquid_.ln_phi[i];
    }
    residual(static_cast<Eigen::Index>(n)) = split;
    return residual.allFinite();
  }

  // Jacobian of the residuals at the state of the last Evaluate.
  const Eigen::MatrixXd& Jacobian(const Eigen::VectorXd& u) {
    const std::size_t n = z_.size();
    const auto nn = static_cast<Eigen::Index>(n);
    EvaluateLnPhiDerivatives(eos_, pressure_, liquid_, liquid_derivatives_);
    EvaluateLnPhiDerivatives(eos_, pressure_, vapour_, vapour_derivatives_);
    for (std::size_t j = 0; j < n; ++j) {
      const double k = std::exp(u(static_cast<Eigen::Index>(j)));
      const double denominator = 1.0 + beta_ * (k - 1.0);
      const double dx = -x_amounts_[j] * beta_ * k / denominator / x_sum_;  // d x_j / d ln K_j, scaled
      const double dy = y_amounts_[j] * (1.0 - beta_) / denominator / y_sum_;
      const auto col = static_cast<Eigen::Index>(j);
      for (std::size_t i = 0; i < n; ++i) {
        jacobian_(static_cast<Eigen::Index>(i), col) = (i == j ? 1.0 : 0.0) +
                                                       vapour_derivatives_.d_moles[i * n + j] * dy -
                                                       liquid_derivatives_.d_moles[i * n + j] * dx;
      }
      jacobian_(nn, col) = dy * y_sum_ - dx * x_sum_;
    }
    for (std::size_t i = 0; i < n; ++i) {
      jacobian_(static_cast<Eigen::Index>(i), nn) =
          pressure_ * (vapour_derivatives_.d_pressure[i] - liquid_derivatives_.d_pressure[i]);
    }
    jacobian_(nn, nn) = 0.0;
    return jacobian_;
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
  double pressure_ = 0.0, x_sum_ = 0.0, y_sum_ = 0.0;
  std::vector<double> x_, y_, x_amounts_, y_amounts_;
  FugacityEvaluation liquid_, vapour_;
  LnPhiDerivatives liquid_derivatives_, vapour_derivatives_;
  Eigen::MatrixXd jacobian_;
};

// Newton with the analytic Jacobian and backtracking; returns the final max-norm residual.
double NewtonPolish(SaturationEquations& equations, Eigen::VectorXd& u, int& iterations) {
  Eigen::VectorXd f, f_trial, u_trial, step;
  if (!equations.Evaluate(u, f)) return std::numeric_limits<double>::infinity();
  for (int iteration = 0; iteration < 30; ++iteration) {
    ++iterations;
    if (f.cwiseAbs().maxCoeff() < kTolerance) break;
    step = equations.Jacobian(u).partialPivLu().solve(-f);
    if (!step.allFinite()) break;
    const double largest = step.cwiseAbs().maxCoeff();
    if (largest > 1.0) step /= largest;
    const double norm = f.norm();
    bool improved = false;
    for (int halving = 0; halving < 20 && !improved; ++halving, step *= 0.5) {
      u_trial = u + step;
      improved = equations.Evaluate(u_trial, f_trial) && f_trial.norm() < norm;
    }
    if (!improved) {
      equations.Evaluate(u, f);  // leave the equations holding the last accepted state
      break;
    }
    u = u_trial;
    f = f_trial;
  }
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

// The TP flashes of the bracket search: one engine for the feed at the search's temperature, counted
// for the result.
// The bracket reads phase amounts and compositions only.
constexpr FlashOptions kBracketFlashOptions{.viscosities = false};

class BracketFlashes {
 public:
  BracketFlashes(const PengRobinsonAtTemperature& eos, std::span<const double> z, double beta, int& count)
      : engine_(eos.mixture()), temperature_(eos.temperature()), z_(z), beta_(beta), count_(count) {}

  FlashSide At(double pressure) {
    ++count_;
    FlashSide side;
    side.flash = engine_.Flash(temperature_, pressure, z_, kBracketFlashOptions);
    const auto& slots = side.flash.slots;
    side.two_phase = side.flash.converged() && side.flash.phase_count >= 2 && slots[kVapourSlot].present;
    const double vapour = side.two_phase ? slots[kVapourSlot].phase_fraction : 0.0;
    side.below = beta_ < 1.0 ? side.two_phase && vapour >= beta_ : !side.two_phase;
    return side;
  }

 private:
  FlashEngine engine_;
  double temperature_;
  std::span<const double> z_;
  double beta_;
  int& count_;
};

double VapourFractionMismatch(const FlashSide& side, double beta) {
  return std::abs(side.flash.slots[kVapourSlot].phase_fraction - beta);
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

// The pressure range searched for the state (the flash's region of interest).
constexpr double kLowestSearchPressure = 1e-2;  // kPa
constexpr double kHighestSearchPressure = 1e6;  // kPa
constexpr double kNarrowestBracket = 1e-10;     // in ln P
constexpr double kJumpBracket = 1e-5;           // in ln P

// The vapour fraction at the edge of the two-phase region on the other side of the flash from beta.
double OppositeEdge(const FlashSide& two_phase, double beta) {
  return two_phase.flash.slots[kVapourSlot].phase_fraction >= beta ? 1.0 : 0.0;
}

// Whether the bracket's two-phase end has a vapour fraction nearer the opposite edge of the two-phase
// region (one when a bubble point is wanted, zero for a dew point) than beta while its other end is one
// phase: the region's edge between them is then most likely the opposite saturation, where the vapour
// fraction jumps to the single phase without passing through beta.
bool FarSide(const FlashSide& lo, const FlashSide& hi, double beta) {
  const FlashSide& two_phase = lo.two_phase ? lo : hi;
  const FlashSide& other = lo.two_phase ? hi : lo;
  if (!two_phase.two_phase || other.two_phase) return false;
  return VapourFractionMismatch(two_phase, OppositeEdge(two_phase, beta)) <
         VapourFractionMismatch(two_phase, beta);
}

// Relative distance of the two flashes that close the bracket around the opposite saturation; their
// ln P bracket is narrower than kJumpBracket.
constexpr double kProbeOffset = 1e-6;

// Solves the opposite saturation by Newton from the bracket's two-phase end and flashes just either side
// of it: where that is the region's edge the bracket closes there at once, in place of the twenty or so
// halvings that would prove that no state with vapour fraction beta exists. The probes are ordinary
// bracket points, so a wrong guess only narrows the bracket less. False when Newton finds nothing inside
// the bracket.
bool ProbeOppositeBoundary(const PengRobinsonAtTemperature& eos, BracketFlashes& flashes,
                           std::span<const double> z, double beta, std::optional<FlashSide>& lo,
                           std::optional<FlashSide>& hi, int& iterations) {
  const FlashSide& start = lo->two_phase ? *lo : *hi;
  SaturationEquations equations(eos, z, OppositeEdge(start, beta));
  Eigen::VectorXd u(static_cast<Eigen::Index>(z.size() + 1));
  StartFromFlash(start.flash, z, u);
  if (!(NewtonPolish(equations, u, iterations) < 1e-10) || equations.Trivial(u)) return false;
  const double edge = std::exp(u(static_cast<Eigen::Index>(z.size())));
  bool narrowed = false;
  for (const double pressure : {edge * (1.0 - kProbeOffset), edge * (1.0 + kProbeOffset)}) {
    if (!(pressure > lo->flash.pressure && pressure < hi->flash.pressure)) continue;
    auto side = flashes.At(pressure);
    (side.below ? lo : hi) = std::move(side);
    narrowed = true;
  }
  return narrowed;
}

// The safeguard when the substitution start fails: brackets the change from "below" to "above" by
// flashes stepping away from `start_pressure` with growing ratios (2, 4, 16, ...), then tries Newton
// from the two-phase end of the bracket and halves the bracket (in ln P) only while Newton fails or
// leaves it. A handful of flashes when the start is reasonable.
SaturationStatus BracketedNewton(const PengRobinsonAtTemperature& eos, std::span<const double> z, double beta,
                                 double start_pressure, SaturationEquations& equations, Eigen::VectorXd& u,
                                 int& iterations, int& flash_count) {
  double pressure = std::clamp(start_pressure, kLowestSearchPressure, kHighestSearchPressure);
  BracketFlashes flashes(eos, z, beta, flash_count);
  auto side = flashes.At(pressure);
  const bool rising = side.below;
  std::optional<FlashSide> lo, hi;
  (side.below ? lo : hi) = std::move(side);
  for (double ratio = 2.0; !(lo && hi); ratio = std::min(ratio * ratio, 1e4)) {
    pressure = rising ? pressure * ratio : pressure / ratio;
    if (pressure < kLowestSearchPressure || pressure > kHighestSearchPressure)
      return SaturationStatus::kNoSolution;
    auto next = flashes.At(pressure);
    (next.below ? lo : hi) = std::move(next);
  }
  // Newton is tried from the first bracket whose two-phase end has a vapour fraction near beta, and
  // again each time the bracket has narrowed sixteenfold (in ln P): a failed Newton costs more than a
  // flash. Where the fraction stays far from beta while the bracket closes, it jumps there (a dew
  // point at the upper edge of the region, say): one last try, then no such state.
  double tried_width = std::numeric_limits<double>::infinity();
  double probed_width = std::numeric_limits<double>::infinity();
  for (;;) {
    const double width = std::log(hi->flash.pressure / lo->flash.pressure);
    const FlashSide& start = lo->two_phase ? *lo : *hi;
    const double mismatch = VapourFractionMismatch(start, beta);
    const bool far_side = FarSide(*lo, *hi, beta);
    const bool narrowest =
        width < kNarrowestBracket || (width < kJumpBracket && (mismatch > 0.5 || far_side));
    // Newton may find an edge outside the bracket (the lower of two dew points, say): it is tried again
    // each time the bracket has narrowed sixteenfold, from its nearer two-phase end.
    if (far_side && !narrowest && width * 16.0 <= probed_width) {
      probed_width = width;
      if (ProbeOppositeBoundary(eos, flashes, z, beta, lo, hi, iterations)) continue;
    }
    // Closed onto the opposite edge, where the vapour fraction leaves the region without reaching beta:
    // no state inside this bracket is left for Newton to find.
    if (narrowest && far_side && VapourFractionMismatch(start, OppositeEdge(start, beta)) < 1e-3) break;
    if (start.two_phase && ((mismatch <= 0.5 && width * 16.0 <= tried_width) || narrowest)) {
      tried_width = width;
      StartFromFlash(start.flash, z, u);
      const bool inside = [&] {
        if (!(NewtonPolish(equations, u, iterations) < 1e-10) || equations.Trivial(u)) return false;
        const double p = std::exp(u(static_cast<Eigen::Index>(z.size())));
        return p >= lo->flash.pressure * (1.0 - 1e-9) && p <= hi->flash.pressure * (1.0 + 1e-9);
      }();
      if (inside) return SaturationStatus::kConverged;
    }
    if (narrowest) break;
    auto middle = flashes.At(std::sqrt(lo->flash.pressure * hi->flash.pressure));
    (middle.below ? lo : hi) = std::move(middle);
  }
  // Above the critical temperature the upper edge of the two-phase region is a dew point, where the
  // vapour fraction jumps to one instead of passing through beta: no such state exists.
  const FlashSide& start = lo->two_phase ? *lo : *hi;
  const bool matches_beta = start.two_phase && VapourFractionMismatch(start, beta) < 1e-3;
  return matches_beta ? SaturationStatus::kNotConverged : SaturationStatus::kNoSolution;
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

  const bool started = SubstitutionStart(equations, mixture, temperature, z, beta, u, result.iterations);
  const double start_pressure = std::exp(u(nn));
  if (started && NewtonPolish(equations, u, result.iterations) < 1e-10 && !equations.Trivial(u)) {
    result.status = SaturationStatus::kConverged;
  } else {
    result.status =
        BracketedNewton(eos, z, beta, start_pressure, equations, u, result.iterations, result.flashes);
  }
  if (!result.converged()) return result;
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
