// Host flashes per Calculate for the classes that flash, over a fixed set of fluids, counted by the
// Peng-Robinson host's own flash counter, and the TP flashes its engine made for them. Prints two
// Markdown tables: one row per class, one column per fluid, then the median and the worst count.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "bench/module/connected_correlation.h"
#include "bench/module/stream_hosts.h"
#include "host/tool/sample_streams.h"

namespace tarvox::bench {
namespace {

host::StreamConditions Fluid(std::string name, double temperature_c, double pressure_kpa,
                             std::vector<std::pair<std::string, double>> amounts) {
  host::StreamConditions stream;
  stream.name = std::move(name);
  stream.temperature_c = temperature_c;
  stream.pressure_kpa = pressure_kpa;
  stream.molar_flow_kmol_h = 100.0;
  double total = 0.0;
  for (const auto& [component, amount] : amounts) total += amount;
  for (const auto& [component, amount] : amounts) {
    stream.components.push_back(component);
    stream.composition.push_back(amount / total);
  }
  return stream;
}

std::vector<host::StreamConditions> Fluids() {
  return {
      Fluid("propane", 20.0, 2000.0, {{"propane", 1.0}}),
      Fluid("n-butane", 20.0, 1000.0, {{"n-butane", 1.0}}),
      Fluid("n-hexane", 25.0, 101.325, {{"n-hexane", 1.0}}),
      Fluid("light naphtha", 25.0, 300.0,
            {{"isopentane", 20.0}, {"n-pentane", 30.0}, {"n-hexane", 30.0}, {"n-heptane", 20.0}}),
      Fluid("heavy naphtha", 25.0, 300.0,
            {{"n-heptane", 20.0},
             {"n-octane", 25.0},
             {"n-nonane", 20.0},
             {"n-decane", 15.0},
             {"cyclohexane", 10.0},
             {"toluene", 10.0}}),
      Fluid("gasoline", 15.0, 200.0,
            {{"n-butane", 6.0},
             {"isobutane", 2.0},
             {"isopentane", 12.0},
             {"n-pentane", 8.0},
             {"n-hexane", 12.0},
             {"cyclohexane", 6.0},
             {"benzene", 2.0},
             {"n-heptane", 14.0},
             {"toluene", 14.0},
             {"n-octane", 16.0},
             {"n-nonane", 8.0}}),
      Fluid("crude with gas", 80.0, 20000.0,
            {{"methane", 25.0},
             {"ethane", 5.0},
             {"propane", 5.0},
             {"n-butane", 4.0},
             {"n-pentane", 4.0},
             {"n-hexane", 6.0},
             {"n-octane", 15.0},
             {"n-decane", 20.0},
             {"n-dodecane", 16.0}}),
      Fluid(
          "natural gas", 40.0, 5000.0,
          {{"nitrogen", 1.0}, {"carbon dioxide", 2.0}, {"methane", 85.0}, {"ethane", 8.0}, {"propane", 4.0}}),
      Fluid("hydrogen-rich gas", 40.0, 2000.0,
            {{"hydrogen", 60.0}, {"methane", 25.0}, {"ethane", 10.0}, {"carbon monoxide", 5.0}}),
      Fluid("decane liquid", 25.0, 200.0, {{"n-decane", 70.0}, {"n-dodecane", 30.0}}),
      *tool::SampleStream(tool::kDefaultSample),
  };
}

constexpr const char* kFlashingClasses[] = {"RVP_100F",    "TVP_100F", "EntMeth_Cv", "SolutionGOR",
                                            "SolutionWOR", "OilFVF",   "Exergy"};

const ClassInfo& Class(const std::string& name) {
  for (const ClassInfo& info : ClassCatalogue())
    if (name == info.name) return info;
  throw std::runtime_error("unknown class " + name);
}

long long FlashCount(host::PengRobinsonFluid& fluid) {
  long long count = 0;
  fluid.GetFlashCount(&count);
  return count;
}

// Flashes of one Calculate: those the module asked the host for, and the TP flashes the host's engine made
// for them (a saturation search makes several).
struct Flashes {
  long long host = 0;
  long long tp = 0;
  bool failed = false;
};

Flashes FlashesOfOneCalculate(const ClassInfo& info, const host::StreamConditions& stream) {
  ComPtr<host::PengRobinsonFluid> fluid = PengRobinsonStream(stream);
  ConnectedCorrelation correlation(info, static_cast<IHostFluid*>(fluid.Get()));
  const long long host_before = FlashCount(*fluid.Get());
  const long long tp_before = fluid->tp_flash_count();
  Flashes flashes;
  flashes.failed = FAILED(correlation.Calculate());
  flashes.host = FlashCount(*fluid.Get()) - host_before;
  flashes.tp = fluid->tp_flash_count() - tp_before;
  return flashes;
}

long long Median(std::vector<long long> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void PrintTable(const char* title, const std::vector<host::StreamConditions>& fluids,
                const std::vector<std::vector<Flashes>>& rows, long long Flashes::*count) {
  std::printf("%s\n\n| class |", title);
  for (const host::StreamConditions& fluid : fluids) std::printf(" %s |", fluid.name.c_str());
  std::printf(" median | worst |\n|---|");
  for (std::size_t i = 0; i < fluids.size() + 2; ++i) std::printf("---:|");
  std::printf("\n");
  for (std::size_t row = 0; row < rows.size(); ++row) {
    std::vector<long long> counts;
    std::printf("| %s |", kFlashingClasses[row]);
    for (const Flashes& flashes : rows[row]) {
      counts.push_back(flashes.*count);
      std::printf(" %lld%s |", counts.back(), flashes.failed ? "*" : "");
    }
    std::printf(" %lld | %lld |\n", Median(counts), *std::max_element(counts.begin(), counts.end()));
  }
}

int Run() {
  const std::vector<host::StreamConditions> fluids = Fluids();
  std::vector<std::vector<Flashes>> rows;
  bool any_failed = false;
  for (const char* name : kFlashingClasses) {
    const ClassInfo& info = Class(name);
    rows.emplace_back();
    for (const host::StreamConditions& fluid : fluids) {
      rows.back().push_back(FlashesOfOneCalculate(info, fluid));
      any_failed = any_failed || rows.back().back().failed;
    }
  }
  PrintTable("Host flashes per Calculate", fluids, rows, &Flashes::host);
  std::printf("\n");
  PrintTable("TP flashes of the host's engine per Calculate (saturation searches included)", fluids, rows,
             &Flashes::tp);
  if (any_failed) std::printf("\n* Calculate reported a failure for this fluid.\n");
  return 0;
}

}  // namespace
}  // namespace tarvox::bench

int main() {
  try {
    return tarvox::bench::Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_flash_counts: %s\n", error.what());
    return 1;
  }
}
