// The phase split at a given temperature and vapour fraction, stated like a TP flash result so
// that the host reports both kinds of flash the same way.
#pragma once

#include <array>
#include <span>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/mixture.hpp"

namespace tarvox::host {

// Solves for the pressure at which `feed` at `temperature` (K) is split into a vapour of molar
// fraction `beta` (0 <= beta <= 1; 0 is the bubble point) and a liquid. The vapour goes to the
// vapour slot, the liquid to the aqueous slot when water-rich, else to the hydrocarbon slot; a
// phase with zero fraction is absent. Not converged when no such state exists.
thermo::FlashResult SplitAtVapourFraction(const thermo::Mixture& mixture, double temperature, double beta,
                                          std::span<const double> feed);

// SplitAtVapourFraction with a memory of its last few answers: the same temperature, fraction and
// feed give the same split, and correlations ask for one repeatedly (the true vapour pressure that
// the Reid evaluation and its fallback both start from, say).
class SaturationSplits {
 public:
  explicit SaturationSplits(const thermo::Mixture& mixture) : mixture_(&mixture) {}

  const thermo::FlashResult& At(double temperature, double beta, std::span<const double> feed);

 private:
  struct Entry {
    double temperature = 0.0, beta = 0.0;
    std::vector<double> feed;
    thermo::FlashResult split;
  };

  const thermo::Mixture* mixture_;
  std::array<Entry, 4> entries_;
  std::size_t used_ = 0, next_ = 0;
};

}  // namespace tarvox::host
