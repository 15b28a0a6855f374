#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tarvox_platform/com_runtime.h"
#include "tests/support/raoult_mixture.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::RaoultComponent;
using testing::RaoultMixture;
using testing::ThreePhaseFluid;
using namespace testing;  // component data

constexpr double kReferenceTemperature = 37.778;

bool IsBubblePointFlash(const FluidState& r) {
  return r.Pressure == EMPTY_VALUE && r.PhaseFraction[0] == 0.0;
}

// A flash result with the vapour-to-liquid volume ratio `ratio` at a flow of 100 kmol.
HRESULT Split(FluidState& r, double ratio) {
  r.PhasePresent[0] = r.PhasePresent[1] = 1;
  r.PhasePresent[2] = 0;
  r.PhaseFraction[0] = r.PhaseFraction[1] = 0.5;
  r.PhaseFraction[2] = 0.0;
  r.MolarVolume[0] = ratio;
  r.MolarVolume[1] = 1.0;
  return S_OK;
}

HRESULT AllVapour(FluidState& r) {
  r.PhasePresent[0] = 1;
  r.PhasePresent[1] = r.PhasePresent[2] = 0;
  r.PhaseFraction[0] = 1.0;
  r.PhaseFraction[1] = r.PhaseFraction[2] = 0.0;
  r.MolarVolume[0] = 1.0;
  return S_OK;
}

// A two-component stream whose flashes a test scripts by hand.
ComPtr<host::ScriptedFluid> ScriptedPair() { return RaoultMixture({kPropane, kButane}).Stream({0.5, 0.5}); }

std::string FeedMessage(const char* text) { return std::string("Phase: FEED - ") + text; }

// ---- Reid feed preparation -------------------------------------------------------------------

struct Feed {
  std::vector<double> z;
  FluidState record{};
  explicit Feed(std::vector<double> values) : z(std::move(values)) {
    record.ComponentCount = static_cast<int>(z.size());
    record.Composition[kFeed] = z.data();
  }
};

TEST(ReidFeed, ComponentsMatchByEitherColumnAndOnlyBelowTheThreshold) {
  CPropertyCalculator& calc = GetPropertyCalculator();
  // methane by identifier only, nitrogen by CAS only, hydrogen by neither, propane
  const double ids[] = {1, 99, 98, 3};
  const double cas[] = {1, 7727379, 1, 74986};
  Feed feed({0.01, 0.01, 0.01, 0.97});
  calc.RemoveNonCondensables(ids, cas, feed.record, 5.0);
  const std::vector<double> expected{0.0, 0.0, 0.01 / 0.98, 0.97 / 0.98};
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(feed.z[i], expected[i], 1e-15);

  Feed at_threshold({0.02, 0.98, 0.0, 0.0});
  calc.RemoveNonCondensables(ids, cas, at_threshold.record, 2.0);
  EXPECT_EQ(at_threshold.z[0], 0.02);  // equal to the threshold: kept

  Feed water({0.2, 0.3, 0.5});
  const double water_ids[] = {19, 5, 7};
  const double water_cas[] = {0, 7732185, 109660};
  calc.RemoveWater(water_ids, water_cas, water.record);
  EXPECT_EQ(water.z, (std::vector<double>{0.0, 0.0, 1.0}));
}

TEST(ReidFeed, AMissingColumnLeavesMatchingToTheOther) {
  CPropertyCalculator& calc = GetPropertyCalculator();
  const double ids[] = {1, 3};
  const double cas[] = {74828, 74986};
  Feed by_cas({0.01, 0.99});
  calc.RemoveNonCondensables(nullptr, cas, by_cas.record, 5.0);
  EXPECT_EQ(by_cas.z[0], 0.0);
  Feed by_id({0.01, 0.99});
  calc.RemoveNonCondensables(ids, nullptr, by_id.record, 5.0);
  EXPECT_EQ(by_id.z[0], 0.0);
  Feed neither({0.01, 0.99});
  calc.RemoveNonCondensables(nullptr, nullptr, neither.record, 5.0);
  calc.RemoveWater(nullptr, nullptr, neither.record);
  EXPECT_EQ(neither.z, (std::vector<double>{0.01, 0.99}));
}

TEST(ReidFeed, RemovingEverythingLeavesZerosAndTheReidValueEmpty) {
  CPropertyCalculator& calc = GetPropertyCalculator();
  const double ids[] = {1, 13};
  Feed feed({0.5, 0.5});
  calc.RemoveNonCondensables(ids, nullptr, feed.record, 60.0);
  EXPECT_EQ(feed.z, (std::vector<double>{0.0, 0.0}));

  auto fluid = RaoultMixture({kMethane, kNitrogen}).Stream({0.5, 0.5});
  BoundFluid bound(fluid.Get());
  EXPECT_EQ(bound->GetRVP_100F(kFeed, 60.0), EMPTY_VALUE);
  EXPECT_EQ(bound->GetRVPBisection(kFeed, 60.0), EMPTY_VALUE);
  EXPECT_EQ(fluid->Count("Flash"), 0);
  EXPECT_TRUE(fluid->messages.empty());
}

TEST(ReidFeed, ShortOrMissingHostColumnsAreMatchedByTheOtherOrNotAtAll) {
  const RaoultMixture mixture({kMethane, kPropane, kButane});
  for (const char* dropped : {"ComponentIDs", "CAS_Numbers"}) {
    auto fluid = mixture.Stream({0.01, 0.49, 0.5});
    fluid->arrays[dropped].pop_back();  // shorter than n: counts as missing
    std::vector<double> first_feed;
    fluid->flash = [&](FluidState& r) {
      if (first_feed.empty()) first_feed.assign(r.Composition[kFeed], r.Composition[kFeed] + 3);
      return E_FAIL;
    };
    BoundFluid bound(fluid.Get());
    bound->GetRVP_100F(kFeed, 5.0);
    EXPECT_EQ(first_feed[0], 0.0) << dropped;
  }
  auto fluid = mixture.Stream({0.01, 0.49, 0.5});
  fluid->arrays.erase("ComponentIDs");
  fluid->arrays.erase("CAS_Numbers");
  std::vector<double> first_feed;
  fluid->flash = [&](FluidState& r) {
    if (first_feed.empty()) first_feed.assign(r.Composition[kFeed], r.Composition[kFeed] + 3);
    return E_FAIL;
  };
  BoundFluid bound(fluid.Get());
  bound->GetRVP_100F(kFeed, 5.0);
  EXPECT_DOUBLE_EQ(first_feed[0], 0.01);
}

// ---- True vapour pressure --------------------------------------------------------------------

TEST(TrueVapourPressure, IsTheBubblePointOfThePhaseCompositionWithoutRemovals) {
  const RaoultMixture mixture({kMethane, kPropane, kWater});
  auto fluid = mixture.Stream({0.001, 0.899, 0.1});
  fluid->compositions[kLiquid1] = std::vector<double>{0.0, 0.2, 0.8};
  std::vector<FluidState> asked;
  fluid->flash = [&](FluidState& r) {
    asked.push_back(r);
    return mixture.Flash(r);
  };
  BoundFluid bound(fluid.Get());
  EXPECT_NEAR(bound->GetTVP_100F(kFeed), 0.001 * 35000.0 + 0.899 * 1300.0 + 0.1 * 6.56, 1e-9);
  EXPECT_NEAR(bound->GetTVP_100F(kLiquid1), 0.2 * 1300.0 + 0.8 * 6.56, 1e-9);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(double{asked[0].Temperature}, kReferenceTemperature);
  EXPECT_TRUE(IsBubblePointFlash(asked[0]));
  EXPECT_TRUE(fluid->messages.empty());
}

TEST(TrueVapourPressure, IsEmptyForAFailedFlashAnAbsentPhaseOrNoFlashInterface) {
  auto fluid = ThreePhaseFluid();
  BoundFluid bound(fluid.Get());
  EXPECT_EQ(bound->GetTVP_100F(kFeed), EMPTY_VALUE);  // the scripted flash fails by default
  EXPECT_EQ(fluid->Count("Flash"), 1);
  EXPECT_EQ(bound->GetTVP_100F(kSolid), EMPTY_VALUE);
  EXPECT_EQ(fluid->Count("Flash"), 1);
  fluid->offer_flash = false;
  fluid->flash = [](FluidState&) { return S_OK; };
  EXPECT_EQ(bound->GetTVP_100F(kFeed), EMPTY_VALUE);
  EXPECT_TRUE(fluid->messages.empty());
}

// ---- Reid vapour pressure: convergence -------------------------------------------------------

struct ReidRun {
  double value;
  int flashes;
};

ReidRun RunReid(const RaoultMixture& mixture, const std::vector<double>& z, double percent = 0.0) {
  auto fluid = mixture.Stream(z);
  BoundFluid bound(fluid.Get());
  const double value = bound->GetRVP_100F(kFeed, percent);
  EXPECT_TRUE(fluid->messages.empty());
  return {value, fluid->flash_count};
}

TEST(ReidVapourPressure, ConvergesToAFourToOneVolumeSplitOnIdealMixtures) {
  const RaoultMixture mixture({kPropane, kButane, kPentane, kHexane, kHeptane});
  std::mt19937 random(20240611);
  std::uniform_real_distribution<double> share(0.05, 1.0);
  std::vector<int> counts;
  for (int fluid_no = 0; fluid_no < 12; ++fluid_no) {
    std::vector<double> z(5);
    double sum = 0.0;
    for (double& x : z) sum += x = share(random);
    for (double& x : z) x /= sum;
    const ReidRun run = RunReid(mixture, z);
    ASSERT_GT(run.value, 0.0) << fluid_no;
    EXPECT_LT(run.value, mixture.BubblePressure(z.data()));
    EXPECT_NEAR(mixture.VolumeRatio(z.data(), run.value), 4.0, 1.0001e-5) << fluid_no;
    counts.push_back(run.flashes);
  }
  std::sort(counts.begin(), counts.end());
  RecordProperty("median_flashes", counts[counts.size() / 2]);
  RecordProperty("worst_flashes", counts.back());
  EXPECT_LT(counts.back(), 52);  // never the fallback's count
}

TEST(ReidVapourPressure, RemovesMethaneOnlyBelowTheThresholdAndWaterAlways) {
  const RaoultMixture mixture({kMethane, kPropane, kPentane, kWater});
  const std::vector<double> z{0.02, 0.4, 0.48, 0.1};
  // Below the threshold: methane and water gone, the rest renormalised.
  const std::vector<double> without{0.0, 0.4 / 0.88, 0.48 / 0.88, 0.0};
  const ReidRun removed = RunReid(mixture, z, 2.5);
  EXPECT_NEAR(mixture.VolumeRatio(without.data(), removed.value), 4.0, 1.0001e-5);
  for (double percent : {2.0, 1.5, 0.0}) {
    const std::vector<double> with{0.02 / 0.9, 0.4 / 0.9, 0.48 / 0.9, 0.0};
    const ReidRun kept = RunReid(mixture, z, percent);
    EXPECT_NEAR(mixture.VolumeRatio(with.data(), kept.value), 4.0, 1.0001e-5) << percent;
    EXPECT_GT(kept.value, removed.value);
  }
}

TEST(ReidVapourPressure, EvaluatesEachPhaseOnItsOwnComposition) {
  const RaoultMixture mixture({kPropane, kHexane});
  auto fluid = mixture.Stream({0.3, 0.7});
  fluid->compositions[kLiquid1] = std::vector<double>{0.1, 0.9};
  BoundFluid bound(fluid.Get());
  const std::vector<double> x{0.1, 0.9};
  EXPECT_NEAR(mixture.VolumeRatio(x.data(), bound->GetRVP_100F(kLiquid1, 0.0)), 4.0, 1.0001e-5);
  EXPECT_EQ(bound->GetRVP_100F(kVapour, 0.0), EMPTY_VALUE);  // absent
  EXPECT_TRUE(fluid->messages.empty());
}

// ---- Reid vapour pressure: shortcuts ---------------------------------------------------------

TEST(ReidVapourPressure, ASingleRemainingComponentReturnsItsTrueVapourPressure) {
  const std::string message = "Fluid has only one active component - returning TVP as RVP";
  struct Case {
    RaoultMixture mixture;
    std::vector<double> z;
    double percent;
    double tvp;
  } cases[] = {
      {RaoultMixture({kPropane, kButane}), {1.0, 0.0}, 0.0, 1300.0},
      {RaoultMixture({kHexane, kWater}), {0.0, 1.0}, 0.0, 6.56},       // water kept when alone
      {RaoultMixture({kMethane, kButane}), {0.01, 0.99}, 2.0, 356.0},  // methane removed
  };
  for (const Case& c : cases) {
    auto fluid = c.mixture.Stream(c.z);
    BoundFluid bound(fluid.Get());
    EXPECT_NEAR(bound->GetRVP_100F(kFeed, c.percent), c.tvp, 1e-9);
    EXPECT_EQ(fluid->messages, std::vector<std::string>{message});
    EXPECT_EQ(fluid->flash_count, 1);
    EXPECT_NEAR(bound->GetRVPBisection(kFeed, c.percent), c.tvp, 1e-9);
    EXPECT_EQ(fluid->messages.size(), 2u);
  }
}

TEST(ReidVapourPressure, AVerySmallOrEmptyTrueVapourPressureIsReturned) {
  for (double tvp : {EMPTY_VALUE, 0.0005}) {
    auto fluid = ScriptedPair();
    fluid->flash = [tvp](FluidState& r) {
      r.Pressure = tvp;
      return S_OK;
    };
    BoundFluid bound(fluid.Get());
    EXPECT_EQ(bound->GetRVP_100F(kFeed, 0.0), tvp);
    EXPECT_EQ(fluid->messages, std::vector<std::string>{"Fluid has very small TVP - returning TVP as RVP"});
    EXPECT_EQ(fluid->flash_count, 1);
  }
}

TEST(ReidVapourPressure, AnAbsentPhaseOrAnIncompleteStreamIsEmptyWithoutMessageOrFlash) {
  auto fluid = ThreePhaseFluid();
  fluid->flash = [](FluidState& r) { return Split(r, 4.0); };
  {
    BoundFluid bound(fluid.Get());
    EXPECT_EQ(bound->GetRVP_100F(kSolid, 0.0), EMPTY_VALUE);
    EXPECT_EQ(bound->GetRVPBisection(kSolid, 0.0), EMPTY_VALUE);
  }
  fluid->compositions[kFeed] = std::vector<double>{0.5, EMPTY_VALUE, 0.5};
  {
    BoundFluid bound(fluid.Get());
    EXPECT_EQ(bound->GetRVP_100F(kLiquid1, 0.0), EMPTY_VALUE);
  }
  fluid->compositions[kFeed] = std::vector<double>{0.5, 0.3, 0.2};
  fluid->state.Pressure = EMPTY_VALUE;
  {
    BoundFluid bound(fluid.Get());
    EXPECT_EQ(bound->GetRVP_100F(kFeed, 0.0), EMPTY_VALUE);
  }
  EXPECT_EQ(fluid->Count("Flash"), 0);
  EXPECT_TRUE(fluid->messages.empty());
}

// ---- Reid vapour pressure: failures and fallback ---------------------------------------------

TEST(ReidVapourPressure, AFailedBubblePointNamesThePhaseAndFallsBack) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhasePresent[kSolid] = 1;
  fluid->compositions[kSolid] = std::vector<double>{0.0, 0.0, 1.0};
  BoundFluid bound(fluid.Get());
  const char* labels[] = {"VAP", "LIQ1", "LIQ2", "SOLID", "FEED"};
  for (int phase = 0; phase < 5; ++phase) {
    fluid->messages.clear();
    const int before = fluid->flash_count;
    EXPECT_EQ(bound->GetRVP_100F(phase, 0.0), EMPTY_VALUE);
    EXPECT_EQ(fluid->messages, std::vector<std::string>{std::string("Phase: ") + labels[phase] +
                                                        " - Reid VP Calculation Requires TVP."});
    EXPECT_EQ(fluid->flash_count - before, 2);  // its own and the fallback's bubble point
  }
}

TEST(ReidVapourPressure, AFailedFirstPressureFlashFallsBackToTheBisection) {
  const RaoultMixture mixture({kPropane, kPentane, kHeptane});
  const std::vector<double> z{0.3, 0.4, 0.3};
  const double converged = RunReid(mixture, z).value;
  auto fluid = mixture.Stream(z);
  int pressure_flashes = 0;
  fluid->flash = [&](FluidState& r) {
    if (r.Pressure != EMPTY_VALUE && ++pressure_flashes == 1) return E_FAIL;
    return mixture.Flash(r);
  };
  BoundFluid bound(fluid.Get());
  const double value = bound->GetRVP_100F(kFeed, 0.0);
  EXPECT_EQ(fluid->messages, std::vector<std::string>{FeedMessage("Flash to determine RVP has failed.")});
  EXPECT_NEAR(value, converged, 2e-3 * converged);
  EXPECT_NE(value, converged);
}

// Bubble point at `tvp`; every flash at a given pressure answered by `at_pressure`; flashes at a
// vaporised fraction (the bisection's lower bound) fail.
template <typename F>
void ScriptPressures(host::ScriptedFluid& fluid, double tvp, F at_pressure) {
  fluid.flash = [tvp, at_pressure](FluidState& r) mutable -> HRESULT {
    if (IsBubblePointFlash(r)) {
      r.Pressure = tvp;
      return S_OK;
    }
    if (r.Pressure == EMPTY_VALUE) return E_FAIL;
    return at_pressure(r);
  };
}

TEST(ReidVapourPressure, NoLiquidInFiftyPressureFlashesFallsBackEvenIfTheLastFormsLiquid) {
  const std::string message =
      FeedMessage("ASTM D323-73/79 not converged, when iterating to RVP, at 50 iterations.");
  for (int liquid_at : {1000, 50, 49}) {
    auto fluid = ScriptedPair();
    std::vector<double> pressures;
    ScriptPressures(*fluid.Get(), 100.0, [&](FluidState& r) {
      pressures.push_back(double{r.Pressure});
      return static_cast<int>(pressures.size()) >= liquid_at ? Split(r, 4.0) : AllVapour(r);
    });
    BoundFluid bound(fluid.Get());
    const double value = bound->GetRVP_100F(kFeed, 0.0);
    EXPECT_EQ(pressures[0], 90.0);
    EXPECT_EQ(pressures[1], 5090.0);
    if (liquid_at == 49) {
      EXPECT_EQ(value, 90.0 + 48 * 5000.0);  // the ratio already meets the target
      EXPECT_TRUE(fluid->messages.empty());
      EXPECT_EQ(fluid->flash_count, 50);
    } else {
      EXPECT_EQ(value, EMPTY_VALUE);
      EXPECT_EQ(fluid->messages, std::vector<std::string>{message});
      EXPECT_EQ(fluid->flash_count, 1 + 50 + 3);  // then the fallback: bubble point, two lower bounds
    }
  }
}

TEST(ReidVapourPressure, AnEmptyLiquidVolumeFallsBackAtOnce) {
  auto fluid = ScriptedPair();
  ScriptPressures(*fluid.Get(), 100.0, [](FluidState& r) {
    Split(r, 4.0);
    r.MolarVolume[1] = EMPTY_VALUE;
    return S_OK;
  });
  BoundFluid bound(fluid.Get());
  EXPECT_EQ(bound->GetRVP_100F(kFeed, 0.0), EMPTY_VALUE);
  EXPECT_EQ(fluid->messages, std::vector<std::string>{FeedMessage(
                                 "ASTM D323-73/79 not converged, when iterating to RVP, at 50 iterations.")});
  EXPECT_EQ(fluid->flash_count, 1 + 1 + 3);
}

TEST(ReidVapourPressure, ACountOfFiftyFallsBackEvenWhenTheLastStepMeetsTheTolerance) {
  for (int target_at : {49, 48}) {
    auto fluid = ScriptedPair();
    int stage2 = -1;  // the first pressure flash is stage 1's
    double last = 0.0;
    ScriptPressures(*fluid.Get(), 100.0, [&](FluidState& r) {
      last = r.Pressure;
      return Split(r, ++stage2 == target_at ? 4.0 : 5.0);
    });
    BoundFluid bound(fluid.Get());
    const double value = bound->GetRVP_100F(kFeed, 0.0);
    if (target_at == 49) {
      EXPECT_EQ(value, EMPTY_VALUE);
      EXPECT_EQ(fluid->messages, std::vector<std::string>{
                                     FeedMessage("not converged, when iterating to RVP, at 50 iterations.")});
      EXPECT_EQ(fluid->flash_count, 1 + 1 + 49 + 3);
    } else {
      EXPECT_EQ(value, last);
      EXPECT_NEAR(value, 90.0 * std::pow(1.1, 48), 1e-9 * value);
      EXPECT_TRUE(fluid->messages.empty());
    }
  }
}

TEST(ReidVapourPressure, ATargetMetInStageOneNeedsNoFurtherFlash) {
  auto fluid = ScriptedPair();
  ScriptPressures(*fluid.Get(), 100.0, [](FluidState& r) { return Split(r, 4.0); });
  BoundFluid bound(fluid.Get());
  EXPECT_EQ(bound->GetRVP_100F(kFeed, 0.0), 90.0);
  EXPECT_EQ(fluid->flash_count, 2);
}

TEST(ReidVapourPressure, BelowATenthOfAKilopascalTheSecantRunsInReciprocalPressure) {
  // The ratio 0.16 / P is linear in 1 / P, so that secant lands on 0.04 kPa at once.
  auto fluid = ScriptedPair();
  std::vector<double> pressures;
  ScriptPressures(*fluid.Get(), 0.05, [&](FluidState& r) {
    pressures.push_back(double{r.Pressure});
    return Split(r, 0.16 / r.Pressure);
  });
  BoundFluid bound(fluid.Get());
  const double value = bound->GetRVP_100F(kFeed, 0.0);
  ASSERT_GE(pressures.size(), 3u);
  EXPECT_NEAR(pressures[0], 0.045, 1e-15);
  EXPECT_NEAR(pressures[1], 0.0495, 1e-15);
  EXPECT_NEAR(pressures[2], 0.04, 1e-12);
  EXPECT_NEAR(value, 0.04, 1e-9);
  EXPECT_TRUE(fluid->messages.empty());
}

TEST(ReidVapourPressure, ANonPositiveSecantStepIsRetriedShorterOrHalved) {
  struct Case {
    double ratio_at_90;
    double expected;
  } cases[] = {{4.95, 81.0}, {4.999, 49.5}};
  for (const Case& c : cases) {
    auto fluid = ScriptedPair();
    std::vector<double> pressures;
    ScriptPressures(*fluid.Get(), 100.0, [&](FluidState& r) -> HRESULT {
      pressures.push_back(double{r.Pressure});
      if (pressures.size() == 3) return E_FAIL;  // stop after the step of interest
      return Split(r, pressures.size() == 1 ? c.ratio_at_90 : 5.0);
    });
    BoundFluid bound(fluid.Get());
    bound->GetRVP_100F(kFeed, 0.0);
    ASSERT_EQ(pressures.size(), 3u);
    EXPECT_NEAR(pressures[2], c.expected, 1e-9);
    EXPECT_EQ(fluid->messages, std::vector<std::string>{FeedMessage("Flash to determine RVP has failed.")});
  }
}

TEST(ReidVapourPressure, ALongSecantStepIsFlashedFirstAndCutShortWhenItCrossesTheTarget) {
  for (bool check_fails : {false, true}) {
    auto fluid = ScriptedPair();
    std::vector<FluidState> asked;
    ScriptPressures(*fluid.Get(), 100.0, [&](FluidState& r) -> HRESULT {
      asked.push_back(r);
      switch (asked.size()) {
        case 1:
          return Split(r, 10.0);  // at 90
        case 2:
          return Split(r, 9.9);  // at 99: the secant reaches 630
        case 3:
          return check_fails ? E_FAIL : Split(r, 1.0);
        default:
          return E_FAIL;
      }
    });
    BoundFluid bound(fluid.Get());
    bound->GetRVP_100F(kFeed, 0.0);
    ASSERT_EQ(asked.size(), check_fails ? 3u : 4u);
    EXPECT_NEAR(double{asked[2].Pressure}, 630.0, 1e-9);
    EXPECT_EQ(double{asked[2].PhaseFraction[0]}, 0.5);  // the check flash resets nothing
    if (!check_fails) {
      EXPECT_NEAR(double{asked[3].Pressure}, 1.02 * 99.0, 1e-12);
    }
    EXPECT_EQ(fluid->messages, std::vector<std::string>{FeedMessage("Flash to determine RVP has failed.")});
  }
}

// ---- Bisection fallback ----------------------------------------------------------------------

TEST(ReidBisection, ConvergesNearTheSecantResult) {
  const RaoultMixture mixture({kButane, kHexane});
  const std::vector<double> z{0.4, 0.6};
  const double converged = RunReid(mixture, z).value;
  auto fluid = mixture.Stream(z);
  BoundFluid bound(fluid.Get());
  EXPECT_NEAR(bound->GetRVPBisection(kFeed, 0.0), converged, 2e-3 * converged);
  EXPECT_TRUE(fluid->messages.empty());
}

TEST(ReidBisection, FailsSilently) {
  auto fluid = ScriptedPair();
  fluid->flash = [](FluidState&) { return E_FAIL; };
  BoundFluid bound(fluid.Get());
  EXPECT_EQ(bound->GetRVPBisection(kFeed, 0.0), EMPTY_VALUE);  // bubble point fails
  EXPECT_EQ(fluid->flash_count, 1);

  std::vector<double> fractions;
  fluid->flash = [&](FluidState& r) -> HRESULT {
    if (IsBubblePointFlash(r)) {
      r.Pressure = 100.0;
      return S_OK;
    }
    fractions.push_back(double{r.PhaseFraction[0]});
    return E_FAIL;
  };
  EXPECT_EQ(bound->GetRVPBisection(kFeed, 0.0), EMPTY_VALUE);  // both lower bounds fail
  EXPECT_EQ(fractions, (std::vector<double>{0.99, 0.8}));

  fluid->flash = [](FluidState& r) {
    if (r.Pressure == EMPTY_VALUE) r.Pressure = 50.0;
    return AllVapour(r);
  };
  EXPECT_EQ(bound->GetRVPBisection(kFeed, 0.0), EMPTY_VALUE);  // no liquid at the lower bound

  int flashes = 0;
  fluid->flash = [&](FluidState& r) {
    ++flashes;
    if (r.Pressure == EMPTY_VALUE) r.Pressure = IsBubblePointFlash(r) ? 100.0 : 1e-20;
    return Split(r, 3.0);  // the bracket shrinks towards a lower end too small ever to converge
  };
  EXPECT_EQ(bound->GetRVPBisection(kFeed, 0.0), EMPTY_VALUE);
  EXPECT_EQ(flashes, 2 + 50);
  EXPECT_TRUE(fluid->messages.empty());
}

TEST(ReidBisection, ALowerBoundAtZeroPressureStillBrackets) {
  auto fluid = ScriptedPair();
  fluid->flash = [](FluidState& r) {
    if (IsBubblePointFlash(r)) {
      r.Pressure = 100.0;
      return S_OK;
    }
    if (r.Pressure == EMPTY_VALUE) {
      r.Pressure = 0.0;
      return Split(r, 3.0);
    }
    return Split(r, 200.0 / r.Pressure);  // four to one at 50 kPa, the first middle
  };
  BoundFluid bound(fluid.Get());
  EXPECT_EQ(bound->GetRVPBisection(kFeed, 0.0), 50.0);
}

// ---- Resources -------------------------------------------------------------------------------

TEST(VapourPressureResources, EveryWorkingRecordAndArrayIsFreedOnEveryPath) {
  const RaoultMixture mixture({kMethane, kPropane, kHexane, kWater});
  auto fluid = mixture.Stream({0.01, 0.4, 0.5, 0.09});
  BoundFluid bound(fluid.Get());
  ASSERT_EQ(bound->LoadFluidState(), 1);
  bound->GetNamedArray("ComponentIDs", 0);
  const StateReuse reuse(*bound);  // the loaded state and the named-array buffer stay the calculator's
  const long before = tarvox_platform::LiveTaskBlocks();
  EXPECT_GT(bound->GetTVP_100F(kFeed), 0.0);
  EXPECT_GT(bound->GetRVP_100F(kFeed, 5.0), 0.0);
  EXPECT_GT(bound->GetRVPBisection(kFeed, 5.0), 0.0);
  int pressure_flashes = 0;
  fluid->flash = [&](FluidState& r) {
    if (r.Pressure != EMPTY_VALUE && ++pressure_flashes == 3) return E_FAIL;
    return mixture.Flash(r);
  };
  EXPECT_GT(bound->GetRVP_100F(kFeed, 5.0), 0.0);  // stage 2 fails, the bisection answers
  fluid->flash = [](FluidState&) { return E_FAIL; };
  EXPECT_EQ(bound->GetRVP_100F(kFeed, 5.0), EMPTY_VALUE);
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), before);
}

}  // namespace
}  // namespace tarvox
