// Calculate of every class on the built-in well stream, against the Peng-Robinson host fluid and
// against a scripted mirror of it whose flashes cost nothing, so that the difference is the host's
// share. The two sweeps run all 52 classes once per iteration.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/module/connected_correlation.h"
#include "bench/module/stream_hosts.h"

namespace tarvox::bench {
namespace {

enum class Host { Scripted, PengRobinson };

struct Hosts {
  ComPtr<host::PengRobinsonFluid> peng_robinson = WellStream();
  ComPtr<host::ScriptedFluid> scripted = ScriptedMirror(*peng_robinson.Get());

  IUnknown* Fluid(Host host) const {
    return host == Host::Scripted ? static_cast<IUnknown*>(static_cast<IHostFluid*>(scripted.Get()))
                                  : static_cast<IUnknown*>(static_cast<IHostFluid*>(peng_robinson.Get()));
  }
  // The scripted fluid logs each call; dropping the log keeps its memory flat over millions of runs.
  void Forget() const { scripted->calls.clear(); }
};

const Hosts& SharedHosts() {
  static const Hosts hosts;
  return hosts;
}

void CalculateOne(benchmark::State& state, const ClassInfo* info, Host host) {
  const Hosts& hosts = SharedHosts();
  ConnectedCorrelation correlation(*info, hosts.Fluid(host));
  for (auto _ : state) {
    benchmark::DoNotOptimize(correlation.Calculate());
    hosts.Forget();
  }
}

void CalculateSweep(benchmark::State& state, Host host) {
  const Hosts& hosts = SharedHosts();
  std::vector<std::unique_ptr<ConnectedCorrelation>> correlations;
  for (const ClassInfo& info : ClassCatalogue())
    correlations.push_back(std::make_unique<ConnectedCorrelation>(info, hosts.Fluid(host)));
  for (auto _ : state) {
    for (const auto& correlation : correlations) benchmark::DoNotOptimize(correlation->Calculate());
    hosts.Forget();
  }
  state.counters["classes"] = static_cast<double>(correlations.size());
}

void RegisterAll() {
  benchmark::RegisterBenchmark("Sweep/Scripted", CalculateSweep, Host::Scripted);
  benchmark::RegisterBenchmark("Sweep/PengRobinson", CalculateSweep, Host::PengRobinson);
  for (const ClassInfo& info : ClassCatalogue()) {
    benchmark::RegisterBenchmark((std::string("Calculate/Scripted/") + info.name).c_str(), CalculateOne,
                                 &info, Host::Scripted);
    benchmark::RegisterBenchmark((std::string("Calculate/PengRobinson/") + info.name).c_str(), CalculateOne,
                                 &info, Host::PengRobinson);
  }
}

}  // namespace
}  // namespace tarvox::bench

// The classes are registered at run time, after every static object of the module exists.
int main(int argc, char** argv) {
  tarvox::bench::RegisterAll();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
