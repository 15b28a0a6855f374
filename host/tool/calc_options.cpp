#include "host/tool/calc_options.h"

#include <map>

#include <CLI/Config.hpp>
#include <CLI/Formatter.hpp>

#include "host/tool/sample_streams.h"

namespace tarvox::tool {

namespace {

const std::map<std::string, OutputFormat> kFormats = {
    {"table", OutputFormat::kTable}, {"csv", OutputFormat::kCsv}, {"json", OutputFormat::kJson}};

const CLI::Validator kInputSetting(
    [](const std::string& text) {
      return ParseInputSetting(text) ? std::string()
                                     : "--set takes Class.Variable=value, not \"" + text + "\"";
    },
    "Class.Variable=value");

CLI::Option* DeclareCommonOptions(CLI::App& command, CommonOptions& options) {
  options.sample = std::string(kDefaultSample);
  const std::vector<std::string> samples = SampleNames();
  CLI::Option* sample =
      command.add_option("--sample", options.sample, "a built-in stream (default wellstream)")
          ->check(CLI::IsMember(samples));
  command.add_option("--only", options.only, "the classes to compute, separated by commas")
      ->delimiter(',')
      ->check(CLI::Validator(
          [](const std::string& name) { return name.empty() ? "an empty class name" : ""; }, "Class"));
  command
      .add_option_function<std::string>(
          "--format", [&options](const std::string& name) { options.format = kFormats.at(name); },
          "table (default), csv or json")
      ->check(CLI::IsMember(kFormats));
  command.add_option("--set", options.set, "an input, after the stream's own inputs")->check(kInputSetting);
  return sample;
}

}  // namespace

std::vector<InputSetting> CommonOptions::Settings() const {
  std::vector<InputSetting> settings;
  for (const std::string& text : set) settings.push_back(*ParseInputSetting(text));
  return settings;
}

void DeclareCalcOptions(CLI::App& command, CalcOptions& options) {
  CLI::Option* sample = DeclareCommonOptions(command, options);
  CLI::Option* files = command.add_option("STREAM", options.stream_files, "stream files (JSON)");
  CLI::Option* batch = command.add_option("--batch", options.batch,
                                          "a JSON Lines file of streams, one per line (- for stdin)");
  command.add_flag("--keep-going", options.keep_going,
                   "compute the good streams of a batch with bad ones (the exit status is still 2)");
  files->excludes(sample)->excludes(batch);
  batch->excludes(sample);
}

void DeclareSweepOptions(CLI::App& command, SweepOptions& options) {
  CLI::Option* sample = DeclareCommonOptions(command, options);
  command.add_option("STREAM", options.stream_file, "a stream file (JSON)")->excludes(sample);
  command
      .add_option("--vary", options.vary,
                  "temperature_C, pressure_kPa or an input Class.Variable, with start:stop:step")
      ->required();
  const std::map<std::string, std::size_t> phases = {
      {"overall", 0}, {"vapour", 1}, {"liquid1", 2}, {"liquid2", 3}, {"solid", 4}};
  command
      .add_option_function<std::string>(
          "--phase", [&options, phases](const std::string& name) { options.phase = phases.at(name); },
          "the value shown: overall (default), vapour, liquid1, liquid2 or solid")
      ->check(CLI::IsMember(phases));
}

}  // namespace tarvox::tool
