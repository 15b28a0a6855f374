#include <gtest/gtest.h>

#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ConnectedCorrelation;

constexpr double kFlow = 100.0;
constexpr double kMdeaWeight = 119.1628;
constexpr double kWaterWeight = 18.01528;
constexpr double kCO2Weight = 44.0095;

// A liquid MDEA solvent loaded with CO2: MDEA, water, CO2.
ComPtr<host::ScriptedFluid> LoadedAmine() {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = 40.0;
  s.Pressure = 200.0;
  s.ComponentCount = 3;
  const double beta[4] = {0.0, 1.0, 0.0, 0.0};
  const int present[4] = {0, 1, 0, 0};
  for (int k = 0; k < 4; ++k) {
    s.PhaseFraction[k] = beta[k];
    s.PhasePresent[k] = present[k];
  }
  fluid->compositions[1] = std::vector<double>{0.1, 0.85, 0.05};
  fluid->compositions[4] = std::vector<double>{0.1, 0.85, 0.05};
  fluid->arrays["Molecular Weight"] = {kMdeaWeight, kWaterWeight, kCO2Weight};
  fluid->arrays["MolarFlow"] = {kFlow};
  fluid->arrays["ComponentIDs"] = {30065.0, 19.0, 14.0};
  fluid->arrays["ComponentClass"] = {500.0, 1.0, 1.0};
  fluid->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 124389.0};
  fluid->arrays["MassFlow"] = {kFlow * (0.1 * kMdeaWeight + 0.85 * kWaterWeight + 0.05 * kCO2Weight)};
  return fluid;
}

TEST(CO2Loading, LoadedAmineOnMoleAndMassBasis) {
  auto fluid = LoadedAmine();
  BoundFluid calc(fluid.Get());
  const double mole = (kFlow * 0.05) / (kFlow * 0.1);
  const double mass = (kFlow * 0.05 * kCO2Weight) / (kFlow * 0.1 * kMdeaWeight);
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), mole, 1e-12);
  EXPECT_NEAR(calc->GetCO2Loading(4, 1), mass, 1e-12);
  EXPECT_NEAR(calc->GetCO2Loading(1, 0), mole, 1e-12);
  EXPECT_NEAR(calc->GetCO2Loading(1, 1), mass, 1e-12);
  EXPECT_EQ(calc->GetCO2Loading(2, 0), EMPTY_VALUE);  // no second liquid
  EXPECT_EQ(calc->GetCO2Loading(0, 0), EMPTY_VALUE);
  EXPECT_EQ(calc->GetCO2Loading(3, 0), EMPTY_VALUE);
  EXPECT_EQ(calc->GetCO2Loading(4, 2), EMPTY_VALUE);  // an unknown basis counts nothing
  EXPECT_FALSE(calc->StateLoaded());
}

TEST(CO2Loading, NeedsASolventAndIsZeroWithoutCO2) {
  auto no_solvent = LoadedAmine();
  no_solvent->arrays["ComponentIDs"] = {30066.0, 19.0, 14.0};
  no_solvent->arrays["ComponentClass"] = {1.0, 1.0, 1.0};
  {
    BoundFluid calc(no_solvent.Get());
    EXPECT_EQ(calc->GetCO2Loading(4, 0), EMPTY_VALUE);
  }
  auto no_co2 = LoadedAmine();
  no_co2->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 7727379.0};
  {
    BoundFluid calc(no_co2.Get());
    EXPECT_EQ(calc->GetCO2Loading(4, 0), 0.0);
  }
  auto neither = LoadedAmine();
  neither->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 7727379.0};
  neither->arrays["ComponentIDs"] = {30066.0, 19.0, 14.0};
  neither->arrays["ComponentClass"] = {1.0, 1.0, 1.0};
  {
    BoundFluid calc(neither.Get());
    EXPECT_EQ(calc->GetCO2Loading(4, 0), EMPTY_VALUE);
  }
}

TEST(CO2Loading, SulfolaneAndTheSecondSolventClassCountAsSolvent) {
  auto fluid = LoadedAmine();
  fluid->arrays["ComponentIDs"] = {1.0, 19.0, 14.0};
  fluid->arrays["ComponentClass"] = {501.0, 1.0, 1.0};
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), 0.5, 1e-12);
  fluid->arrays["ComponentClass"] = {1.0, 1.0, 1.0};
  fluid->arrays["CAS_Numbers"] = {126330.0, 7732185.0, 124389.0};
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), 0.5, 1e-12);
}

TEST(CO2Loading, OverallValueOnlyBelowOnePercentVapour) {
  auto fluid = LoadedAmine();
  fluid->state.PhasePresent[0] = 1;
  fluid->state.PhaseFraction[0] = 0.01;
  fluid->state.PhaseFraction[1] = 0.99;
  fluid->compositions[4] = std::vector<double>{0.2, 0.7, 0.1};
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetCO2Loading(4, 0), EMPTY_VALUE);
  fluid->state.PhaseFraction[0] = 0.0099;
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), 0.1 / 0.2, 1e-12);  // from the overall composition
}

TEST(CO2Loading, ComponentMatchingCO2AndASolventClassCountsOnlyAsCO2) {
  auto fluid = LoadedAmine();
  fluid->arrays["ComponentClass"] = {500.0, 1.0, 500.0};
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), 0.5, 1e-12);
}

TEST(CO2Loading, IdentifiersRoundUpOnlyAboveOneHalf) {
  auto fluid = LoadedAmine();
  BoundFluid calc(fluid.Get());
  fluid->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 124388.5};
  EXPECT_EQ(calc->GetCO2Loading(4, 0), 0.0);  // rounds down: not CO2
  fluid->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 124388.51};
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), 0.5, 1e-12);
  fluid->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 124389.5};
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), 0.5, 1e-12);
  fluid->arrays["ComponentIDs"] = {30064.5, 19.0, 14.0};  // not the solvent identifier
  fluid->arrays["ComponentClass"] = {499.6, 1.0, 1.0};    // rounds to the solvent class
  EXPECT_NEAR(calc->GetCO2Loading(4, 0), 0.5, 1e-12);
  fluid->arrays["ComponentClass"] = {499.5, 1.0, 1.0};
  EXPECT_EQ(calc->GetCO2Loading(4, 0), EMPTY_VALUE);
}

TEST(CO2Loading, MissingArraysAndEmptyFlowGiveNoValueWithoutLeaks) {
  const long blocks = testing::UnaccountedTaskBlocks();
  {
    auto fluid = LoadedAmine();
    BoundFluid calc(fluid.Get());
    EXPECT_NE(calc->GetCO2Loading(4, 1), EMPTY_VALUE);
    fluid->arrays.erase("ComponentClass");
    EXPECT_EQ(calc->GetCO2Loading(4, 0), EMPTY_VALUE);
    fluid->arrays["ComponentClass"] = {500.0, 1.0, 1.0};
    fluid->arrays["MolarFlow"] = {EMPTY_VALUE};
    EXPECT_EQ(calc->GetCO2Loading(4, 0), EMPTY_VALUE);
    fluid->arrays["MolarFlow"] = {kFlow};
    fluid->arrays["CAS_Numbers"] = {105599.0, 7732185.0};  // shorter than the component list
    EXPECT_EQ(calc->GetCO2Loading(4, 0), EMPTY_VALUE);
  }
  EXPECT_EQ(testing::UnaccountedTaskBlocks(), blocks);
}

// The empty marker never enters a component flow as a number.
TEST(CO2Loading, AnEmptyPhaseFractionOrWeightGivesNoValue) {
  auto fluid = LoadedAmine();
  BoundFluid calc(fluid.Get());
  ASSERT_NE(calc->GetCO2Loading(1, 1), EMPTY_VALUE);
  fluid->arrays["Molecular Weight"] = {kMdeaWeight, kWaterWeight, EMPTY_VALUE};
  EXPECT_EQ(calc->GetCO2Loading(1, 1), EMPTY_VALUE);
  EXPECT_NE(calc->GetCO2Loading(1, 0), EMPTY_VALUE);  // the molar basis needs no weight
  fluid->state.PhaseFraction[1] = EMPTY_VALUE;
  EXPECT_EQ(calc->GetCO2Loading(1, 0), EMPTY_VALUE);
  EXPECT_EQ(calc->GetMassPhaseFraction(1), EMPTY_VALUE);
}

TEST(CO2AppWTCon, CO2AmountPerPhaseMass) {
  auto fluid = LoadedAmine();
  BoundFluid calc(fluid.Get());
  const double mass_flow = fluid->arrays["MassFlow"][0];
  EXPECT_NEAR(calc->GetCO2AppWTCon(4), kFlow * 0.05 / mass_flow, 1e-15);
  // The only liquid carries the whole mass.
  EXPECT_NEAR(calc->GetCO2AppWTCon(1), 1.0 * kFlow * 0.05 / mass_flow, 1e-15);
  EXPECT_EQ(calc->GetCO2AppWTCon(0), EMPTY_VALUE);
  EXPECT_EQ(calc->GetCO2AppWTCon(2), EMPTY_VALUE);
}

TEST(CO2AppWTCon, ZeroOrMissingMassFlowGivesNoValue) {
  auto fluid = LoadedAmine();
  BoundFluid calc(fluid.Get());
  fluid->arrays["MassFlow"] = {0.0};
  EXPECT_EQ(calc->GetCO2AppWTCon(4), EMPTY_VALUE);
  EXPECT_EQ(calc->GetCO2AppWTCon(1), EMPTY_VALUE);
  fluid->arrays.erase("MassFlow");
  EXPECT_EQ(calc->GetCO2AppWTCon(4), EMPTY_VALUE);
  fluid->arrays["MassFlow"] = {1000.0};
  fluid->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 7727379.0};
  EXPECT_EQ(calc->GetCO2AppWTCon(4), EMPTY_VALUE);  // no CO2
}

TEST(CO2AppMLCon, CO2AmountPerActualPhaseVolume) {
  auto fluid = LoadedAmine();
  fluid->state.MolarVolume[1] = 0.05;  // m3/kmol of the liquid
  BoundFluid calc(fluid.Get());
  // 100 kmol/h at 0.05 m3/kmol is 5 m3/h carrying 5 kmol/h of CO2.
  EXPECT_NEAR(calc->GetCO2AppMLCon(4), 5.0 / 5.0, 1e-12);
  EXPECT_NEAR(calc->GetCO2AppMLCon(1), 5.0 / 5.0, 1e-12);
  EXPECT_EQ(calc->GetCO2AppMLCon(0), EMPTY_VALUE);
  EXPECT_EQ(calc->GetCO2AppMLCon(2), EMPTY_VALUE);
  EXPECT_EQ(calc->GetCO2AppMLCon(3), EMPTY_VALUE);
}

TEST(CO2AppMLCon, ZeroOrUnknownVolumeGivesNoValue) {
  auto fluid = LoadedAmine();
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetCO2AppMLCon(1), EMPTY_VALUE);  // no molar volume: no actual flow
  fluid->state.MolarVolume[1] = 0.05;
  fluid->arrays["MolarFlow"] = {0.0};  // a zero flow has zero volume
  EXPECT_EQ(calc->GetCO2AppMLCon(4), EMPTY_VALUE);
  fluid->arrays["MolarFlow"] = {kFlow};
  fluid->arrays["CAS_Numbers"] = {105599.0, 7732185.0, 7727379.0};
  EXPECT_EQ(calc->GetCO2AppMLCon(4), EMPTY_VALUE);  // no CO2
}

// Methane, CO2 and H2S over a liquid.
ComPtr<host::ScriptedFluid> SourGas() {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = 30.0;
  s.Pressure = 5000.0;
  s.ComponentCount = 3;
  const double beta[4] = {0.8, 0.2, 0.0, 0.0};
  const int present[4] = {1, 1, 0, 0};
  for (int k = 0; k < 4; ++k) {
    s.PhaseFraction[k] = beta[k];
    s.PhasePresent[k] = present[k];
  }
  fluid->compositions[0] = std::vector<double>{0.9, 0.07, 0.03};
  fluid->compositions[1] = std::vector<double>{0.2, 0.5, 0.3};
  fluid->compositions[4] = std::vector<double>{0.76, 0.156, 0.084};
  fluid->arrays["Molecular Weight"] = {16.04246, 44.0095, 34.08088};
  fluid->arrays["MolarFlow"] = {kFlow};
  fluid->arrays["ComponentIDs"] = {1.0, 14.0, 15.0};
  fluid->arrays["CAS_Numbers"] = {74828.0, 124389.0, 7783064.0};
  return fluid;
}

TEST(PartialPressure, PressureTimesVapourMoleFraction) {
  auto fluid = SourGas();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetPartialPressureCO2(), 5000.0 * 0.07, 1e-12);
  EXPECT_NEAR(calc->GetPartialPressureH2S(), 5000.0 * 0.03, 1e-12);
  // The host identifier alone marks CO2, whatever the CAS number says.
  fluid->arrays["CAS_Numbers"] = {74828.0, 1.0, 1.0};
  EXPECT_NEAR(calc->GetPartialPressureCO2(), 5000.0 * 0.07, 1e-12);
  // The CAS number alone marks H2S.
  fluid->arrays["CAS_Numbers"] = {74828.0, 124389.0, 7783064.0};
  fluid->arrays["ComponentIDs"] = {1.0, 14.0, 999.0};
  EXPECT_NEAR(calc->GetPartialPressureH2S(), 5000.0 * 0.03, 1e-12);
}

TEST(PartialPressure, NoValueIsReportedAsZero) {
  auto fluid = SourGas();
  BoundFluid calc(fluid.Get());
  fluid->state.PhaseFraction[0] = 1e-6;
  EXPECT_EQ(calc->GetPartialPressureCO2(), 0.0);
  fluid->state.PhaseFraction[0] = 0.8;
  fluid->state.PhasePresent[0] = 0;
  EXPECT_EQ(calc->GetPartialPressureH2S(), 0.0);
  fluid->state.PhasePresent[0] = 1;
  fluid->arrays["ComponentIDs"] = {1.0, 2.0, 3.0};
  fluid->arrays["CAS_Numbers"] = {74828.0, 1.0, 1.0};
  EXPECT_EQ(calc->GetPartialPressureCO2(), 0.0);  // no such component
  fluid->arrays.erase("ComponentIDs");
  EXPECT_EQ(calc->GetPartialPressureCO2(), 0.0);
  fluid->arrays["ComponentIDs"] = {1.0, 14.0, 15.0};
  fluid->state.Pressure = EMPTY_VALUE;
  EXPECT_EQ(calc->GetPartialPressureCO2(), 0.0);
  fluid->fail_get_state = true;
  EXPECT_EQ(calc->GetPartialPressureH2S(), 0.0);
}

TEST(PartialPressure, ProductBeyondTheRangeOfADoubleIsReportedAsZero) {
  auto fluid = SourGas();
  fluid->state.Pressure = 1e300;
  fluid->compositions[0] = std::vector<double>{0.9, 1e10, -1e10};
  {
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetPartialPressureCO2(), 0.0);
    EXPECT_EQ(calc->GetPartialPressureH2S(), 0.0);
  }
  // Through Calculate the stream's slot holds 0, not the empty value.
  ConnectedCorrelation correlation(ParseGuid("{96F5B2CD-8B31-4C1E-9265-414C95D8D22F}"),
                                   static_cast<IHostFluid*>(fluid.Get()));
  ASSERT_EQ(correlation.Calculate(), S_OK);
  EXPECT_EQ(correlation.Slot(0), 0.0);
}

TEST(PartialPressure, ReportedForTheStreamOnlyThroughCalculate) {
  auto fluid = SourGas();
  constexpr CLSID kPartialPressures[] = {ParseGuid("{96F5B2CD-8B31-4C1E-9265-414C95D8D22F}"),
                                         ParseGuid("{200F8031-5828-4DB2-9789-C3484F280CD6}")};
  for (const CLSID& clsid : kPartialPressures) {
    ConnectedCorrelation correlation(clsid, static_cast<IHostFluid*>(fluid.Get()));
    ASSERT_EQ(correlation.Calculate(), S_OK);
    EXPECT_GT(correlation.Slot(0), 0.0);
    for (int slot : {1, 2, 3, 5}) EXPECT_EQ(correlation.Slot(slot), EMPTY_VALUE) << slot;
  }
}

}  // namespace
}  // namespace tarvox
