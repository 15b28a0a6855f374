#pragma once

#include <string>
#include <vector>

#include "tarvox/thermo/mixture.hpp"

namespace tarvox::thermo::bench {

const ComponentDatabase& Database();

struct Case {
  std::vector<std::string> names;
  std::vector<double> feed;
};

// Gas-condensate fluids of 10 or 20 database components without water (two phases at separator
// conditions).
Case Hydrocarbons(int size);

// Ten database components and 70 pseudo-components of a heavy end (constants rising smoothly with
// the cut's molar mass, no interaction parameters among them), as a characterised oil is handed over.
Mixture CharacterisedOil(std::vector<double>& feed);

}  // namespace tarvox::thermo::bench
