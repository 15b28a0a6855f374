#pragma once

#include <cstdint>

namespace tarvox::electrolyte {

// Wilson's estimate of the vapour-liquid ratio y/x of a component between a gas and a hydrocarbon
// liquid, K = (Pc/P) exp(5.373 (1 + omega) (1 - Tc/T)). Components the library has no critical constants
// for are taken as heavy oil (K = 0): the host's pseudo-components and heavy ends behave so.
double wilson_k_value(std::int32_t host_id, double temperature_K, double pressure_Pa);

}  // namespace tarvox::electrolyte
