#include "phase_partition.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "bisection.hpp"
#include "component_volatility.hpp"
#include "equilibrium_constants.hpp"
#include "charge_balance.hpp"
#include "water_vapour_pressure.hpp"

namespace tarvox::electrolyte {
namespace {

constexpr double kPascalPerAtmosphere = 101325.0;
constexpr int kMaxPartitionIterations = 400;
constexpr int kUndampedIterations = 20;
constexpr double kSmallestFreeFraction = 1e-300;

// Amount over capacity, where a phase with no capacity cannot hold any of a component present.
double share(double amount, double capacity) {
  if (amount <= 0.0) return 0.0;
  return capacity > 0.0 ? amount / capacity : std::numeric_limits<double>::infinity();
}

struct VolatileSolute {
  double amount;
  double oil_k;          // Wilson y/x between gas and oil
  double henry;          // m(free) / f in mol kg-1 atm-1
  double free_fraction;  // m(free) / m(total) in the water, from the latest speciation
};

struct OilComponent {
  double amount;
  double k;  // Wilson y/x
};

// Mole-fraction sums of gas and oil, and the water left liquid, at given amounts of gas and oil.
struct PhaseSums {
  double gas = 0.0;
  double oil = 0.0;
  double liquid_water = 0.0;  // mol
};

class Partition {
 public:
  Partition(const Feed& feed, double temperature_K, double pressure_Pa)
      : pressure_atm_(pressure_Pa / kPascalPerAtmosphere),
        water_(feed.water),
        solvents_(feed.solutes.mea + feed.solutes.dea + feed.solutes.mdea + feed.neutral_solvents),
        relative_vapour_pressure_(water_vapour_pressure_Pa(temperature_K) / pressure_Pa) {
    const auto solute = [&](double amount, std::int32_t id, Reaction henry) {
      return VolatileSolute{amount, wilson_k_value(id, temperature_K, pressure_Pa),
                            std::pow(10.0, log10_equilibrium_constant(henry, temperature_K)), 1.0};
    };
    solutes_ = {
        solute(feed.solutes.carbon_dioxide, host_id::kCarbonDioxide, Reaction::CarbonDioxideHenry),
        solute(feed.solutes.hydrogen_sulfide, host_id::kHydrogenSulfide, Reaction::HydrogenSulfideHenry),
        solute(feed.solutes.ammonia, host_id::kAmmonia, Reaction::AmmoniaHenry)};
    for (const auto& component : feed.non_aqueous) {
      oil_.push_back({component.amount, wilson_k_value(component.host_id, temperature_K, pressure_Pa)});
    }
  }

  // Molalities of the dissolved amounts at the free fractions of the latest speciation; empty when
  // no liquid water remains.
  std::optional<SoluteTotals> dissolved(const SoluteTotals& non_volatile) const {
    const double gas = gas_amount();
    const double oil = oil_amount(gas);
    const PhaseSums sums = sums_at(gas, oil);
    const double water_kg = sums.liquid_water * kWaterMolarMassKgPerMol;
    if (!(water_kg > 0.0)) return std::nullopt;
    std::array<double, 3> molality{};
    for (std::size_t i = 0; i < solutes_.size(); ++i) {
      const VolatileSolute& s = solutes_[i];
      const double gas_fraction = share(s.amount, capacity(s, gas, oil, water_kg));
      molality[i] = s.henry * pressure_atm_ * gas_fraction / s.free_fraction;
    }
    SoluteTotals totals = non_volatile;
    totals.mea /= water_kg;
    totals.dea /= water_kg;
    totals.mdea /= water_kg;
    totals.carbon_dioxide = molality[0];
    totals.hydrogen_sulfide = molality[1];
    totals.ammonia = molality[2];
    return totals;
  }

  // Takes the free fractions of a speciation; returns the largest change of their logarithms.
  double update_free_fractions(const SoluteTotals& totals, const Speciation& species, double weight) {
    const std::array<std::pair<double, double>, 3> free_and_total{{
        {species.carbon_dioxide, totals.carbon_dioxide},
        {species.hydrogen_sulfide, totals.hydrogen_sulfide},
        {species.ammonia.free, totals.ammonia},
    }};
    double change = 0.0;
    for (std::size_t i = 0; i < solutes_.size(); ++i) {
      const auto [free, total] = free_and_total[i];
      if (!(total > 0.0)) continue;
      const double target = std::log(std::clamp(free / total, kSmallestFreeFraction, 1.0));
      const double current = std::log(solutes_[i].free_fraction);
      change = std::max(change, std::abs(target - current));
      solutes_[i].free_fraction = std::exp(current + weight * (target - current));
    }
    return change;
  }

 private:
  // Moles of solute per mole fraction of it in the gas: gas, oil and water together.
  double capacity(const VolatileSolute& s, double gas, double oil, double water_kg) const {
    return gas + share(oil, s.oil_k) + s.henry * pressure_atm_ * water_kg / s.free_fraction;
  }

  // Water left liquid when the gas holds water at its partial pressure over the aqueous solution,
  // y P = x Psat (Raoult): the positive root of a^2 + (n_s + V r - n_w) a - n_w n_s = 0, r = Psat/P.
  double liquid_water(double gas) const {
    if (solvents_ <= 0.0) return std::max(0.0, water_ - gas * relative_vapour_pressure_);
    const double b = solvents_ + gas * relative_vapour_pressure_ - water_;
    const double root = std::sqrt(b * b + 4.0 * water_ * solvents_);
    // The two forms avoid cancellation on either sign of b.
    return b > 0.0 ? 2.0 * water_ * solvents_ / (b + root) : 0.5 * (root - b);
  }

  PhaseSums sums_at(double gas, double oil) const {
    PhaseSums sums;
    sums.liquid_water = liquid_water(gas);
    const double water_kg = sums.liquid_water * kWaterMolarMassKgPerMol;
    sums.gas = sums.liquid_water > 0.0
                   ? relative_vapour_pressure_ * sums.liquid_water / (sums.liquid_water + solvents_)
                   : share(water_, gas);
    for (const auto& s : solutes_) {
      const double y = share(s.amount, capacity(s, gas, oil, water_kg));
      sums.gas += y;
      sums.oil += share(y, s.oil_k);
    }
    for (const auto& c : oil_) {
      const double x = share(c.amount, gas * c.k + oil);
      sums.gas += c.k * x;
      sums.oil += x;
    }
    return sums;
  }

  // Oil present exactly when the oil's mole fractions would otherwise sum above one.
  double oil_amount(double gas) const {
    if (!(sums_at(gas, 0.0).oil > 1.0)) return 0.0;
    double most = 0.0;
    for (const auto& s : solutes_) most += s.amount;
    for (const auto& c : oil_) most += c.amount;
    const auto root =
        illinois_increasing([&](double oil) { return 1.0 - sums_at(gas, oil).oil; }, 0.0, most, 1e-12 * most);
    return root.value_or(most);
  }

  // Gas present exactly when, without it, the partial pressures would sum above the pressure.
  double gas_amount() const {
    const auto shortfall = [&](double gas) { return 1.0 - sums_at(gas, oil_amount(gas)).gas; };
    if (!(shortfall(0.0) < 0.0)) return 0.0;
    double most = water_;
    for (const auto& s : solutes_) most += s.amount;
    for (const auto& c : oil_) most += c.k > 0.0 ? c.amount : 0.0;
    return illinois_increasing(shortfall, 0.0, most, 1e-12 * most).value_or(most);
  }

  double pressure_atm_;
  double water_;
  double solvents_;
  double relative_vapour_pressure_;
  std::array<VolatileSolute, 3> solutes_{};
  std::vector<OilComponent> oil_;
};

}  // namespace

std::optional<SoluteTotals> aqueous_solute_totals(const Feed& feed, double temperature_K,
                                                  double pressure_Pa) {
  if (!(temperature_K >= kMinTemperatureK && temperature_K <= kMaxTemperatureK)) return std::nullopt;
  if (!std::isfinite(pressure_Pa) || !(pressure_Pa > 0.0)) return std::nullopt;
  Partition partition(feed, temperature_K, pressure_Pa);
  const SoluteTotals non_volatile{
      .mea = feed.solutes.mea, .dea = feed.solutes.dea, .mdea = feed.solutes.mdea};
  for (int iteration = 0; iteration < kMaxPartitionIterations; ++iteration) {
    const auto totals = partition.dissolved(non_volatile);
    if (!totals) return std::nullopt;
    for (double m : {totals->carbon_dioxide, totals->hydrogen_sulfide, totals->ammonia, totals->mea,
                     totals->dea, totals->mdea}) {
      if (!(m <= kMaxSoluteMolality)) return std::nullopt;
    }
    const auto species = solve_speciation(*totals, temperature_K);
    if (!species) return std::nullopt;
    // Full steps converge in a few iterations for acid gas in water; strongly buffered solutions
    // (loaded amines with a gas phase) can overshoot, so later steps go half way.
    const double weight = iteration < kUndampedIterations ? 1.0 : 0.5;
    if (partition.update_free_fractions(*totals, *species, weight) < 1e-10) return totals;
  }
  return std::nullopt;
}

}  // namespace tarvox::electrolyte
