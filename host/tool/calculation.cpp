#include "host/tool/calculation.h"

#include <algorithm>
#include <array>

#include "calculator/fluid_state.h"
#include "common/ansi_text.h"
#include "framework/correlation_interface.h"
#include "host/fluid/component_data_location.h"
#include "host/fluid/peng_robinson_fluid.h"
#include "host/fluid/validity_window.h"
#include "host/site/stream_site.h"
#include "host/tool/class_names.h"
#include "host/tool/correlation_factory.h"
#include "host/tool/correlation_inputs.h"
#include "host/tool/sample_streams.h"
#include "host/tool/utf8_text.h"

namespace tarvox::tool {

namespace {

constexpr LONG kStreamHandle = 1;

[[noreturn]] void BadInput(const std::string& message) { throw CalcError(message, kBadInputStatus); }
[[noreturn]] void Failure(const std::string& message) { throw CalcError(message, kFailureStatus); }

[[noreturn]] void RefusedStream(const StreamFile& file, const std::string& reason) {
  BadInput("stream \"" + file.stream.name + "\": " + reason);
}

bool KnownClass(const std::string& name) {
  return std::find(kClassNames.begin(), kClassNames.end(), name) != kClassNames.end();
}

struct Connection {
  std::string class_name;
  ComPtr<ICorrelation> correlation;
  LONG cookie = 0;
  IVariableSet* results = nullptr;  // lent by Connect; the correlation keeps it
};

CorrelationRow Compute(Connection& connection) {
  CorrelationRow row;
  row.class_name = connection.class_name;
  BStr display;
  LONG unit = -1;
  connection.correlation->get_Name(display.Put());
  connection.correlation->get_UnitType(&unit);
  row.display_name = Utf8(display.Get());
  row.unit_type = static_cast<int>(unit);
  row.values.fill(EMPTY_VALUE);
  row.result = connection.correlation->Calculate(connection.cookie);
  if (FAILED(row.result)) return row;
  ComPtr<IUnknown> found;
  if (!connection.results || FAILED(connection.results->FindVariable(OLESTR("Phase_Values"), found.Put()))) {
    row.result = E_FAIL;
    return row;
  }
  auto vector = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
  for (std::size_t k = 0; vector && k < std::size(kResultSlots); ++k)
    if (FAILED(vector->GetElement(kResultSlots[k], &row.values[k]))) row.values[k] = EMPTY_VALUE;
  return row;
}

// The file's inputs followed by `settings`, each of a known class.
std::vector<InputSetting> AllSettings(const StreamFile& file, const std::vector<InputSetting>& settings) {
  std::vector<InputSetting> all_settings = file.inputs;
  all_settings.insert(all_settings.end(), settings.begin(), settings.end());
  for (const InputSetting& setting : all_settings)
    if (!KnownClass(setting.class_name)) BadInput("unknown class \"" + setting.class_name + "\" in an input");
  return all_settings;
}

std::shared_ptr<const thermo::ComponentDatabase> ComponentDatabase() {
  try {
    return host::SharedComponentDatabase();
  } catch (const std::exception& e) {
    Failure(e.what());
  }
}

ComPtr<host::PengRobinsonFluid> StreamFluid(const std::shared_ptr<const thermo::ComponentDatabase>& database,
                                            const StreamFile& file) {
  std::string error;
  ComPtr<host::PengRobinsonFluid> fluid = host::PengRobinsonFluid::Create(database, file.stream, error);
  if (!fluid) RefusedStream(file, error);
  return fluid;
}

}  // namespace

void CheckStream(const StreamFile& file, const std::vector<InputSetting>& settings) {
  const std::vector<InputSetting> all_settings = AllSettings(file, settings);
  if (const std::optional<std::string> refused =
          host::PengRobinsonFluid::Refusal(*ComponentDatabase(), file.stream))
    RefusedStream(file, *refused);
  ComSession session;
  for (const InputSetting& setting : all_settings)
    if (const std::string refused = CheckInputOnItsClass(setting); !refused.empty()) BadInput(refused);
}

std::vector<std::string> SelectClasses(const std::vector<std::string>& only) {
  if (only.empty()) return {kClassNames.begin(), kClassNames.end()};
  for (const std::string& name : only)
    if (!KnownClass(name)) BadInput("unknown class \"" + name + "\" in --only");
  return only;
}

StreamFile ReadStreamPath(const std::string& path) {
  try {
    return ReadStreamFileAt(path);
  } catch (const StreamFileError& e) {
    BadInput(path + ": " + e.what());
  }
}

StreamFile SampleStreamFile(const std::string& name) {
  std::optional<host::StreamConditions> sample = SampleStream(name);
  if (!sample) BadInput("unknown sample \"" + name + "\"");
  return StreamFile{std::move(*sample), {}};
}

CalcReport Calculate(const StreamFile& file, const std::vector<std::string>& classes,
                     const std::vector<InputSetting>& settings) {
  const std::vector<InputSetting> all_settings = AllSettings(file, settings);
  const std::shared_ptr<const thermo::ComponentDatabase> database = ComponentDatabase();
  std::string error;
  ComPtr<host::PengRobinsonFluid> fluid = StreamFluid(database, file);

  ComSession session;
  auto site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  site->AddStream(kStreamHandle, static_cast<IHostFluid*>(fluid.Get()));
  std::vector<Connection> connections;
  for (const std::string& name : classes) {
    Connection connection{name, CreateCorrelation(name, error)};
    if (!connection.correlation) Failure(error);
    const HRESULT connected =
        connection.correlation->Connect(site.Get(), kStreamHandle, &connection.cookie, &connection.results);
    if (FAILED(connected)) {
      char code[16];
      std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(connected));
      Failure(name + " refused the stream (" + code + ")");
    }
    connections.push_back(std::move(connection));
  }
  // Every input is checked before anything is computed, also one for a class that does not run.
  for (const InputSetting& setting : all_settings) {
    bool runs = false;
    for (Connection& connection : connections) {
      if (connection.class_name != setting.class_name) continue;
      runs = true;
      const std::string refused = ApplyInput(*connection.correlation.Get(), setting);
      if (!refused.empty()) BadInput(refused);
    }
    if (const std::string refused = runs ? "" : CheckInputOnItsClass(setting); !refused.empty())
      BadInput(refused);
  }

  CalcReport report;
  report.stream = file.stream.name;
  for (Connection& connection : connections) report.rows.push_back(Compute(connection));
  report.messages = host::DataRangeWarnings(*database, file.stream);
  report.messages.insert(report.messages.end(), fluid->messages().begin(), fluid->messages().end());
  return report;
}

}  // namespace tarvox::tool
