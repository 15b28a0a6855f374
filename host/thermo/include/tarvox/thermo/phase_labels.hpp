#pragma once

#include <array>
#include <optional>
#include <vector>

#include "tarvox/thermo/phase_properties.hpp"

namespace tarvox::thermo {

// Assigns equilibrium phases to the slots vapour (0), hydrocarbon liquid (1), aqueous liquid (2).
// Returns, per slot, the index into phases or nullopt. Rule:
//  * A phase is water-rich when its water mole fraction exceeds 0.5.
//  * One phase: slot 0 when gas-like (see PhaseProperties::gas_like), else slot 2 when
//    water-rich, else slot 1.
//  * Two phases, lighter (lower mass density, or larger molar volume when masses are unknown) L,
//    denser D: if D is water-rich and L is not, D goes to slot 2 and L to slot 0 when gas-like,
//    otherwise to slot 1. In every other case L goes to slot 0 and D to slot 2 when water-rich,
//    otherwise to slot 1.
//  * Three phases: the lightest goes to slot 0; of the other two, the one with more water goes to
//    slot 2 and the other to slot 1 (on a tie, the denser goes to slot 2).
std::array<std::optional<std::size_t>, 3> AssignPhaseSlots(const std::vector<PhaseProperties>& phases,
                                                           std::optional<std::size_t> water_index);

}  // namespace tarvox::thermo
