// The phase split at a given temperature and vapour fraction, stated like a TP flash result so
// that the host reports both kinds of flash the same way.
#pragma once

#include <span>

#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/mixture.hpp"

namespace tarvox::host {

// Solves for the pressure at which `feed` at `temperature` (K) is split into a vapour of molar
// fraction `beta` (0 <= beta <= 1; 0 is the bubble point) and a liquid. The vapour goes to the
// vapour slot, the liquid to the aqueous slot when water-rich, else to the hydrocarbon slot; a
// phase with zero fraction is absent. Not converged when no such state exists. Adds the TP flashes the
// search made to `tp_flashes`.
thermo::FlashResult SplitAtVapourFraction(const thermo::Mixture& mixture, double temperature, double beta,
                                          std::span<const double> feed, long long& tp_flashes);

}  // namespace tarvox::host
