#include "host/tool/sweep.h"

#include "host/tool/calculation.h"

namespace tarvox::tool {

std::vector<CalcReport> Sweep(const StreamFile& file, const Variation& variation,
                              const std::vector<std::string>& classes,
                              const std::vector<InputSetting>& settings,
                              const std::function<void()>& step_done) {
  std::vector<StreamFile> streams;
  streams.reserve(variation.values.size());
  for (const double value : variation.values) streams.push_back(Varied(file, variation.variable, value));
  // Every value is checked before any is computed, so that a refused one leaves nothing half done.
  for (const StreamFile& stream : streams) CheckStream(stream, settings);
  std::vector<CalcReport> reports;
  reports.reserve(streams.size());
  for (const StreamFile& stream : streams) {
    reports.push_back(Calculate(stream, classes, settings));
    step_done();
  }
  return reports;
}

}  // namespace tarvox::tool
