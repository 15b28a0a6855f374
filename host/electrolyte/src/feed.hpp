#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "solute_totals.hpp"

namespace tarvox::electrolyte {

struct NonAqueousAmount {
  std::int32_t host_id;
  double amount;
};

// The stream as the library sees it, in moles per mole of stream, sorted by the part each component
// plays in the water: the solvent, the electrolyte solutes, neutral solvents that mix with water
// (methanol, glycol, sulfolane), and everything else, which does not dissolve in it.
struct Feed {
  double water = 0.0;
  SoluteTotals solutes;  // here amounts in mol per mol of stream, not molalities
  double neutral_solvents = 0.0;
  std::vector<NonAqueousAmount> non_aqueous;
};

// Empty when the input is unusable: null pointers, no entries, fractions that are negative or not
// finite, fractions that sum to zero, or no water. Components with the same id are added.
std::optional<Feed> read_feed(std::int32_t component_count, const double* mole_fractions,
                              const std::int32_t* component_ids);

}  // namespace tarvox::electrolyte
