#pragma once

#include <optional>

#include "feed.hpp"
#include "solute_totals.hpp"

namespace tarvox::electrolyte {

// Partitions the stream between a vapour, a hydrocarbon liquid and the water at the given temperature
// and pressure, and returns the molalities of the electrolyte solutes in the water.
//  * CO2, H2S and NH3 follow Henry's law in the water, m(free) = K_H(T) f, and Wilson's K-value between
//    gas and oil; what the water holds as ions (bicarbonate, carbamate, ammonium, ...) is counted by the
//    speciation, so partition and speciation are solved together.
//  * Water follows Raoult's law over the aqueous solution of water and the non-volatile solvents.
//  * Amines, glycols, methanol and sulfolane stay in the water; every other component stays out of it
//    and divides between gas and oil by Wilson's K-value.
// Ideal gas, ideal hydrocarbon liquid. Empty when no water remains liquid, the temperature is outside
// the model range, the pressure is not positive, or the solution does not converge.
std::optional<SoluteTotals> aqueous_solute_totals(const Feed& feed, double temperature_K, double pressure_Pa);

}  // namespace tarvox::electrolyte
