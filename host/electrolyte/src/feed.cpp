#include "feed.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace tarvox::electrolyte {
namespace {

constexpr std::array kNeutralAqueousSolvents{host_id::kMethanol, host_id::kMonoethyleneGlycol,
                                             host_id::kSulfolane};

}  // namespace

std::optional<Feed> read_feed(std::int32_t component_count, const double* mole_fractions,
                              const std::int32_t* component_ids) {
  if (component_count <= 0 || mole_fractions == nullptr || component_ids == nullptr) return std::nullopt;
  double sum = 0.0;
  for (std::int32_t i = 0; i < component_count; ++i) {
    const double x = mole_fractions[i];
    if (!std::isfinite(x) || x < 0.0) return std::nullopt;
    sum += x;
  }
  if (!(sum > 0.0) || !std::isfinite(sum)) return std::nullopt;

  Feed feed;
  const std::array<std::pair<std::int32_t, double*>, 6> solutes{{
      {host_id::kCarbonDioxide, &feed.solutes.carbon_dioxide},
      {host_id::kHydrogenSulfide, &feed.solutes.hydrogen_sulfide},
      {host_id::kAmmonia, &feed.solutes.ammonia},
      {host_id::kMea, &feed.solutes.mea},
      {host_id::kDea, &feed.solutes.dea},
      {host_id::kMdea, &feed.solutes.mdea},
  }};
  for (std::int32_t i = 0; i < component_count; ++i) {
    const std::int32_t id = component_ids[i];
    const double amount = mole_fractions[i] / sum;
    if (id == host_id::kWater) {
      feed.water += amount;
      continue;
    }
    double* solute = nullptr;
    for (const auto& [solute_id, total] : solutes) {
      if (id == solute_id) solute = total;
    }
    if (solute != nullptr) {
      *solute += amount;
    } else if (std::find(kNeutralAqueousSolvents.begin(), kNeutralAqueousSolvents.end(), id) !=
               kNeutralAqueousSolvents.end()) {
      feed.neutral_solvents += amount;
    } else if (amount > 0.0) {
      feed.non_aqueous.push_back({id, amount});
    }
  }
  if (!(feed.water > 0.0)) return std::nullopt;
  return feed;
}

}  // namespace tarvox::electrolyte
