#include "bench_fluids.hpp"

#include <cmath>

namespace tarvox::thermo::bench {

const ComponentDatabase& Database() {
  static const ComponentDatabase database =
      ComponentDatabase::Load(std::string(TARVOX_THERMO_DATA_DIR) + "/components.csv",
                              std::string(TARVOX_THERMO_DATA_DIR) + "/kij_pr.csv");
  return database;
}

Case Hydrocarbons(int size) {
  if (size == 10) {
    return {{"nitrogen", "carbon dioxide", "methane", "ethane", "propane", "n-butane", "n-pentane",
             "n-hexane", "n-heptane", "n-decane"},
            {0.01, 0.02, 0.60, 0.08, 0.06, 0.05, 0.04, 0.04, 0.05, 0.05}};
  }
  return {{"nitrogen", "carbon dioxide", "hydrogen sulfide", "methane",  "ethane",    "propane",  "isobutane",
           "n-butane", "isopentane",     "n-pentane",        "n-hexane", "n-heptane", "n-octane", "n-nonane",
           "n-decane", "n-dodecane",     "cyclohexane",      "benzene",  "toluene",   "ethylene"},
          {0.01, 0.02, 0.005, 0.55, 0.07, 0.05, 0.01, 0.03,  0.01, 0.02,
           0.03, 0.03, 0.03,  0.02, 0.03, 0.02, 0.01, 0.005, 0.01, 0.01}};
}

Mixture CharacterisedOil(std::vector<double>& feed) {
  const std::vector<std::string> light{"nitrogen", "carbon dioxide", "methane",  "ethane",    "propane",
                                       "n-butane", "n-pentane",      "n-hexane", "n-heptane", "n-octane"};
  const Mixture database_part = MakeMixture(Database(), light);
  std::vector<ComponentConstants> components(database_part.components().begin(),
                                             database_part.components().end());
  const std::size_t n = light.size() + 70;
  for (int cut = 0; cut < 70; ++cut) {
    ComponentConstants c;
    c.name = "cut " + std::to_string(cut);
    const double molar_mass = 128.0 + 6.0 * cut;
    c.molar_mass = molar_mass;
    c.critical_temperature = 620.0 + 300.0 * (1.0 - std::exp(-cut / 30.0));
    c.critical_pressure = 2300.0 * std::exp(-cut / 45.0) + 500.0;
    c.acentric_factor = 0.45 + 0.012 * cut;
    c.critical_volume = 0.0045 * molar_mass;
    components.push_back(std::move(c));
  }
  std::vector<double> kij(n * n, 0.0);
  for (std::size_t i = 0; i < light.size(); ++i) {
    for (std::size_t j = 0; j < light.size(); ++j) kij[i * n + j] = database_part.kij(i, j);
  }
  feed = {0.005, 0.015, 0.35, 0.07, 0.05, 0.04, 0.03, 0.03, 0.03, 0.03};
  for (int cut = 0; cut < 70; ++cut) feed.push_back(0.35 / 70.0);
  return Mixture(std::move(components), std::move(kij));
}

}  // namespace tarvox::thermo::bench
