#pragma once

#include <string>
#include <vector>

#include "tarvox/thermo/component_data.hpp"
#include "tarvox/thermo/mixture.hpp"

namespace tarvox::thermo::testing {

// The project's component tables, loaded once per test binary.
inline const ComponentDatabase& Database() {
  static const ComponentDatabase database =
      ComponentDatabase::Load(std::string(TARVOX_THERMO_DATA_DIR) + "/components.csv",
                              std::string(TARVOX_THERMO_DATA_DIR) + "/kij_pr.csv");
  return database;
}

inline Mixture DatabaseMixture(const std::vector<std::string>& names) {
  return MakeMixture(Database(), names);
}

}  // namespace tarvox::thermo::testing
