#pragma once

#include <array>
#include <optional>
#include <span>
#include <vector>

#include "tarvox/thermo/phase_properties.hpp"

namespace tarvox::thermo {

// Assigns equilibrium phases to the slots vapour (0), hydrocarbon liquid (1), aqueous liquid (2).
// Returns, per slot, the index into phases or nullopt. Rule:
//  * A phase is water-rich when its water mole fraction exceeds 0.5; it is gas-like as
//    PhaseProperties::gas_like says. Phases are ordered by mass density (by molar volume when masses
//    are unknown).
//  * The lightest phase goes to slot 0 when it is gas-like; no other phase does, except that of three
//    liquids the lightest goes there, so that no phase goes unreported.
//  * One remaining (liquid) phase goes to slot 2 when water-rich, else to slot 1.
//  * Of two remaining phases, the one with more water goes to slot 2 and the other to slot 1
//    (hydrocarbon-rich first, water-rich second); on a tie the denser goes to slot 2.
// At most three phases (std::invalid_argument otherwise).
std::array<std::optional<std::size_t>, 3> AssignPhaseSlots(std::span<const PhaseProperties> phases,
                                                           std::optional<std::size_t> water_index);

}  // namespace tarvox::thermo
