// Writing a converged phase split into the host's FluidState record, in the host's units
// (°C, kPa, m³/kmol, kJ/kmol, kJ/(kmol·K)).
#pragma once

#include <span>

#include "calculator/fluid_state.h"
#include "tarvox/thermo/flash_tp.hpp"

namespace tarvox::host {

// Fills a record handed over by GetState: five fresh task-allocator composition arrays (absent
// phases and the solid hold EMPTY_VALUE, slot 4 the overall composition `z`), per-phase and
// overall values, EMPTY_VALUE where a phase is absent. Returns false, leaving no array
// allocated, when memory runs out.
bool WriteStreamState(const thermo::FlashResult& split, std::span<const double> z, double temperature_c,
                      FluidState& record);

// Writes a flash's results into a caller's working record: pressure, presence, fractions (0 for
// an absent phase and for the solid), per-phase and overall values, and the phase compositions
// into the record's own arrays (which stay the caller's; a null array is skipped).
void WriteFlashResults(const thermo::FlashResult& split, FluidState& record);

}  // namespace tarvox::host
