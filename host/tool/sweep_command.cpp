#include "host/tool/sweep_command.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "host/tool/calculation.h"
#include "host/tool/progress_line.h"
#include "host/tool/sweep.h"

namespace tarvox::tool {

namespace {

// The value of `row` for `phase`, when its Calculate succeeded and the value is one.
bool HasValue(const CorrelationRow& row, std::size_t phase) {
  return SUCCEEDED(row.result) && IsValue(row.values[phase]);
}

// Table cells are right-aligned in columns as wide as the widest class name.
void PrintLine(const std::vector<std::string>& cells, bool csv, int width) {
  for (std::size_t k = 0; k < cells.size(); ++k) {
    if (csv)
      std::printf("%s%s", k > 0 ? "," : "", cells[k].c_str());
    else
      std::printf("%*s", width, cells[k].c_str());
  }
  std::putchar('\n');
}

void PrintRows(const Variation& variation, const std::vector<CalcReport>& reports, std::size_t phase,
               bool csv) {
  std::vector<std::string> header = {variation.variable};
  for (const CorrelationRow& row : reports.front().rows) header.push_back(row.class_name);
  std::size_t width = 0;
  for (const std::string& title : header) width = std::max(width, title.size());
  const int field = static_cast<int>(width) + 1;
  PrintLine(header, csv, field);
  for (std::size_t i = 0; i < reports.size(); ++i) {
    std::vector<std::string> cells = {ValueText(variation.values[i])};
    for (const CorrelationRow& row : reports[i].rows)
      cells.push_back(HasValue(row, phase) ? ValueText(row.values[phase]) : "");
    PrintLine(cells, csv, field);
  }
}

}  // namespace

int RunSweep(const SweepOptions& options) {
  try {
    const std::vector<std::string> classes = SelectClasses(options.only);
    const Variation variation = ParseVariation(options.vary);
    const StreamFile file =
        options.stream_file ? ReadStreamPath(*options.stream_file) : SampleStreamFile(options.sample);
    std::vector<CalcReport> reports;
    {
      ProgressLine progress(variation.values.size(), "values");
      reports = Sweep(file, variation, classes, options.Settings(), [&progress] { progress.Advance(); });
    }
    if (options.format == OutputFormat::kJson) {
      nlohmann::ordered_json rows = nlohmann::ordered_json::array();
      for (std::size_t i = 0; i < reports.size(); ++i) {
        nlohmann::ordered_json row;
        row[variation.variable] = variation.values[i];
        for (const CorrelationRow& result : reports[i].rows)
          row[result.class_name] = HasValue(result, options.phase)
                                       ? nlohmann::ordered_json(result.values[options.phase])
                                       : nullptr;
        rows.push_back(row);
      }
      std::printf("%s\n", rows.dump(2).c_str());
    } else {
      PrintRows(variation, reports, options.phase, options.format == OutputFormat::kCsv);
    }
  } catch (const CalcError& e) {
    std::fprintf(stderr, "tarvox sweep: %s\n", e.what());
    return e.status();
  }
  return 0;
}

}  // namespace tarvox::tool
