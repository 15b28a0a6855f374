// The command lines of `tarvox calc` and `tarvox sweep`, declared to CLI11.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <CLI/App.hpp>

#include "host/tool/calc_report.h"
#include "host/tool/input_setting.h"

namespace tarvox::tool {

// What calc and sweep share: the stream's source, the classes, the output and the inputs.
struct CommonOptions {
  std::string sample;  // used when no stream file is given
  std::vector<std::string> only;
  OutputFormat format = OutputFormat::kTable;
  std::vector<std::string> set;  // "Class.Variable=value", checked by CLI11

  std::vector<InputSetting> Settings() const;
};

struct CalcOptions : CommonOptions {
  std::vector<std::string> stream_files;
  std::optional<std::string> batch;  // a JSON Lines file, "-" for standard input
  bool keep_going = false;
};

struct SweepOptions : CommonOptions {
  std::optional<std::string> stream_file;
  std::string vary;       // "variable=start:stop:step"
  std::size_t phase = 0;  // the column of CorrelationRow::values shown
};

// Class names are checked later, against the catalogue.
void DeclareCalcOptions(CLI::App& command, CalcOptions& options);
void DeclareSweepOptions(CLI::App& command, SweepOptions& options);

}  // namespace tarvox::tool
