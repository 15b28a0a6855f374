#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ConnectedCorrelation;
using testing::ThreePhaseFluid;

constexpr double kStandardGas = 85119.9696;

// One phase of a scripted flash result: methane, n-hexane, water.
struct FlashedPhase {
  double beta = 0.0;
  int present = 0;
  double volume = EMPTY_VALUE;
  std::vector<double> x{0.0, 0.0, 0.0};
};

void Fill(FluidState& record, int phase, const FlashedPhase& p) {
  record.PhaseFraction[phase] = p.beta;
  record.PhasePresent[phase] = p.present;
  record.MolarVolume[phase] = p.volume;
  std::copy(p.x.begin(), p.x.end(), record.Composition[phase]);
}

ComPtr<host::ScriptedFluid> ReservoirFluid() {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["CAS_Numbers"] = {74828.0, 110543.0, 7732185.0};
  return fluid;
}

// A flash that gives the same three phases whatever it is asked.
void FlashTo(host::ScriptedFluid& fluid, FlashedPhase vapour, FlashedPhase oil, FlashedPhase second) {
  fluid.flash = [=](FluidState& r) {
    Fill(r, 0, vapour);
    Fill(r, 1, oil);
    Fill(r, 2, second);
    return S_OK;
  };
}

const FlashedPhase kGas{0.4, 1, 23.6, {0.98, 0.02, 0.0}};
const FlashedPhase kOil{0.6, 1, 0.13, {0.02, 0.97, 0.01}};
const FlashedPhase kNone{};

TEST(SolutionGOR, StandardGasPerStandardOil) {
  auto fluid = ReservoirFluid();
  FlashTo(*fluid.Get(), kGas, kOil, kNone);
  BoundFluid calc(fluid.Get());
  const double expected = 0.4 * kStandardGas / (3600.0 * 0.6 * 0.13);
  EXPECT_NEAR(calc->GetSolutionGOR(), expected, 1e-12 * expected);
  EXPECT_EQ(calc->GetSolutionWOR(), EMPTY_VALUE);  // no aqueous second liquid
}

TEST(SolutionGOR, FlashesTheOverallCompositionAtStandardConditions) {
  auto fluid = ReservoirFluid();
  FluidState seen{};
  std::vector<double> feed;
  fluid->flash = [&](FluidState& r) {
    seen = r;
    feed.assign(r.Composition[4], r.Composition[4] + 3);
    Fill(r, 0, kGas);
    Fill(r, 1, kOil);
    return S_OK;
  };
  BoundFluid calc(fluid.Get());
  EXPECT_NE(calc->GetSolutionGOR(), EMPTY_VALUE);
  EXPECT_EQ(double{seen.Temperature}, 15.0);
  EXPECT_EQ(double{seen.Pressure}, 101.325);
  EXPECT_EQ(double{seen.PhaseFraction[0]}, EMPTY_VALUE);
  EXPECT_EQ(feed, (std::vector<double>{0.5202, 0.26702, 0.21278}));
}

TEST(SolutionGOR, PhaseFractionOfExactlyOneMillionthCountsAsAbsent) {
  auto fluid = ReservoirFluid();
  // Were it counted, the first liquid's volume would be undeterminable.
  FlashTo(*fluid.Get(), {0.5, 1, 23.6, {1.0, 0.0, 0.0}}, {1e-6, 1, -1.0, {0.0, 1.0, 0.0}},
          {0.3, 1, 0.15, {0.05, 0.9, 0.05}});
  BoundFluid calc(fluid.Get());
  const double expected = 0.5 * kStandardGas / (3600.0 * 0.3 * 0.15);
  EXPECT_NEAR(calc->GetSolutionGOR(), expected, 1e-12 * expected);
  fluid->flash = [](FluidState& r) {
    Fill(r, 0, {0.0, 0, EMPTY_VALUE, {0.0, 0.0, 0.0}});
    Fill(r, 1, kOil);
    return S_OK;
  };
  EXPECT_EQ(calc->GetSolutionGOR(), EMPTY_VALUE);  // no gas released
}

TEST(SolutionGOR, HalfWaterSecondLiquidIsOil) {
  auto fluid = ReservoirFluid();
  const FlashedPhase half_water{0.2, 1, 0.05, {0.25, 0.25, 0.5}};
  FlashTo(*fluid.Get(), kGas, kOil, half_water);
  BoundFluid calc(fluid.Get());
  const double expected = 0.4 * kStandardGas / (3600.0 * (0.6 * 0.13 + 0.2 * 0.05));
  EXPECT_NEAR(calc->GetSolutionGOR(), expected, 1e-12 * expected);
  EXPECT_EQ(calc->GetSolutionWOR(), EMPTY_VALUE);

  const FlashedPhase water{0.2, 1, 0.05, {0.24, 0.25, 0.51}};
  FlashTo(*fluid.Get(), kGas, kOil, water);
  const double gor = 0.4 * kStandardGas / (3600.0 * 0.6 * 0.13);
  EXPECT_NEAR(calc->GetSolutionGOR(), gor, 1e-12 * gor);
  EXPECT_NEAR(calc->GetSolutionWOR(), (0.2 * 0.05) / (0.6 * 0.13), 1e-12);
}

TEST(SolutionWOR, NoOilGivesNoValue) {
  auto fluid = ReservoirFluid();
  FlashTo(*fluid.Get(), kGas, kNone, {0.6, 1, 0.018, {0.0, 0.0, 1.0}});
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetSolutionWOR(), EMPTY_VALUE);
  // An undeterminable oil volume gives no value either.
  FlashTo(*fluid.Get(), kGas, {0.3, 0, 0.13, {0.0, 1.0, 0.0}}, {0.3, 1, 0.018, {0.0, 0.0, 1.0}});
  EXPECT_EQ(calc->GetSolutionWOR(), EMPTY_VALUE);
  EXPECT_EQ(calc->GetSolutionGOR(), EMPTY_VALUE);
}

TEST(OilFVF, OilVolumeAtStreamConditionsPerStandardOilVolume) {
  auto fluid = ReservoirFluid();
  std::vector<FluidState> asked;
  fluid->flash = [&](FluidState& r) {
    asked.push_back(r);
    const bool standard = r.Temperature == 15.0;
    Fill(r, 0, kGas);
    Fill(r, 1, {standard ? 0.5 : 0.6, 1, standard ? 0.13 : 0.16, {0.0, 1.0, 0.0}});
    r.MolarEnthalpy[1] = -40000.0;
    return S_OK;
  };
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetOilFVF(), (0.6 * 0.16) / (0.5 * 0.13), 1e-12);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(double{asked[0].Temperature}, 40.0);
  EXPECT_EQ(double{asked[0].Pressure}, 3000.0);
  EXPECT_EQ(double{asked[1].Pressure}, 101.325);
  EXPECT_EQ(double{asked[1].PhaseFraction[0]}, EMPTY_VALUE);
  EXPECT_EQ(double{asked[1].MolarEnthalpy[1]}, EMPTY_VALUE);
  EXPECT_EQ(double{asked[1].PhaseFraction[1]}, 0.6);  // kept from the first flash
}

TEST(OilFVF, FailedFirstFlashStillFlashesAtStandardConditions) {
  auto fluid = ReservoirFluid();
  fluid->flash = [](FluidState& r) {
    if (r.Temperature != 15.0) return E_FAIL;
    Fill(r, 1, kOil);
    return S_OK;
  };
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetOilFVF(), EMPTY_VALUE);
  EXPECT_EQ(fluid->Count("Flash"), 2);
}

TEST(ReservoirFluid, FailuresGiveNoValueAndLeakNothing) {
  const long blocks = testing::UnaccountedTaskBlocks();
  {
    auto fluid = ReservoirFluid();
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetSolutionGOR(), EMPTY_VALUE);  // the default flash fails
    EXPECT_EQ(calc->GetSolutionWOR(), EMPTY_VALUE);
    EXPECT_EQ(calc->GetOilFVF(), EMPTY_VALUE);

    FlashTo(*fluid.Get(), kGas, kOil, kNone);
    fluid->offer_flash = false;
    fluid->calls.clear();
    EXPECT_EQ(calc->GetSolutionGOR(), EMPTY_VALUE);
    EXPECT_EQ(calc->GetSolutionWOR(), EMPTY_VALUE);
    EXPECT_EQ(calc->GetOilFVF(), EMPTY_VALUE);
    EXPECT_EQ(fluid->Count("GetState"), 0);

    fluid->offer_flash = true;
    fluid->fail_get_state = true;
    EXPECT_EQ(calc->GetSolutionGOR(), EMPTY_VALUE);
    EXPECT_EQ(fluid->Count("Flash"), 0);
  }
  EXPECT_EQ(testing::UnaccountedTaskBlocks(), blocks);
}

TEST(ReservoirFluid, ReportedForTheStreamOnlyThroughCalculate) {
  auto fluid = ReservoirFluid();
  FlashTo(*fluid.Get(), kGas, kOil, {0.2, 1, 0.018, {0.0, 0.0, 1.0}});
  constexpr CLSID kClasses[] = {ParseGuid("{5889821D-AB85-4107-8674-B8CBEB354175}"),
                                ParseGuid("{A6A2D715-928F-4A48-B267-2FED37DE8394}"),
                                ParseGuid("{25CEE561-4E0D-4F4A-A65B-6468BDDC6EE2}")};
  for (const CLSID& clsid : kClasses) {
    ConnectedCorrelation correlation(clsid, static_cast<IHostFluid*>(fluid.Get()));
    ASSERT_EQ(correlation.Calculate(), S_OK);
    EXPECT_GT(correlation.Slot(0), 0.0);
    for (int slot : {1, 2, 3, 5}) EXPECT_EQ(correlation.Slot(slot), EMPTY_VALUE) << slot;
  }
}

}  // namespace
}  // namespace tarvox
