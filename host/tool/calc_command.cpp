#include "host/tool/calc_command.h"

#include <cstdio>
#include <fstream>
#include <iostream>

#include "host/tool/batch_input.h"
#include "host/tool/calculation.h"
#include "host/tool/progress_line.h"

namespace tarvox::tool {

namespace {

void Report(const std::string& message) { std::fprintf(stderr, "tarvox calc: %s\n", message.c_str()); }

std::vector<BatchEntry> ReadEntries(const CalcOptions& options) {
  if (options.batch && *options.batch == "-") return ReadBatch(std::cin, "stdin");
  if (options.batch) {
    std::ifstream in(*options.batch, std::ios::binary);
    if (!in) throw CalcError("cannot read " + *options.batch, kBadInputStatus);
    return ReadBatch(in, *options.batch);
  }
  if (!options.stream_files.empty()) return ReadStreamFiles(options.stream_files);
  return {BatchEntry{"", SampleStreamFile(options.sample), ""}};
}

}  // namespace

int RunCalc(const CalcOptions& options) {
  std::vector<std::string> classes;
  std::vector<BatchEntry> entries;
  try {
    classes = SelectClasses(options.only);
    entries = ReadEntries(options);
  } catch (const CalcError& e) {
    Report(e.what());
    return e.status();
  }
  const std::vector<InputSetting> settings = options.Settings();
  const bool several = options.batch || options.stream_files.size() > 1;
  // Every stream is read and checked before any is computed: one refused stream stops the run with
  // nothing computed, unless the good ones are to be computed anyway.
  bool refused = false;
  for (BatchEntry& entry : entries) {
    if (entry.stream) {
      try {
        CheckStream(*entry.stream, settings);
        continue;
      } catch (const CalcError& e) {
        if (e.status() != kBadInputStatus) {
          Report(e.what());
          return e.status();
        }
        entry.error = several ? entry.origin + ": " + e.what() : e.what();
        entry.stream.reset();
      }
    }
    Report(entry.error);
    refused = true;
  }
  if (refused && !options.keep_going) return kBadInputStatus;

  std::vector<CalcReport> reports;
  {
    ProgressLine progress(entries.size(), "streams");
    for (const BatchEntry& entry : entries) {
      if (!entry.stream) continue;
      try {
        reports.push_back(Calculate(*entry.stream, classes, settings));
      } catch (const CalcError& e) {
        Report(several ? entry.origin + ": " + e.what() : e.what());
        if (e.status() != kBadInputStatus || !options.keep_going) return e.status();
        refused = true;
      }
      progress.Advance();
    }
  }
  PrintReports(reports, options.format, several, stdout);
  return refused ? kBadInputStatus : 0;
}

}  // namespace tarvox::tool
