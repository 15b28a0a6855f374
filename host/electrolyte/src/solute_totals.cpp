#include "solute_totals.hpp"

#include <array>
#include <cmath>
#include <utility>

namespace tarvox::electrolyte {

bool SoluteTotals::any() const {
  return any_acid_gas() || ammonia > 0.0 || mea > 0.0 || dea > 0.0 || mdea > 0.0;
}

std::optional<SoluteTotals> solute_totals_from_mole_fractions(std::int32_t component_count,
                                                              const double* mole_fractions,
                                                              const std::int32_t* component_ids) {
  if (component_count <= 0 || mole_fractions == nullptr || component_ids == nullptr) return std::nullopt;

  double water = 0.0;
  SoluteTotals fractions;
  const std::array<std::pair<std::int32_t, double*>, 6> solutes{{
      {host_id::kCarbonDioxide, &fractions.carbon_dioxide},
      {host_id::kHydrogenSulfide, &fractions.hydrogen_sulfide},
      {host_id::kAmmonia, &fractions.ammonia},
      {host_id::kMea, &fractions.mea},
      {host_id::kDea, &fractions.dea},
      {host_id::kMdea, &fractions.mdea},
  }};
  for (std::int32_t i = 0; i < component_count; ++i) {
    const double x = mole_fractions[i];
    if (!std::isfinite(x) || x < 0.0) return std::nullopt;
    if (component_ids[i] == host_id::kWater) water += x;
    for (const auto& [id, total] : solutes) {
      if (component_ids[i] == id) *total += x;
    }
  }
  if (!(water > 0.0)) return std::nullopt;

  // Ratios first: x / (x_water * Mw) would underflow to a division by zero for a denormal x_water.
  for (const auto& [id, total] : solutes) {
    *total = (*total / water) / kWaterMolarMassKgPerMol;
    if (!std::isfinite(*total) || *total > kMaxSoluteMolality) return std::nullopt;
  }
  return fractions;
}

}  // namespace tarvox::electrolyte
