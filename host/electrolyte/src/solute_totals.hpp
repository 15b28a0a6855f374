#pragma once

#include <cstdint>

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
inline constexpr std::int32_t kMethanol = 29;
inline constexpr std::int32_t kMonoethyleneGlycol = 30;
inline constexpr std::int32_t kSulfolane = 30066;
}  // namespace host_id

inline constexpr double kWaterMolarMassKgPerMol = 0.01801528;

// Beyond this molality water is no longer the solvent and the model has no meaning.
inline constexpr double kMaxSoluteMolality = 200.0;

}  // namespace tarvox::electrolyte
