// Creating a correlation object through its class factory, per class: each creation builds the
// class's variables from their parsed definitions, so classes with inputs cost more.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/module/connected_correlation.h"

namespace tarvox::bench {
namespace {

void CreateObject(benchmark::State& state, const ClassInfo* info) {
  ComPtr<IClassFactory> factory;
  if (FAILED(DllGetClassObject(info->clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())))) {
    state.SkipWithError("no class factory");
    return;
  }
  for (auto _ : state) {
    ComPtr<ICorrelation> correlation;
    benchmark::DoNotOptimize(
        factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put())));
  }
  state.counters["inputs"] = static_cast<double>(info->inputs.size());
}

void RegisterAll() {
  for (const ClassInfo& info : ClassCatalogue())
    benchmark::RegisterBenchmark((std::string("Create/") + info.name).c_str(), CreateObject, &info);
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
