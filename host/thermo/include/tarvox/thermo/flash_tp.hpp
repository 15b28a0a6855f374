#pragma once

#include <array>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "tarvox/thermo/phase_properties.hpp"

namespace tarvox::thermo {

// Fixed phase slots of a flash result (see phase_labels.hpp for the assignment rule).
enum PhaseSlot : int { kVapourSlot = 0, kHydrocarbonLiquidSlot = 1, kAqueousLiquidSlot = 2 };
inline constexpr int kPhaseSlotCount = 3;

struct SlotResult {
  bool present = false;
  double phase_fraction = 0.0;  // moles of phase per mole of feed
  PhaseProperties properties;   // valid only when present
};

enum class FlashStatus {
  kConverged,
  kNotConverged,  // no state is reported; slots are all absent
};

struct FlashResult {
  FlashStatus status = FlashStatus::kNotConverged;
  double temperature = 0.0;
  double pressure = 0.0;
  std::vector<double> feed;  // normalised
  std::array<SlotResult, kPhaseSlotCount> slots;
  int phase_count = 0;
  // Overall molar properties: phase-fraction-weighted sums. cp is the frozen-composition value
  // (no phase change on heating).
  double enthalpy = 0.0;
  double entropy = 0.0;
  double molar_volume = 0.0;
  double cp = 0.0;
  std::optional<double> kinematic_viscosity;  // stream rule of transport.hpp, cSt
  int iterations = 0;                         // successive-substitution iterations, all stages
  double fugacity_residual = 0.0;             // max |ln f_ik - ln f_i,ref| over present phases

  bool converged() const { return status == FlashStatus::kConverged; }
};

// Where the converged two-phase split is tested for a third phase.
enum class ThirdPhaseCheck {
  // Only where a third phase can appear: a polar component (water, ammonia, an amine or a physical
  // solvent) is in the feed, or the temperature lies below kSecondLiquidTemperature, under which
  // CO2- or ethane-rich liquids and light gases can separate from heavier hydrocarbons.
  kWhereOneCanAppear,
  kAlways,
};

// The critical temperature of ethane, the highest of the light solvents (CO2 304.1 K, ethane 305.3 K)
// whose liquids can separate from heavy hydrocarbons near their critical point. Above it, and without
// polar components, the model gives at most two phases (test: FlashTP.NoThirdPhaseWhereTheCheckIsSkipped).
inline constexpr double kSecondLiquidTemperature = 305.32;  // K

struct FlashOptions {
  double tolerance = 1e-12;  // on ln-fugacity differences between phases
  int max_iterations = 500;  // substitution steps per stage before Newton takes over
  double stability_threshold = -1e-10;
  ThirdPhaseCheck third_phase = ThirdPhaseCheck::kWhereOneCanAppear;
  // Phase and stream kinematic viscosities in the result; a caller that reads none of them skips
  // the costliest optional part of building it.
  bool viscosities = true;
};

// Isothermal flash at T (K) and P (kPa) of a feed in any amounts (normalised here): stability test
// of the feed, two-phase split, stability test of the split where a third phase can appear (see
// ThirdPhaseCheck), and a third phase when that test fails. Each split is converged by a few steps of
// accelerated successive substitution and finished by Newton with the analytic Hessian of the Gibbs
// energy, unless substitution is nearly there; substitution continues where Newton cannot (a phase
// about to vanish).
// Throws std::invalid_argument for T <= 0, P <= 0 or a bad feed.
FlashResult FlashTP(const Mixture& mixture, double temperature, double pressure, std::span<const double> feed,
                    const FlashOptions& options = {});

// The same flash for one mixture, keeping its work arrays and the equation of state of the last
// temperature between flashes, so that the iterations of repeated flashes allocate nothing.
//
// With `warm_start`, a flash at the temperature of the last flash that split into two phases, of a
// feed within 1e-4 (mole fraction) of that flash's, starts the split from its K values, skipping the feed's
// stability test; the split is taken only when it converges to two distinct phases of lower Gibbs energy than
// the feed, else the flash starts afresh. The result then agrees with a cold flash to the tolerance, not bit
// for bit.
class FlashEngine {
 public:
  explicit FlashEngine(const Mixture& mixture);
  ~FlashEngine();
  FlashEngine(FlashEngine&&) noexcept;
  FlashEngine& operator=(FlashEngine&&) noexcept;

  FlashResult Flash(double temperature, double pressure, std::span<const double> feed,
                    const FlashOptions& options = {}, bool warm_start = false);

 private:
  class Work;
  // FlashTP runs the engine's state once, on the stack.
  friend FlashResult FlashTP(const Mixture&, double, double, std::span<const double>, const FlashOptions&);
  std::unique_ptr<Work> work_;
};

}  // namespace tarvox::thermo
