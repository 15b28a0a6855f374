// Timing of the flashes that a host fluid calls most: two-phase and three-phase TP flashes and
// bubble-point pressures, for 10 and 20 components, a gas near its critical point and a
// characterised oil of 80 components. Each benchmark fails if the flash does not
// give the expected number of phases, so the timings are of real solutions. Every flash case runs
// twice: through FlashTP (a fresh engine per call) and as *Engine, one FlashEngine reused across
// iterations as the host fluid keeps it. The counter "iterations" is that of the flash's last call.
#include <benchmark/benchmark.h>

#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "bench_fluids.hpp"
#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/saturation.hpp"

namespace tarvox::thermo::bench {
namespace {

constexpr std::array<double, 6> kNearCriticalGas{0.75, 0.10, 0.06, 0.04, 0.03, 0.02};
constexpr double kNearCriticalTemperature = 250.0;  // K
constexpr double kNearCriticalPressure = 6000.0;    // kPa

// The same fluids with a quarter of the moles replaced by water (vapour, oil and water).
Case WithWater(int size) {
  Case c = Hydrocarbons(size);
  c.names.back() = "water";
  for (double& z : c.feed) z *= 0.75;
  c.feed.back() += 0.25;
  return c;
}

enum class Engine { kFreshPerCall, kReused };

// Flashes the feed at T and P once per iteration and fails unless it gives `phases` phases.
void TimeFlash(benchmark::State& state, Engine engine, const Mixture& mixture, double temperature,
               double pressure, const std::vector<double>& feed, int phases) {
  FlashEngine reused(mixture);
  int iterations = 0;
  for (auto _ : state) {
    const auto flash = engine == Engine::kReused ? reused.Flash(temperature, pressure, feed)
                                                 : FlashTP(mixture, temperature, pressure, feed);
    if (flash.phase_count != phases) state.SkipWithError("unexpected number of phases");
    iterations = flash.iterations;
    benchmark::DoNotOptimize(flash.enthalpy);
  }
  state.counters["iterations"] = iterations;
}

void FlashTwoPhase(benchmark::State& state, Engine engine) {
  const auto c = Hydrocarbons(static_cast<int>(state.range(0)));
  TimeFlash(state, engine, MakeMixture(Database(), c.names), 300.0, 4000.0, c.feed, 2);
}
void BM_FlashTwoPhase(benchmark::State& state) { FlashTwoPhase(state, Engine::kFreshPerCall); }
void BM_FlashTwoPhaseEngine(benchmark::State& state) { FlashTwoPhase(state, Engine::kReused); }

void FlashThreePhase(benchmark::State& state, Engine engine) {
  const auto c = WithWater(static_cast<int>(state.range(0)));
  TimeFlash(state, engine, MakeMixture(Database(), c.names), 313.15, 3000.0, c.feed, 3);
}
void BM_FlashThreePhase(benchmark::State& state) { FlashThreePhase(state, Engine::kFreshPerCall); }
void BM_FlashThreePhaseEngine(benchmark::State& state) { FlashThreePhase(state, Engine::kReused); }

// The same components as a black oil: heavier, so the bubble point lies well below the critical point.
Case Oil(int size) {
  Case c = Hydrocarbons(size);
  if (size == 10) {
    c.feed = {0.005, 0.01, 0.30, 0.07, 0.06, 0.05, 0.05, 0.06, 0.09, 0.305};
  } else {
    c.feed = {0.005, 0.01, 0.003, 0.28, 0.06, 0.05, 0.01, 0.03, 0.01, 0.03,
              0.05,  0.06, 0.07,  0.06, 0.08, 0.14, 0.02, 0.01, 0.02, 0.002};
  }
  return c;
}

void BM_BubblePoint(benchmark::State& state) {
  const auto c = Oil(static_cast<int>(state.range(0)));
  const auto mixture = MakeMixture(Database(), c.names);
  for (auto _ : state) {
    const auto bubble = BubblePointPressure(mixture, 300.0, c.feed);
    if (!bubble.converged()) state.SkipWithError("bubble point failed");
    benchmark::DoNotOptimize(bubble.pressure);
  }
}

// A lean gas just inside its two-phase region, close to the critical point: substitution is slow there.
void FlashNearCritical(benchmark::State& state, Engine engine) {
  const auto mixture = MakeMixture(Database(), std::vector<std::string>{"methane", "ethane", "propane",
                                                                        "n-butane", "n-pentane", "n-hexane"});
  const std::vector<double> feed{kNearCriticalGas.begin(), kNearCriticalGas.end()};
  TimeFlash(state, engine, mixture, kNearCriticalTemperature, kNearCriticalPressure, feed, 2);
}
void BM_FlashNearCritical(benchmark::State& state) { FlashNearCritical(state, Engine::kFreshPerCall); }
void BM_FlashNearCriticalEngine(benchmark::State& state) { FlashNearCritical(state, Engine::kReused); }

void FlashEightyComponents(benchmark::State& state, Engine engine) {
  std::vector<double> feed;
  const auto mixture = CharacterisedOil(feed);
  TimeFlash(state, engine, mixture, 350.0, 5000.0, feed, 2);
}
void BM_FlashEightyComponents(benchmark::State& state) {
  FlashEightyComponents(state, Engine::kFreshPerCall);
}
void BM_FlashEightyComponentsEngine(benchmark::State& state) {
  FlashEightyComponents(state, Engine::kReused);
}

BENCHMARK(BM_FlashTwoPhase)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashTwoPhaseEngine)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashThreePhase)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashThreePhaseEngine)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BubblePoint)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashNearCritical)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashNearCriticalEngine)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashEightyComponents)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashEightyComponentsEngine)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvox::thermo::bench
