// The phase split at a given temperature and vapour fraction, stated like a TP flash result so
// that the host reports both kinds of flash the same way.
#pragma once

#include <span>
#include <vector>

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

// The saturation splits of one fluid. The same question asked twice running gets the first answer again
// without a second search: the Reid evaluation's fallback asks for the very bubble point it has just been
// refused, and proving that none exists costs several flashes. The answer depends on nothing else, so it
// is the same to the bit.
class SaturationSplits {
 public:
  explicit SaturationSplits(const thermo::Mixture& mixture) : mixture_(mixture) {}

  const thermo::FlashResult& At(double temperature, double beta, std::span<const double> feed,
                                long long& tp_flashes);

 private:
  bool Holds(double temperature, double beta, std::span<const double> feed) const;

  const thermo::Mixture& mixture_;
  bool held_ = false;
  double temperature_ = 0.0;
  double beta_ = 0.0;
  thermo::FlashResult split_;  // its feed is the question's
};

}  // namespace tarvox::host
