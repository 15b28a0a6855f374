#include "host/tool/calc_options.h"

#include "host/tool/sample_streams.h"

namespace tarvox::tool {

namespace {

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = text.find(',', start);
    const std::size_t end = comma == std::string::npos ? text.size() : comma;
    items.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace

bool ParseCalcOptions(const std::vector<std::string>& args, CalcOptions& options, std::string& error) {
  options.sample = std::string(kDefaultSample);
  bool sample_chosen = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool takes_value = arg == "--only" || arg == "--format" || arg == "--set" || arg == "--sample";
    if (takes_value && i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    if (arg == "--only") {
      for (const std::string& name : SplitList(args[++i])) {
        if (name.empty()) {
          error = "--only takes class names separated by commas";
          return false;
        }
        options.only.push_back(name);
      }
    } else if (arg == "--format") {
      const std::string& format = args[++i];
      if (format == "table") {
        options.format = OutputFormat::kTable;
      } else if (format == "csv") {
        options.format = OutputFormat::kCsv;
      } else if (format == "json") {
        options.format = OutputFormat::kJson;
      } else {
        error = "unknown format \"" + format + "\" (table, csv or json)";
        return false;
      }
    } else if (arg == "--set") {
      std::optional<InputSetting> setting = ParseInputSetting(args[++i]);
      if (!setting) {
        error = "--set takes Class.Variable=value, not \"" + args[i] + "\"";
        return false;
      }
      options.settings.push_back(std::move(*setting));
    } else if (arg == "--sample") {
      options.sample = args[++i];
      sample_chosen = true;
      if (!SampleStream(options.sample)) {
        error = "unknown sample \"" + options.sample + "\"";
        return false;
      }
    } else if (arg.starts_with("--")) {
      error = "unknown option " + arg;
      return false;
    } else if (options.stream_file) {
      error = "only one stream file may be given";
      return false;
    } else {
      options.stream_file = arg;
    }
  }
  if (sample_chosen && options.stream_file) {
    error = "give either a stream file or --sample, not both";
    return false;
  }
  return true;
}

}  // namespace tarvox::tool
