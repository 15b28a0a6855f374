#include <gtest/gtest.h>

#include <vector>

#include "tarvox_platform/com_runtime.h"
#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ConnectedCorrelation;
using testing::ThreePhaseFluid;

constexpr double kHalfLatentHeat = 0.5 * 41010.0;  // kJ per kmol of hydrogen atoms

// Natural gas of the heating-value standard's worked example: methane, ethane, propane, nitrogen,
// carbon dioxide, all vapour, with the component table's molar masses and net heats of combustion.
const std::vector<double> kGas = {0.933212, 0.025656, 0.015368, 0.010350, 0.015414};
const std::vector<double> kGasWeights = {16.04246, 30.06904, 44.09562, 28.0134, 44.0095};
const std::vector<double> kGasHeats = {802554.0, 1428651.0, 2043118.0, 0.0, 0.0};
const std::vector<double> kGasHydrogen = {4.0, 6.0, 8.0, 0.0, 0.0};

ComPtr<host::ScriptedFluid> VapourFluid(const std::vector<double>& x, const std::vector<double>& weights,
                                        const std::vector<double>& heats,
                                        const std::vector<double>& hydrogen) {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = 25.0;
  s.Pressure = 101.325;
  s.ComponentCount = static_cast<int>(x.size());
  s.PhaseFraction[0] = 1.0;
  s.PhasePresent[0] = 1;
  s.MolarVolume[0] = s.MolarVolume[4] = 24.4;
  fluid->compositions[0] = x;
  fluid->compositions[4] = x;
  fluid->arrays["Molecular Weight"] = weights;
  fluid->arrays["MolarFlow"] = {10.0};
  fluid->arrays["Heat of Combustion"] = heats;
  fluid->arrays["HydrogenAtoms"] = hydrogen;
  return fluid;
}

ComPtr<host::ScriptedFluid> NaturalGas() { return VapourFluid(kGas, kGasWeights, kGasHeats, kGasHydrogen); }

double GasHydrogenAtoms() { return 4.0 * 0.933212 + 6.0 * 0.025656 + 8.0 * 0.015368; }

TEST(HeatingValues, LowerHeatingValueOfTheReferenceNaturalGasMatchesTheStandard) {
  auto fluid = NaturalGas();
  BoundFluid calc(fluid.Get());
  // 817.0051 kJ/mol, within the rounding of the component data (0.18 kJ/mol).
  EXPECT_NEAR(calc->GetLowerHeatingValue(4) / 1000.0, 817.0051, 0.18);
  EXPECT_NEAR(calc->GetLowerHeatingValue(0) / 1000.0, 817.0051, 0.18);
  // The gas's molar mass is the standard's 17.3884301 kg/kmol, so the mass value follows from both.
  EXPECT_NEAR(calc->GetMolecularWeight(4), 17.3884301, 1e-6);
  EXPECT_NEAR(calc->GetMassLowerHeatingValue(4), 817005.1309 / 17.3884301, 0.01);
}

TEST(HeatingValues, HigherValueAddsTheLatentHeatOfTheWaterFormed) {
  auto fluid = NaturalGas();
  BoundFluid calc(fluid.Get());
  const double lower = calc->GetLowerHeatingValue(4);
  const double higher = calc->GetHigherHeatingValue(4);
  EXPECT_NEAR(higher - lower, kHalfLatentHeat * GasHydrogenAtoms(), 1e-6);
  EXPECT_NEAR(calc->GetMassHigherHeatingValue(4), higher / 17.38843008292, 1e-6);
}

TEST(HeatingValues, ComponentsWithoutHydrogenAddNothingToTheHigherValue) {
  auto fluid = VapourFluid({0.6, 0.4}, {28.0134, 44.0095}, {0.0, 283000.0}, {0.0, 0.0});
  BoundFluid calc(fluid.Get());
  EXPECT_DOUBLE_EQ(calc->GetHigherHeatingValue(0), calc->GetLowerHeatingValue(0));
  EXPECT_DOUBLE_EQ(calc->GetLowerHeatingValue(0), 0.4 * 283000.0);
}

TEST(HeatingValues, NegativeStoredHeatsOfCombustionGiveThePositiveValue) {
  std::vector<double> negative = kGasHeats;
  for (double& h : negative) h = -h;
  auto fluid = VapourFluid(kGas, kGasWeights, negative, kGasHydrogen);
  BoundFluid calc(fluid.Get());
  const double expected_lower = 0.933212 * 802554.0 + 0.025656 * 1428651.0 + 0.015368 * 2043118.0;
  EXPECT_NEAR(calc->GetLowerHeatingValue(4), expected_lower, 1e-6);
  EXPECT_NEAR(calc->GetHigherHeatingValue(4), expected_lower + kHalfLatentHeat * GasHydrogenAtoms(), 1e-6);
  EXPECT_GT(calc->GetMassLowerHeatingValue(4), 0.0);
}

// A component whose heat of combustion the host cannot give is tolerated in traces only.
TEST(HeatingValues, MissingHeatOfCombustionIsIgnoredOnlyInTraces) {
  const std::vector<double> weights = {16.04246, 28.0134};
  const std::vector<double> heats = {802554.0, EMPTY_VALUE};
  const std::vector<double> hydrogen = {4.0, 0.0};
  {
    auto fluid = VapourFluid({1.0 - 1e-6, 1e-6}, weights, heats, hydrogen);
    BoundFluid calc(fluid.Get());
    EXPECT_NEAR(calc->GetLowerHeatingValue(4), (1.0 - 1e-6) * 802554.0, 1e-6);
    EXPECT_NE(calc->GetHigherHeatingValue(4), EMPTY_VALUE);
  }
  {
    auto fluid = VapourFluid({1.0 - 1.01e-6, 1.01e-6}, weights, heats, hydrogen);
    BoundFluid calc(fluid.Get());
    for (int phase : {0, 4}) {
      EXPECT_EQ(calc->GetLowerHeatingValue(phase), EMPTY_VALUE);
      EXPECT_EQ(calc->GetHigherHeatingValue(phase), EMPTY_VALUE);
      EXPECT_EQ(calc->GetMassLowerHeatingValue(phase), EMPTY_VALUE);
      EXPECT_EQ(calc->GetMassHigherHeatingValue(phase), EMPTY_VALUE);
    }
  }
}

TEST(HeatingValues, MissingDataGiveNoValue) {
  auto fluid = NaturalGas();
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetLowerHeatingValue(1), EMPTY_VALUE);  // absent phase

  fluid->compositions[4] = std::vector<double>{0.9, EMPTY_VALUE, 0.05, 0.03, 0.02};
  EXPECT_EQ(calc->GetLowerHeatingValue(4), EMPTY_VALUE);
  fluid->compositions[4] = kGas;

  fluid->arrays["HydrogenAtoms"] = {4.0, 6.0, EMPTY_VALUE, 0.0, 0.0};
  EXPECT_EQ(calc->GetHigherHeatingValue(4), EMPTY_VALUE);
  fluid->arrays.erase("HydrogenAtoms");
  EXPECT_EQ(calc->GetHigherHeatingValue(4), EMPTY_VALUE);
  EXPECT_NE(calc->GetLowerHeatingValue(4), EMPTY_VALUE);

  fluid->arrays["Heat of Combustion"] = {802554.0, 1428651.0};  // shorter than the component list
  EXPECT_EQ(calc->GetLowerHeatingValue(4), EMPTY_VALUE);
  fluid->arrays.erase("Heat of Combustion");
  EXPECT_EQ(calc->GetMassLowerHeatingValue(4), EMPTY_VALUE);

  fluid->fail_get_state = true;
  EXPECT_EQ(calc->GetMassHigherHeatingValue(4), EMPTY_VALUE);
}

// The higher value nests the lower one; it must not let that call reuse another stream's state.
TEST(HeatingValues, HigherValueReadsTheBoundStreamNotThePreviousOne) {
  auto first = VapourFluid({1.0, 0.0}, {16.04246, 30.06904}, {802554.0, 1428651.0}, {4.0, 6.0});
  auto second = VapourFluid({0.0, 1.0}, {16.04246, 30.06904}, {802554.0, 1428651.0}, {4.0, 6.0});
  {
    BoundFluid calc(first.Get());
    EXPECT_DOUBLE_EQ(calc->GetLowerHeatingValue(4), 802554.0);
  }
  BoundFluid calc(second.Get());
  EXPECT_DOUBLE_EQ(calc->GetHigherHeatingValue(4), 1428651.0 + 6.0 * kHalfLatentHeat);
}

// ---- Cost based on flow ----

// The three-phase stream with the data the cost needs; phase 3 (solid) is absent.
ComPtr<host::ScriptedFluid> CostedFluid(double basis, double cost_factor) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["FlowBasis"] = {basis};
  fluid->arrays["CostFactor"] = {cost_factor};
  fluid->arrays["MassFlow"] = {3000.0};
  fluid->arrays["LiquidVolumeFlow"] = {4.5};
  fluid->arrays["Heat of Combustion"] = {802554.0, 3886859.0, 0.0};
  return fluid;
}

constexpr double kWeights[3] = {16.04246, 86.17536, 18.01528};
constexpr double kDensities[3] = {300.0, 663.77, 999.02};
const double kStream[3] = {0.5202, 0.26702, 0.21278};
const double kOil[3] = {0.15, 0.84, 0.01};

double Weight(const double* x) { return x[0] * kWeights[0] + x[1] * kWeights[1] + x[2] * kWeights[2]; }
double LiquidVolume(const double* x) {
  double v = 0.0;
  for (int i = 0; i < 3; ++i) v += x[i] * kWeights[i] / kDensities[i];
  return v;
}

TEST(FlowCost, MolarBasisScalesTheStreamFlowByThePhaseFraction) {
  auto fluid = CostedFluid(0.0, 2.5);
  BoundFluid calc(fluid.Get());
  EXPECT_DOUBLE_EQ(calc->GetFlowCost(4, 40166.4), 100.0 * 2.5);
  EXPECT_DOUBLE_EQ(calc->GetFlowCost(0, 40166.4), 100.0 * 0.5 * 2.5);
  EXPECT_DOUBLE_EQ(calc->GetFlowCost(3, 40166.4), 0.0);  // absent, fraction 0 as loaded
}

TEST(FlowCost, MassBasisUsesTheMassPhaseFraction) {
  for (double basis : {1.0, 1.9}) {  // the code is truncated
    auto fluid = CostedFluid(basis, 2.0);
    BoundFluid calc(fluid.Get());
    EXPECT_DOUBLE_EQ(calc->GetFlowCost(4, 40166.4), 3000.0 * 2.0);
    EXPECT_NEAR(calc->GetFlowCost(1, 40166.4), 3000.0 * (Weight(kOil) * 0.3 / Weight(kStream)) * 2.0, 1e-9);
  }
}

TEST(FlowCost, LiquidVolumeBasisUsesTheVolumePhaseFraction) {
  auto fluid = CostedFluid(2.0, 3.0);
  BoundFluid calc(fluid.Get());
  EXPECT_DOUBLE_EQ(calc->GetFlowCost(4, 40166.4), 4.5 * 3.0);
  EXPECT_NEAR(calc->GetFlowCost(1, 40166.4), 4.5 * (0.3 * LiquidVolume(kOil) / LiquidVolume(kStream)) * 3.0,
              1e-9);
}

TEST(FlowCost, UnitBasisCostsTheFactorForEveryPhase) {
  auto fluid = CostedFluid(3.0, 7.25);
  BoundFluid calc(fluid.Get());
  for (int phase = 0; phase <= 4; ++phase) EXPECT_DOUBLE_EQ(calc->GetFlowCost(phase, 40166.4), 7.25);
}

TEST(FlowCost, FuelOilBasisConvertsTheMassFlowByHeatingValue) {
  auto fluid = CostedFluid(4.0, 1.5);
  BoundFluid calc(fluid.Get());
  const double stream_lower = 0.5202 * 802554.0 + 0.26702 * 3886859.0;
  const double expected = stream_lower / Weight(kStream) * (3000.0 / 1000.0) / 40166.4 * 1.5;
  EXPECT_NEAR(calc->GetFlowCost(4, 40166.4), expected, 1e-9);
  EXPECT_NEAR(calc->GetFlowCost(4, 20083.2), 2.0 * expected, 1e-9);

  const double oil_lower = 0.15 * 802554.0 + 0.84 * 3886859.0;
  const double oil_mass_flow = 3000.0 * Weight(kOil) * 0.3 / Weight(kStream);
  EXPECT_NEAR(calc->GetFlowCost(1, 40166.4),
              oil_lower / Weight(kOil) * (oil_mass_flow / 1000.0) / 40166.4 * 1.5, 1e-9);

  EXPECT_EQ(calc->GetFlowCost(4, 0.0), EMPTY_VALUE);
  EXPECT_EQ(calc->GetFlowCost(4, -100.0), EMPTY_VALUE);
}

TEST(FlowCost, UnknownBasisGivesNoValueForAnyPhase) {
  for (double basis : {5.0, -1.0, EMPTY_VALUE, 1e300}) {
    auto fluid = CostedFluid(basis, 2.0);
    BoundFluid calc(fluid.Get());
    for (int phase = 0; phase <= 4; ++phase) EXPECT_EQ(calc->GetFlowCost(phase, 40166.4), EMPTY_VALUE);
  }
}

TEST(FlowCost, EmptyCostFactorOrFlowCostsNothing) {
  for (double basis : {0.0, 1.0, 2.0, 3.0, 4.0}) {
    auto fluid = CostedFluid(basis, EMPTY_VALUE);
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetFlowCost(4, 40166.4), 0.0) << "basis " << basis;
  }
  auto fluid = CostedFluid(1.0, 2.0);
  fluid->arrays["MassFlow"] = {EMPTY_VALUE};
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetFlowCost(1, 40166.4), 0.0);
  EXPECT_EQ(calc->GetFlowCost(4, 40166.4), 0.0);
}

// A phase share that cannot be given is no flow, never a flow multiplied by the empty marker.
TEST(FlowCost, UnknownPhaseShareCostsNothingOnEveryBasis) {
  for (double basis : {1.0, 2.0, 4.0}) {
    auto fluid = CostedFluid(basis, 2.0);
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetFlowCost(3, 40166.4), 0.0) << "basis " << basis;  // absent: no phase fraction
  }
  auto fluid = CostedFluid(0.0, 2.0);
  fluid->state.PhaseFraction[1] = EMPTY_VALUE;
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetFlowCost(1, 40166.4), 0.0);
}

TEST(FlowCost, UnreadableArraysGiveNoValue) {
  for (const char* name : {"FlowBasis", "CostFactor", "MolarFlow"}) {
    auto fluid = CostedFluid(0.0, 2.0);
    fluid->arrays.erase(name);
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetFlowCost(4, 40166.4), EMPTY_VALUE) << name;
  }
  for (auto [basis, name] : {std::pair{1.0, "MassFlow"}, {2.0, "LiquidVolumeFlow"}, {4.0, "MassFlow"}}) {
    auto fluid = CostedFluid(basis, 2.0);
    fluid->arrays.erase(name);
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetFlowCost(0, 40166.4), EMPTY_VALUE) << name;
  }
}

// ---- Through real correlation objects ----

constexpr CLSID kFlowCost = ParseGuid("{BEE3F26B-8A47-4CD2-B4B2-BD26F3720388}");
constexpr CLSID kLowerHeatingValue = ParseGuid("{255FB328-D842-4EAC-A749-C0EDA0C8660E}");
constexpr CLSID kMassHigherHeatingValue = ParseGuid("{59788508-F041-4D02-B24A-0AE14670397F}");

TEST(HeatingValueCorrelations, WriteTheStreamAndEachPhase) {
  auto fluid = NaturalGas();
  ConnectedCorrelation lower(kLowerHeatingValue, fluid.Get());
  ASSERT_EQ(lower.Calculate(), S_OK);
  EXPECT_NEAR(lower.Slot(0) / 1000.0, 817.0051, 0.18);
  EXPECT_DOUBLE_EQ(lower.Slot(1), lower.Slot(0));  // all vapour
  EXPECT_EQ(lower.Slot(2), EMPTY_VALUE);
  EXPECT_EQ(lower.Slot(4), EMPTY_VALUE);

  ConnectedCorrelation mass_higher(kMassHigherHeatingValue, fluid.Get());
  ASSERT_EQ(mass_higher.Calculate(), S_OK);
  EXPECT_NEAR(mass_higher.Slot(0), (lower.Slot(0) + kHalfLatentHeat * GasHydrogenAtoms()) / 17.38843008292,
              1e-6);
  EXPECT_DOUBLE_EQ(mass_higher.Slot(1), mass_higher.Slot(0));

  // The calculator keeps the last cycle's arrays; further cycles must not add to them.
  const long blocks_after_one_cycle = tarvox_platform::LiveTaskBlocks();
  for (int cycle = 0; cycle < 3; ++cycle) ASSERT_EQ(mass_higher.Calculate(), S_OK);
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), blocks_after_one_cycle);
}

TEST(FlowCostCorrelation, FuelOilCalorificValueInputAndItsDefault) {
  auto fluid = CostedFluid(4.0, 1.5);
  ConnectedCorrelation cost(kFlowCost, fluid.Get());
  const double stream_lower = 0.5202 * 802554.0 + 0.26702 * 3886859.0;
  const double at_default = stream_lower / Weight(kStream) * (3000.0 / 1000.0) / 40166.4 * 1.5;

  ASSERT_EQ(cost.Calculate(), S_OK);  // the input holds no value yet
  EXPECT_NEAR(cost.Slot(0), at_default, 1e-9);
  EXPECT_EQ(cost.Slot(4), EMPTY_VALUE);
  EXPECT_EQ(cost.Slot(5), 0.0);  // absent solid: no flow

  cost.SetInput(OLESTR("FuelOilCalorificValue"), 20083.2);
  ASSERT_EQ(cost.Calculate(), S_OK);
  EXPECT_NEAR(cost.Slot(0), 2.0 * at_default, 1e-9);

  cost.SetInput(OLESTR("FuelOilCalorificValue"), EMPTY_VALUE);
  ASSERT_EQ(cost.Calculate(), S_OK);
  EXPECT_NEAR(cost.Slot(0), at_default, 1e-9);

  cost.SetInput(OLESTR("FuelOilCalorificValue"), 0.0);
  ASSERT_EQ(cost.Calculate(), S_OK);
  for (int slot : {0, 1, 2, 3}) EXPECT_EQ(cost.Slot(slot), EMPTY_VALUE) << slot;
}

}  // namespace
}  // namespace tarvox
