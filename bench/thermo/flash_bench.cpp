// Timing of the flashes that a host fluid calls most: two-phase and three-phase TP flashes and
// bubble-point pressures, for 10 and 20 components. Each benchmark fails if the flash does not
// give the expected number of phases, so the timings are of real solutions.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/saturation.hpp"

namespace tarvox::thermo {
namespace {

const ComponentDatabase& Database() {
  static const ComponentDatabase database =
      ComponentDatabase::Load(std::string(TARVOX_THERMO_DATA_DIR) + "/components.csv",
                              std::string(TARVOX_THERMO_DATA_DIR) + "/kij_pr.csv");
  return database;
}

struct Case {
  std::vector<std::string> names;
  std::vector<double> feed;
};

// Gas-condensate fluids without water (two phases at separator conditions).
Case Hydrocarbons(int size) {
  if (size == 10) {
    return {{"nitrogen", "carbon dioxide", "methane", "ethane", "propane", "n-butane", "n-pentane",
             "n-hexane", "n-heptane", "n-decane"},
            {0.01, 0.02, 0.60, 0.08, 0.06, 0.05, 0.04, 0.04, 0.05, 0.05}};
  }
  return {{"nitrogen", "carbon dioxide", "hydrogen sulfide", "methane",  "ethane",    "propane",  "isobutane",
           "n-butane", "isopentane",     "n-pentane",        "n-hexane", "n-heptane", "n-octane", "n-nonane",
           "n-decane", "n-dodecane",     "cyclohexane",      "benzene",  "toluene",   "ethylene"},
          {0.01, 0.02, 0.005, 0.55, 0.07, 0.05, 0.01, 0.03,  0.01, 0.02,
           0.03, 0.03, 0.03,  0.02, 0.03, 0.02, 0.01, 0.005, 0.01, 0.01}};
}

// The same fluids with a quarter of the moles replaced by water (vapour, oil and water).
Case WithWater(int size) {
  Case c = Hydrocarbons(size);
  c.names.back() = "water";
  for (double& z : c.feed) z *= 0.75;
  c.feed.back() += 0.25;
  return c;
}

void BM_FlashTwoPhase(benchmark::State& state) {
  const auto c = Hydrocarbons(static_cast<int>(state.range(0)));
  const auto mixture = MakeMixture(Database(), c.names);
  for (auto _ : state) {
    const auto flash = FlashTP(mixture, 300.0, 4000.0, c.feed);
    if (flash.phase_count != 2) state.SkipWithError("expected two phases");
    benchmark::DoNotOptimize(flash.enthalpy);
  }
}

void BM_FlashThreePhase(benchmark::State& state) {
  const auto c = WithWater(static_cast<int>(state.range(0)));
  const auto mixture = MakeMixture(Database(), c.names);
  for (auto _ : state) {
    const auto flash = FlashTP(mixture, 313.15, 3000.0, c.feed);
    if (flash.phase_count != 3) state.SkipWithError("expected three phases");
    benchmark::DoNotOptimize(flash.enthalpy);
  }
}

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

BENCHMARK(BM_FlashTwoPhase)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlashThreePhase)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BubblePoint)->Arg(10)->Arg(20)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tarvox::thermo
