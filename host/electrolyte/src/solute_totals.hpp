#pragma once

#include <cstdint>
#include <optional>

namespace tarvox::electrolyte {

// Stoichiometric totals of the electrolyte solutes, in mol per kg of water.
struct SoluteTotals {
  double carbon_dioxide = 0.0;
  double hydrogen_sulfide = 0.0;
  double ammonia = 0.0;
  double mea = 0.0;
  double dea = 0.0;
  double mdea = 0.0;

  bool any() const;
  bool any_acid_gas() const { return carbon_dioxide > 0.0 || hydrogen_sulfide > 0.0; }
};

// Host component identifiers of the components that take part in the aqueous chemistry.
namespace host_id {
inline constexpr std::int32_t kWater = 19;
inline constexpr std::int32_t kCarbonDioxide = 14;
inline constexpr std::int32_t kHydrogenSulfide = 15;
inline constexpr std::int32_t kAmmonia = 28;
inline constexpr std::int32_t kMea = 30063;
inline constexpr std::int32_t kDea = 30064;
inline constexpr std::int32_t kMdea = 30065;
}  // namespace host_id

inline constexpr double kWaterMolarMassKgPerMol = 0.01801528;

// Beyond this molality water is no longer the solvent and the model has no meaning.
inline constexpr double kMaxSoluteMolality = 200.0;

// Turns overall mole fractions into molalities in the water present. Components the model does not
// know are ignored. Empty when the input is unusable: null pointers, no entries, fractions that are
// negative or not finite, no water, or a solute molality above kMaxSoluteMolality.
std::optional<SoluteTotals> solute_totals_from_mole_fractions(std::int32_t component_count,
                                                              const double* mole_fractions,
                                                              const std::int32_t* component_ids);

}  // namespace tarvox::electrolyte
