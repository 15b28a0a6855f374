#include "host/tool/calc_command.h"

#include <algorithm>
#include <cstdio>

#include "calculator/fluid_state.h"
#include "common/ansi_text.h"
#include "framework/correlation_interface.h"
#include "host/fluid/component_data_location.h"
#include "host/fluid/peng_robinson_fluid.h"
#include "host/fluid/validity_window.h"
#include "host/site/stream_site.h"
#include "host/tool/calc_report.h"
#include "host/tool/class_names.h"
#include "host/tool/correlation_factory.h"
#include "host/tool/correlation_inputs.h"
#include "host/tool/sample_streams.h"
#include "host/tool/stream_file.h"
#include "host/tool/utf8_text.h"

namespace tarvox::tool {

namespace {

constexpr int kBadInput = 2;
constexpr int kFailure = 1;
constexpr LONG kStreamHandle = 1;

int BadInput(const std::string& message) {
  std::fprintf(stderr, "tarvox calc: %s\n", message.c_str());
  return kBadInput;
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

}  // namespace

int RunCalc(const std::vector<std::string>& args) {
  CalcOptions options;
  std::string error;
  if (!ParseCalcOptions(args, options, error)) return BadInput(error);

  std::vector<std::string> classes(kClassNames.begin(), kClassNames.end());
  if (!options.only.empty()) {
    for (const std::string& name : options.only)
      if (!KnownClass(name)) return BadInput("unknown class \"" + name + "\" in --only");
    classes = options.only;
  }

  StreamFile file;
  if (options.stream_file) {
    try {
      file = ReadStreamFileAt(*options.stream_file);
    } catch (const StreamFileError& e) {
      return BadInput(*options.stream_file + ": " + e.what());
    }
  } else {
    file.stream = *SampleStream(options.sample);
  }
  std::vector<InputSetting> settings = file.inputs;
  settings.insert(settings.end(), options.settings.begin(), options.settings.end());
  for (const InputSetting& setting : settings)
    if (!KnownClass(setting.class_name))
      return BadInput("unknown class \"" + setting.class_name + "\" in an input");

  std::shared_ptr<const thermo::ComponentDatabase> database;
  try {
    database = host::SharedComponentDatabase();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tarvox calc: %s\n", e.what());
    return kFailure;
  }
  ComPtr<host::PengRobinsonFluid> fluid = host::PengRobinsonFluid::Create(database, file.stream, error);
  if (!fluid) return BadInput("stream \"" + file.stream.name + "\": " + error);

  ComSession session;
  auto site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  site->AddStream(kStreamHandle, static_cast<IHostFluid*>(fluid.Get()));
  std::vector<Connection> connections;
  for (const std::string& name : classes) {
    Connection connection{name, CreateCorrelation(name, error)};
    if (!connection.correlation) {
      std::fprintf(stderr, "tarvox calc: %s\n", error.c_str());
      return kFailure;
    }
    const HRESULT connected =
        connection.correlation->Connect(site.Get(), kStreamHandle, &connection.cookie, &connection.results);
    if (FAILED(connected)) {
      std::fprintf(stderr, "tarvox calc: %s refused the stream (0x%08X)\n", name.c_str(),
                   static_cast<unsigned>(connected));
      return kFailure;
    }
    connections.push_back(std::move(connection));
  }
  // Every input is checked before anything is computed, also one for a class that does not run.
  for (const InputSetting& setting : settings) {
    bool runs = false;
    for (Connection& connection : connections) {
      if (connection.class_name != setting.class_name) continue;
      runs = true;
      const std::string refused = ApplyInput(*connection.correlation.Get(), setting);
      if (!refused.empty()) return BadInput(refused);
    }
    if (const std::string refused = runs ? "" : CheckInputOnItsClass(setting); !refused.empty())
      return BadInput(refused);
  }

  CalcReport report;
  report.stream = file.stream.name;
  for (Connection& connection : connections) report.rows.push_back(Compute(connection));
  report.messages = host::DataRangeWarnings(*database, file.stream);
  report.messages.insert(report.messages.end(), fluid->messages().begin(), fluid->messages().end());
  PrintReport(report, options.format, stdout);
  return 0;
}

}  // namespace tarvox::tool
