#include "host/tool/stream_file.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <vector>

#include <nlohmann/json.hpp>

namespace tarvox::tool {

namespace {

using nlohmann::json;

const std::set<std::string> kKnownKeys = {
    "name",       "temperature_C", "pressure_kPa", "molar_flow_kmol_h", "composition", "standard_temperature",
    "flow_basis", "cost_factor",   "inputs"};

[[noreturn]] void Fail(const std::string& message) { throw StreamFileError(message); }

std::string PositionOf(std::string_view text, std::size_t byte) {
  std::size_t line = 1, column = 1;
  for (std::size_t i = 0; i < byte && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

// nlohmann::json keeps the last of two equal keys; a stream file is refused instead, at any depth.
json ParseRefusingDuplicateKeys(std::string_view text) {
  std::vector<std::set<std::string>> open_objects;
  return json::parse(text.begin(), text.end(), [&](int, json::parse_event_t event, json& parsed) {
    if (event == json::parse_event_t::object_start) {
      open_objects.emplace_back();
    } else if (event == json::parse_event_t::object_end) {
      open_objects.pop_back();
    } else if (event == json::parse_event_t::key &&
               !open_objects.back().insert(parsed.get<std::string>()).second) {
      Fail("key \"" + parsed.get<std::string>() + "\" is given twice");
    }
    return true;
  });
}

const json& Required(const json& root, const char* key) {
  const auto found = root.find(key);
  if (found == root.end()) Fail(std::string("missing field \"") + key + "\"");
  return *found;
}

double FiniteNumber(const json& value, const std::string& what) {
  if (!value.is_number()) Fail("\"" + what + "\" must be a number");
  const double number = value.get<double>();
  if (!std::isfinite(number)) Fail("\"" + what + "\" must be a finite number");
  return number;
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

void ReadComposition(const json& composition, host::StreamConditions& stream) {
  if (!composition.is_object() || composition.empty())
    Fail("\"composition\" must be an object of component names and amounts");
  double largest = 0.0;
  for (const auto& [name, amount] : composition.items()) {
    const double value = FiniteNumber(amount, "composition." + name);
    if (value < 0.0) Fail("negative amount for component \"" + name + "\"");
    const std::string key = Lower(name);
    if (std::find(stream.components.begin(), stream.components.end(), key) != stream.components.end())
      Fail("component \"" + name + "\" is given twice");
    stream.components.push_back(key);
    stream.composition.push_back(value);
    largest = std::max(largest, value);
  }
  if (!(largest > 0.0)) Fail("the composition has no positive amount");
  // Scaled by the largest amount first, the sum cannot overflow however large the amounts.
  double total = 0.0;
  for (double& x : stream.composition) total += (x /= largest);
  for (double& x : stream.composition) x /= total;
}

int FlowBasis(const json& value) {
  if (value.is_string()) {
    const std::string text = value.get<std::string>();
    if (text == "Molar") return 0;
    if (text == "Mass") return 1;
    if (text == "Liquid Volume") return 2;
    Fail("\"flow_basis\" must be \"Molar\", \"Mass\", \"Liquid Volume\" or a code 0 to 4");
  }
  const double code = FiniteNumber(value, "flow_basis");
  if (code != std::floor(code) || code < 0.0 || code > host::kLargestFlowBasis)
    Fail("\"flow_basis\" code must be an integer from 0 to 4");
  return static_cast<int>(code);
}

host::StandardTemperature StandardTemperatureOf(const json& value) {
  if (value == "15C") return host::StandardTemperature::k15C;
  if (value == "60F") return host::StandardTemperature::k60F;
  Fail("\"standard_temperature\" must be \"15C\" or \"60F\"");
}

std::vector<InputSetting> Inputs(const json& inputs) {
  if (!inputs.is_object()) Fail("\"inputs\" must be an object like {\"Class.Variable\": value}");
  std::vector<InputSetting> settings;
  for (const auto& [target, value] : inputs.items()) {
    std::string text;
    if (value.is_string())
      text = value.get<std::string>();
    else if (value.is_number())
      text = value.dump();
    else
      Fail("input \"" + target + "\" must be a number or a text");
    std::optional<InputSetting> setting = ParseInputTarget(target, text);
    if (!setting) Fail("input \"" + target + "\" must be named Class.Variable and have a value");
    settings.push_back(std::move(*setting));
  }
  return settings;
}

}  // namespace

StreamFile ReadStreamFile(std::string_view text) {
  json root;
  try {
    root = ParseRefusingDuplicateKeys(text);
  } catch (const json::parse_error& error) {
    const std::string what = error.what();
    const std::size_t colon = what.rfind(": ");
    Fail("malformed JSON at " + PositionOf(text, error.byte > 0 ? error.byte - 1 : 0) + ": " +
         (colon == std::string::npos ? what : what.substr(colon + 2)));
  } catch (const json::out_of_range&) {
    Fail("a number in the stream file is beyond the range of a double");
  }
  if (!root.is_object()) Fail("a stream file holds one JSON object");
  for (const auto& [key, value] : root.items())
    if (!kKnownKeys.contains(key)) Fail("unknown field \"" + key + "\"");

  StreamFile file;
  host::StreamConditions& stream = file.stream;
  const json& name = Required(root, "name");
  if (!name.is_string() || name.get<std::string>().empty()) Fail("\"name\" must be a non-empty text");
  stream.name = name.get<std::string>();
  stream.temperature_c = FiniteNumber(Required(root, "temperature_C"), "temperature_C");
  if (stream.temperature_c <= -273.15) Fail("\"temperature_C\" must lie above absolute zero");
  stream.pressure_kpa = FiniteNumber(Required(root, "pressure_kPa"), "pressure_kPa");
  if (!(stream.pressure_kpa > 0.0)) Fail("\"pressure_kPa\" must be positive");
  stream.molar_flow_kmol_h = FiniteNumber(Required(root, "molar_flow_kmol_h"), "molar_flow_kmol_h");
  if (stream.molar_flow_kmol_h < 0.0) Fail("\"molar_flow_kmol_h\" must not be negative");
  ReadComposition(Required(root, "composition"), stream);
  if (root.contains("standard_temperature"))
    stream.standard_temperature = StandardTemperatureOf(root["standard_temperature"]);
  if (root.contains("flow_basis")) stream.flow_basis = FlowBasis(root["flow_basis"]);
  if (root.contains("cost_factor")) stream.cost_factor = FiniteNumber(root["cost_factor"], "cost_factor");
  if (root.contains("inputs")) file.inputs = Inputs(root["inputs"]);
  return file;
}

StreamFile ReadStreamFileAt(const std::string& path) {
  // Checked before opening: opening a pipe would wait for a writer, and a device has no end.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    if (error) Fail("cannot be read: " + error.message());
    Fail("is not a regular file");
  }
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error) Fail("cannot be read: " + error.message());
  if (size > kLargestStreamFile) Fail("is larger than 4 MiB, the limit for a stream file");
  std::ifstream in(path, std::ios::binary);
  if (!in) Fail("cannot be opened");
  // Never more than the size seen: a file that grows meanwhile is cut, not read without end.
  std::string text(static_cast<std::size_t>(size), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  return ReadStreamFile(text);
}

}  // namespace tarvox::tool
