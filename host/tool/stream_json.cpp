#include "host/tool/stream_json.h"

#include <nlohmann/json.hpp>

namespace tarvox::tool {

nlohmann::ordered_json StreamJson(const StreamFile& file) {
  const host::StreamConditions& stream = file.stream;
  nlohmann::ordered_json root;
  root["name"] = stream.name;
  root["temperature_C"] = stream.temperature_c;
  root["pressure_kPa"] = stream.pressure_kpa;
  root["molar_flow_kmol_h"] = stream.molar_flow_kmol_h;
  nlohmann::ordered_json composition = nlohmann::ordered_json::object();
  for (std::size_t i = 0; i < stream.components.size(); ++i)
    composition[stream.components[i]] = stream.composition[i];
  root["composition"] = composition;
  root["standard_temperature"] =
      stream.standard_temperature == host::StandardTemperature::k60F ? "60F" : "15C";
  root["flow_basis"] = stream.flow_basis;
  root["cost_factor"] = stream.cost_factor;
  nlohmann::ordered_json inputs = nlohmann::ordered_json::object();
  for (const InputSetting& setting : file.inputs)
    inputs[setting.class_name + "." + setting.variable] = setting.value;
  root["inputs"] = inputs;
  return root;
}

}  // namespace tarvox::tool
