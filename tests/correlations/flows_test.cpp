// Volumetric flows of the methane / n-hexane / water stream (vapour 0.5, oil 0.3, water 0.2 of
// 100 kmol; molar volumes 0.80, 0.14, 0.019 m³/kmol), worked out by hand.
#include <gtest/gtest.h>

#include "common/guid.h"
#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ThreePhaseFluid;

constexpr double E = EMPTY_VALUE;
// Stream volume: 100 · (0.5·0.80 + 0.3·0.14 + 0.2·0.019) m³.
constexpr double kStreamVolumeFlow = 100.0 * 0.4458;
constexpr double kVapourFlow = 0.5 * 100.0 * 0.80;
constexpr double kOilFlow = 0.3 * 100.0 * 0.14;
constexpr double kWaterFlow = 0.2 * 100.0 * 0.019;

double VapourWeight() { return 0.95 * 16.04246 + 0.03 * 86.17536 + 0.02 * 18.01528; }
double OilWeight() { return 0.15 * 16.04246 + 0.84 * 86.17536 + 0.01 * 18.01528; }
double WaterWeight() { return 0.001 * 16.04246 + 0.0001 * 86.17536 + 0.9989 * 18.01528; }

TEST(ActualFlows, EachPhaseAndTheStreamAtStreamConditions) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetActVolumeFlow(4), kStreamVolumeFlow, 1e-9);
  EXPECT_NEAR(calc->GetActVolumeFlow(0), kVapourFlow, 1e-9);
  EXPECT_NEAR(calc->GetActVolumeFlow(1), kOilFlow, 1e-9);
  EXPECT_NEAR(calc->GetActVolumeFlow(2), kWaterFlow, 1e-9);
  EXPECT_EQ(calc->GetActVolumeFlow(3), E);
}

TEST(ActualFlows, GasFlowIsTheVapourForStreamAndVapourSlotOnly) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetActGasFlow(4), kVapourFlow, 1e-9);
  EXPECT_NEAR(calc->GetActGasFlow(0), kVapourFlow, 1e-9);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(calc->GetActGasFlow(k), E) << k;
}

TEST(ActualFlows, LiquidFlowSumsTheTwoLiquids) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetActLiqFlow(4), kOilFlow + kWaterFlow, 1e-9);
  EXPECT_NEAR(calc->GetActLiqFlow(1), kOilFlow, 1e-9);
  EXPECT_NEAR(calc->GetActLiqFlow(2), kWaterFlow, 1e-9);
  EXPECT_EQ(calc->GetActLiqFlow(0), E);
  EXPECT_EQ(calc->GetActLiqFlow(3), E);
}

TEST(ActualFlows, AVapourInTracesHasNoGasFlowButAVolumeFlow) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhaseFraction[0] = 5e-7;
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetActGasFlow(4), E);
  EXPECT_EQ(calc->GetActGasFlow(0), E);
  EXPECT_NEAR(calc->GetActVolumeFlow(0), 5e-7 * 100.0 * 0.80, 1e-15);
}

TEST(ActualFlows, AFirstLiquidInTracesLeavesTheSecondLiquidAlone) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhaseFraction[1] = 5e-7;
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetActLiqFlow(1), E);
  EXPECT_NEAR(calc->GetActLiqFlow(2), kWaterFlow, 1e-9);
  EXPECT_EQ(calc->GetActLiqFlow(4), calc->GetActLiqFlow(2));
}

TEST(ActualFlows, AFirstLiquidFlaggedOtherThanOneDoesNotCountInTheSum) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhasePresent[1] = 2;
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetActLiqFlow(4), kWaterFlow, 1e-9);
  EXPECT_EQ(calc->GetActLiqFlow(1), E);
}

TEST(ActualFlows, AnEmptyPhaseFractionGivesNoFlowRatherThanAScaledMarker) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhaseFraction[1] = E;
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetActVolumeFlow(1), E);
  EXPECT_EQ(calc->GetActLiqFlow(1), E);
  EXPECT_EQ(calc->GetStdGasFlow(1), E);
}

TEST(ZeroMolarFlow, FlowsAreZeroForPresentPhasesAndEmptyForAbsentOnes) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["MolarFlow"] = {0.0};
  fluid->arrays["TempUnitFlag"] = {1.0};
  fluid->arrays["StdLiqMassDensity"] = {300.0, 660.0, 998.0, 0.0, 500.0};
  BoundFluid calc(fluid.Get());
  for (int k : {0, 1, 2, 4}) {
    EXPECT_EQ(calc->GetActVolumeFlow(k), 0.0) << k;
    EXPECT_EQ(calc->GetStdGasFlow(k), 0.0) << k;
    EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(k), 0.0) << k;
  }
  EXPECT_EQ(calc->GetActVolumeFlow(3), E);
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(3), E);
  EXPECT_EQ(calc->GetStdGasFlow(3), 0.0);
  EXPECT_EQ(calc->GetActVolumePhaseFraction(0), E);  // no total to divide by
}

TEST(StandardGasFlow, TemperatureUnitFlagChoosesTheStandardMolarVolume) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  fluid->arrays["TempUnitFlag"] = {1.0};
  EXPECT_NEAR(calc->GetStdGasFlow(4), 23.644436 * 100.0, 1e-9);
  EXPECT_NEAR(calc->GetStdGasFlow(0), 23.644436 * 100.0 * 0.5, 1e-9);
  EXPECT_EQ(calc->GetStdGasFlow(3), 0.0);  // no presence test: the host's fraction 0
  fluid->arrays["TempUnitFlag"] = {0.0};
  EXPECT_NEAR(calc->GetStdGasFlow(4), 23.6900231 * 100.0, 1e-9);
  fluid->arrays["TempUnitFlag"] = {2.0};
  EXPECT_EQ(calc->GetStdGasFlow(4), E);
  fluid->arrays.erase("TempUnitFlag");
  EXPECT_EQ(calc->GetStdGasFlow(4), E);
}

TEST(StandardGasFlow, TheHostsStandardMolarVolumeTakesPrecedenceUnlessEmpty) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["TempUnitFlag"] = {1.0};
  fluid->arrays["StdIdealMolarVolume"] = {22.414};
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetStdGasFlow(4), 22.414 * 100.0, 1e-9);
  EXPECT_NEAR(calc->GetStdGasFlow(2), 22.414 * 100.0 * 0.2, 1e-9);
  fluid->arrays["StdIdealMolarVolume"] = {E};
  EXPECT_NEAR(calc->GetStdGasFlow(4), 23.644436 * 100.0, 1e-9);
}

TEST(StandardLiquidVolumeFlow, MassOverStandardDensityPerPhaseAndSummed) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["StdLiqMassDensity"] = {300.0, 660.0, 998.0, 0.0, 500.0};
  BoundFluid calc(fluid.Get());
  const double vapour = VapourWeight() * 100.0 * 0.5 / 300.0;
  const double oil = OilWeight() * 100.0 * 0.3 / 660.0;
  const double water = WaterWeight() * 100.0 * 0.2 / 998.0;
  EXPECT_NEAR(calc->GetMixedPhaseStdLiqVolFlow(0), vapour, 1e-9);
  EXPECT_NEAR(calc->GetMixedPhaseStdLiqVolFlow(1), oil, 1e-9);
  EXPECT_NEAR(calc->GetMixedPhaseStdLiqVolFlow(2), water, 1e-9);
  EXPECT_NEAR(calc->GetMixedPhaseStdLiqVolFlow(4), vapour + oil + water, 1e-9);
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(3), E);
}

TEST(StandardLiquidVolumeFlow, APhaseInTracesOrWithoutDensityAddsNothing) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhaseFraction[0] = 1e-6;
  fluid->arrays["StdLiqMassDensity"] = {300.0, 660.0, 0.0, 0.0, 500.0};
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(0), 0.0);
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(2), 0.0);
  EXPECT_NEAR(calc->GetMixedPhaseStdLiqVolFlow(4), OilWeight() * 100.0 * 0.3 / 660.0, 1e-9);
}

TEST(StandardLiquidVolumeFlow, WithoutACompleteDensityArrayThereIsNoValue) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(4), E);
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(1), E);
  fluid->arrays["StdLiqMassDensity"] = {300.0, 660.0, 998.0, 0.0};
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(4), E);
  EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(1), E);
}

TEST(ActualVolumeFraction, PhaseFlowOverStreamFlow) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetActVolumePhaseFraction(0), kVapourFlow / kStreamVolumeFlow, 1e-12);
  EXPECT_NEAR(calc->GetActVolumePhaseFraction(4), kVapourFlow / kStreamVolumeFlow, 1e-12);
  EXPECT_NEAR(calc->GetActVolumePhaseFraction(1), kOilFlow / kStreamVolumeFlow, 1e-12);
  EXPECT_NEAR(calc->GetActVolumePhaseFraction(2), kWaterFlow / kStreamVolumeFlow, 1e-12);
  EXPECT_EQ(calc->GetActVolumePhaseFraction(3), E);
}

TEST(ActualVolumeFraction, AllLiquidStreamReportsZeroForTheStream) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhasePresent[0] = 0;
  fluid->state.PhaseFraction[0] = 0.0;
  fluid->state.PhaseFraction[1] = 0.6;
  fluid->state.PhaseFraction[2] = 0.4;
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetActVolumePhaseFraction(4), 0.0);
  EXPECT_EQ(calc->GetActVolumePhaseFraction(0), E);
  EXPECT_NEAR(calc->GetActVolumePhaseFraction(1), 0.6 * 0.14 / (0.6 * 0.14 + 0.4 * 0.019), 1e-12);
}

TEST(ActualVolumeFraction, PresenceIsJudgedOnTheStreamBeingEvaluated) {
  // The calculator still holds another stream, in which the water phase is absent.
  auto other = ThreePhaseFluid();
  other->state.PhasePresent[2] = 0;
  {
    BoundFluid calc(other.Get());
    ASSERT_EQ(calc->LoadFluidState(), 1);
  }
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetActVolumePhaseFraction(2), kWaterFlow / kStreamVolumeFlow, 1e-12);
}

TEST(Flows, NoStateMeansNoValue) {
  auto fluid = ThreePhaseFluid();
  fluid->fail_get_state = true;
  fluid->arrays["TempUnitFlag"] = {1.0};
  fluid->arrays["StdLiqMassDensity"] = {300.0, 660.0, 998.0, 0.0, 500.0};
  BoundFluid calc(fluid.Get());
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(calc->GetActVolumeFlow(k), E);
    EXPECT_EQ(calc->GetActGasFlow(k), E);
    EXPECT_EQ(calc->GetActLiqFlow(k), E);
    EXPECT_EQ(calc->GetStdGasFlow(k), E);
    EXPECT_EQ(calc->GetMixedPhaseStdLiqVolFlow(k), E);
    EXPECT_EQ(calc->GetActVolumePhaseFraction(k), E);
  }
}

TEST(Flows, ActualVolumeFlowThroughTheCorrelationObject) {
  constexpr CLSID kActVolumeFlow = ParseGuid("{FB4F7C9C-5998-49FF-BD55-B3C6C0A90DD0}");
  auto fluid = ThreePhaseFluid();
  const auto slots = testing::CalculateThroughClass(kActVolumeFlow, fluid.Get());
  EXPECT_NEAR(slots[0], kStreamVolumeFlow, 1e-9);
  EXPECT_NEAR(slots[1], kVapourFlow, 1e-9);
  EXPECT_NEAR(slots[2], kOilFlow, 1e-9);
  EXPECT_NEAR(slots[3], kWaterFlow, 1e-9);
  EXPECT_EQ(slots[5], E);
}

}  // namespace
}  // namespace tarvox
