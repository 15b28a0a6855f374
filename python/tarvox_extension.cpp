// The compiled half of the tarvox Python package: the tool's core (stream checks, calculation,
// sweeps and messages) with JSON texts in and out. The Python half turns them into objects and
// data frames.
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <nlohmann/json.hpp>

#include "host/tool/calculation.h"
#include "host/tool/catalogue.h"
#include "host/tool/sample_streams.h"
#include "host/tool/stream_json.h"
#include "host/tool/sweep.h"
#include "host/tool/unit_labels.h"
#include "tarvox_platform/program_folder.h"

namespace py = pybind11;
using namespace tarvox::tool;

namespace {

using Inputs = std::vector<std::pair<std::string, std::string>>;  // ("Class.Variable", value text)

StreamFile ParseStream(const std::string& text) {
  try {
    return ReadStreamFile(text);
  } catch (const StreamFileError& e) {
    throw CalcError(e.what(), kBadInputStatus);
  }
}

std::vector<InputSetting> Settings(const Inputs& inputs) {
  std::vector<InputSetting> settings;
  for (const auto& [target, value] : inputs) {
    std::optional<InputSetting> setting = ParseInputTarget(target, value);
    if (!setting)
      throw CalcError("input \"" + target + "\" must be named Class.Variable and have a value",
                      kBadInputStatus);
    settings.push_back(std::move(*setting));
  }
  return settings;
}

std::string Calc(const std::string& stream, const std::vector<std::string>& only, const Inputs& inputs) {
  const StreamFile file = ParseStream(stream);
  return ReportJson(Calculate(file, SelectClasses(only), Settings(inputs))).dump();
}

std::vector<std::string> SweepReports(const std::string& stream, const std::string& variable,
                                      const std::vector<double>& values, const std::vector<std::string>& only,
                                      const Inputs& inputs) {
  const std::vector<CalcReport> reports =
      Sweep(ParseStream(stream), Variation{variable, values}, SelectClasses(only), Settings(inputs), [] {});
  std::vector<std::string> texts;
  for (const CalcReport& report : reports) texts.push_back(ReportJson(report).dump());
  return texts;
}

std::string Sample(const std::string& name) { return StreamJson(SampleStreamFile(name)).dump(); }

py::list Catalogue() {
  std::vector<std::string> errors;
  const std::vector<CatalogueEntry> entries = ReadCatalogue(errors);
  if (!errors.empty()) throw CalcError(errors.front(), kFailureStatus);
  py::list list;
  for (const CatalogueEntry& entry : entries) {
    py::dict row;
    row["class"] = entry.class_name;
    row["name"] = entry.display_name;
    row["prog_id"] = entry.prog_id;
    row["clsid"] = entry.clsid;
    row["unit_type"] = entry.unit_type;
    row["unit"] = std::string(UnitLabel(entry.unit_type));
    row["inputs"] = entry.inputs;
    list.append(row);
  }
  return list;
}

}  // namespace

PYBIND11_MODULE(_core, module) {
  module.doc() = "Tarvox's tool core; use the tarvox package, not this module.";
  // The errors are the package's own Python classes, so that they pickle across worker processes.
  // Their references are kept for the life of the process: a static py::object would be released
  // after the interpreter is gone.
  const py::module_ errors = py::module_::import("tarvox._errors");
  static const py::handle input_error = py::object(errors.attr("InputError")).release();
  static const py::handle module_error = py::object(errors.attr("ModuleError")).release();
  py::register_exception_translator([](std::exception_ptr raised) {
    try {
      if (raised) std::rethrow_exception(raised);
    } catch (const CalcError& e) {
      PyErr_SetString((e.status() == kBadInputStatus ? input_error : module_error).ptr(), e.what());
    }
  });
  module.def("set_program_folder", &tarvox_platform::SetProgramFolder, py::arg("folder"));
  module.def("calc", &Calc, py::arg("stream"), py::arg("only"), py::arg("inputs"));
  module.def("sweep", &SweepReports, py::arg("stream"), py::arg("variable"), py::arg("values"),
             py::arg("only"), py::arg("inputs"));
  module.def(
      "check_stream", [](const std::string& text) { ParseStream(text); }, py::arg("stream"));
  module.def(
      "check_stream_file", [](const std::string& path) { ReadStreamPath(path); }, py::arg("path"));
  module.def("sample", &Sample, py::arg("name"));
  module.def("samples", &SampleNames);
  module.def("catalogue", &Catalogue);
}
