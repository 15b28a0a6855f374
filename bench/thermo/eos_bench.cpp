// Timing of the equation-of-state evaluations that the flash and saturation solvers repeat: ln phi,
// its analytic derivatives and a full phase evaluation, on the flash benchmark's 10- and
// 20-component condensates and its 80-component characterised oil, on both roots.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench_fluids.hpp"
#include "tarvox/thermo/fugacity_derivatives.hpp"
#include "tarvox/thermo/phase_properties.hpp"

namespace tarvox::thermo {
namespace {

constexpr double kTemperature = 300.0;  // K, the two-phase flash benchmark's separator
constexpr double kPressure = 4000.0;    // kPa

Mixture FluidOfSize(int size, std::vector<double>& feed) {
  if (size == 80) return bench::CharacterisedOil(feed);
  auto c = bench::Hydrocarbons(size);
  feed = c.feed;
  return MakeMixture(bench::Database(), c.names);
}

RootChoice Root(const benchmark::State& state) {
  return state.range(1) == 0 ? RootChoice::kLiquid : RootChoice::kVapour;
}

void BM_EvaluateLnPhi(benchmark::State& state) {
  std::vector<double> x;
  const auto mixture = FluidOfSize(static_cast<int>(state.range(0)), x);
  const PengRobinsonAtTemperature eos(mixture, kTemperature);
  FugacityEvaluation out;
  for (auto _ : state) {
    EvaluateLnPhi(eos, kPressure, x, Root(state), out);
    benchmark::DoNotOptimize(out.ln_phi.data());
  }
  if (!std::isfinite(out.ln_phi.front())) state.SkipWithError("ln phi not finite");
}

void BM_EvaluateLnPhiDerivatives(benchmark::State& state) {
  std::vector<double> x;
  const auto mixture = FluidOfSize(static_cast<int>(state.range(0)), x);
  const PengRobinsonAtTemperature eos(mixture, kTemperature);
  FugacityEvaluation at;
  EvaluateLnPhi(eos, kPressure, x, Root(state), at);
  LnPhiDerivatives out;
  for (auto _ : state) {
    EvaluateLnPhiDerivatives(eos, kPressure, at, out);
    benchmark::DoNotOptimize(out.d_moles.data());
  }
  if (!std::isfinite(out.d_moles.front())) state.SkipWithError("derivative not finite");
}

void BM_EvaluatePhase(benchmark::State& state) {
  std::vector<double> x;
  const auto mixture = FluidOfSize(static_cast<int>(state.range(0)), x);
  const PengRobinsonAtTemperature eos(mixture, kTemperature);
  for (auto _ : state) {
    const auto phase = EvaluatePhase(eos, kPressure, x, Root(state));
    if (!phase.kinematic_viscosity) state.SkipWithError("no viscosity");
    benchmark::DoNotOptimize(phase.enthalpy);
  }
}

void SizesAndRoots(benchmark::internal::Benchmark* b) {
  b->ArgNames({"n", "vapour"});
  for (int n : {10, 20, 80}) {
    for (int vapour : {0, 1}) b->Args({n, vapour});
  }
}

BENCHMARK(BM_EvaluateLnPhi)->Apply(SizesAndRoots);
BENCHMARK(BM_EvaluateLnPhiDerivatives)->Apply(SizesAndRoots);
BENCHMARK(BM_EvaluatePhase)->Apply(SizesAndRoots);

}  // namespace
}  // namespace tarvox::thermo
