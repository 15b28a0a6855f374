#include "host/tool/sweep.h"

#include "host/tool/calculation.h"

namespace tarvox::tool {

std::vector<CalcReport> Sweep(const StreamFile& file, const Variation& variation,
                              const std::vector<std::string>& classes,
                              const std::vector<InputSetting>& settings,
                              const std::function<void()>& step_done) {
  // Every value is checked before any is computed, so that a refused one leaves nothing half done.
  for (const double value : variation.values) CheckStream(Varied(file, variation.variable, value), settings);
  std::vector<CalcReport> reports;
  reports.reserve(variation.values.size());
  for (const double value : variation.values) {
    reports.push_back(Calculate(Varied(file, variation.variable, value), classes, settings));
    step_done();
  }
  return reports;
}

}  // namespace tarvox::tool
