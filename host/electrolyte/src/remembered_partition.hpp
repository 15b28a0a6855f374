#pragma once

#include <cstdint>
#include <optional>

#include "feed.hpp"
#include "solute_totals.hpp"

namespace tarvox::electrolyte {

// aqueous_solute_totals for a stream given as the host passes it, remembering the last stream: the
// module asks for five properties of up to three phases of one stream in a row, and the partition is
// the costly part. The arrays hold component_count entries (read_feed accepted them).
std::optional<SoluteTotals> remembered_aqueous_solute_totals(const Feed& feed, std::int32_t component_count,
                                                             const double* mole_fractions,
                                                             const std::int32_t* component_ids,
                                                             double temperature_K, double pressure_Pa);

}  // namespace tarvox::electrolyte
