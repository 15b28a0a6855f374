#include "host/tool/sample_streams.h"

#include <utility>

namespace tarvox::tool {

namespace {

host::StreamConditions Stream(std::string name, double temperature_c, double pressure_kpa, double flow,
                              std::vector<std::pair<std::string, double>> amounts) {
  host::StreamConditions stream;
  stream.name = std::move(name);
  stream.temperature_c = temperature_c;
  stream.pressure_kpa = pressure_kpa;
  stream.molar_flow_kmol_h = flow;
  double total = 0.0;
  for (const auto& [component, amount] : amounts) total += amount;
  for (const auto& [component, amount] : amounts) {
    stream.components.push_back(component);
    stream.composition.push_back(amount / total);
  }
  return stream;
}

}  // namespace

std::optional<host::StreamConditions> SampleStream(std::string_view name) {
  if (name == "wellstream") {
    return Stream("wellstream", 40.0, 3000.0, 100.0,
                  {{"nitrogen", 0.5},
                   {"carbon dioxide", 2.0},
                   {"hydrogen sulfide", 1.0},
                   {"methane", 30.0},
                   {"ethane", 6.0},
                   {"propane", 4.0},
                   {"isobutane", 1.0},
                   {"n-butane", 2.0},
                   {"isopentane", 1.0},
                   {"n-pentane", 1.0},
                   {"n-hexane", 2.0},
                   {"n-heptane", 4.0},
                   {"n-octane", 4.0},
                   {"n-nonane", 3.0},
                   {"n-decane", 8.0},
                   {"water", 30.5}});
  }
  if (name == "amine") {
    return Stream("amine", 40.0, 3000.0, 100.0,
                  {{"methyldiethanolamine", 5.0}, {"water", 93.0}, {"carbon dioxide", 2.0}});
  }
  return std::nullopt;
}

std::vector<std::string> SampleNames() { return {"wellstream", "amine"}; }

}  // namespace tarvox::tool
