// The command line of `tarvox calc`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/tool/input_setting.h"

namespace tarvox::tool {

enum class OutputFormat { kTable, kCsv, kJson };

struct CalcOptions {
  std::optional<std::string> stream_file;
  std::string sample;  // used when no stream file is given
  std::vector<std::string> only;
  OutputFormat format = OutputFormat::kTable;
  std::vector<InputSetting> settings;
};

// Parses the arguments after "calc". Returns false with `error` set when they are not valid;
// class names are checked later, against the catalogue.
bool ParseCalcOptions(const std::vector<std::string>& args, CalcOptions& options, std::string& error);

}  // namespace tarvox::tool
