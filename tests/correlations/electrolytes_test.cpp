#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "correlations/electrolytes.h"
#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ConnectedCorrelation;

constexpr CLSID kPHClass = ParseGuid("{64255154-1EC6-4E8A-B6D5-D3AFEE23E6F1}");

TEST(ElectrolyteLibrary, StoredNameUnscramblesToTheLibraryFile) {
  EXPECT_EQ(UnscrambleLibraryName(kStoredElectrolyteLibraryName), "TVXELYTE.DLL");
  // Case does not matter to the unscrambling: letters are raised first.
  EXPECT_EQ(UnscrambleLibraryName("k3o;q[-],ziz"), UnscrambleLibraryName("K3O;Q[-],ZIZ"));
}

TEST(ElectrolyteLibrary, LoadsFromTheExecutablesFolder) {
  HMODULE library = LoadElectrolyteLibrary(kStoredElectrolyteLibraryName);
  ASSERT_NE(library, nullptr);
  EXPECT_NE(GetProcAddress(library, "GetZKTPropSysPropSetProperty"), nullptr);
  FreeLibrary(library);
  EXPECT_EQ(LoadElectrolyteLibrary("A"), nullptr);  // no such file beside the executable
}

TEST(ElectrolyteLibrary, PhaseCodesForOneAndTwoLiquids) {
  FluidState both{};
  both.PhaseFraction[1] = 0.3;
  both.PhaseFraction[2] = 0.2;
  EXPECT_EQ(ElectrolytePhaseCode(both, 4), 2);
  EXPECT_EQ(ElectrolytePhaseCode(both, 1), 6);
  EXPECT_EQ(ElectrolytePhaseCode(both, 2), 4);
  EXPECT_EQ(ElectrolytePhaseCode(both, 0), 0);
  EXPECT_EQ(ElectrolytePhaseCode(both, 3), 0);

  FluidState first_only{};
  first_only.PhaseFraction[0] = 0.5;
  first_only.PhaseFraction[1] = 0.5;
  first_only.PhasePresent[2] = 1;  // presence is not what counts
  EXPECT_EQ(ElectrolytePhaseCode(first_only, 4), 2);
  EXPECT_EQ(ElectrolytePhaseCode(first_only, 1), 2);
  EXPECT_EQ(ElectrolytePhaseCode(first_only, 2), 0);

  FluidState second_only{};
  second_only.PhaseFraction[2] = 1.0;
  EXPECT_EQ(ElectrolytePhaseCode(second_only, 2), 2);
  EXPECT_EQ(ElectrolytePhaseCode(second_only, 1), 0);
  EXPECT_EQ(ElectrolytePhaseCode(FluidState{}, 4), 0);

  // A second fraction that is no number leaves open whether the first liquid is the only one.
  FluidState unknown_second = first_only;
  unknown_second.PhaseFraction[2] = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(ElectrolytePhaseCode(unknown_second, 1), 0);
  EXPECT_EQ(ElectrolytePhaseCode(unknown_second, 4), 2);
}

TEST(ElectrolyteLibrary, ArgumentsInKelvinPascalAndTruncatedIdentifiers) {
  double overall[3] = {0.1, 0.85, 0.05};
  FluidState s{};
  s.Temperature = 40.0;
  s.Pressure = 200.0;
  s.ComponentCount = 3;
  s.Composition[4] = overall;
  const double ids[3] = {30065.0, 19.99, 14.9};
  const auto args = BuildElectrolyteArguments(s, ids, 6);
  ASSERT_TRUE(args);
  EXPECT_DOUBLE_EQ(args->temperature_kelvin, 313.15);
  EXPECT_DOUBLE_EQ(args->pressure_pascal, 200000.0);
  EXPECT_EQ(args->component_count, 3);
  EXPECT_EQ(args->mole_fractions, overall);
  EXPECT_EQ(args->component_ids, (std::vector<std::int32_t>{30065, 19, 14}));
  EXPECT_EQ(args->phase_code, 6);

  const double negative[3] = {-14.9, 19.0, 14.0};
  EXPECT_EQ(BuildElectrolyteArguments(s, negative, 2)->component_ids[0], -14);
  const double huge[3] = {1e12, 19.0, 14.0};
  EXPECT_FALSE(BuildElectrolyteArguments(s, huge, 2));
  s.Composition[4] = nullptr;
  EXPECT_FALSE(BuildElectrolyteArguments(s, ids, 2));
}

TEST(ElectrolyteLibrary, NoValueMarkerOnlyEmptiesPHAndPOH) {
  EXPECT_EQ(ReportedElectrolyteValue(1e35, true), EMPTY_VALUE);
  EXPECT_EQ(ReportedElectrolyteValue(1e35, false), 1e35);
  EXPECT_EQ(ReportedElectrolyteValue(9.9e34, true), 9.9e34);
  EXPECT_EQ(ReportedElectrolyteValue(1.01e35, true), 1.01e35);
  EXPECT_EQ(ReportedElectrolyteValue(7.0, true), 7.0);
  EXPECT_EQ(ReportedElectrolyteValue(std::numeric_limits<double>::quiet_NaN(), false), EMPTY_VALUE);
}

// Pure liquid water at 25 °C; optionally a second liquid phase.
ComPtr<host::ScriptedFluid> Water(bool two_liquids = false) {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = 25.0;
  s.Pressure = 101.325;
  s.ComponentCount = 1;
  s.PhaseFraction[1] = two_liquids ? 0.5 : 1.0;
  s.PhaseFraction[2] = two_liquids ? 0.5 : 0.0;
  s.PhasePresent[1] = 1;
  s.PhasePresent[2] = two_liquids ? 1 : 0;
  for (int k : {1, 2, 4}) fluid->compositions[k] = std::vector<double>{1.0};
  fluid->arrays["Molecular Weight"] = {18.01528};
  fluid->arrays["MolarFlow"] = {10.0};
  fluid->arrays["ComponentIDs"] = {19.0};
  return fluid;
}

TEST(ElectrolyteProperties, PureWaterIsNeutral) {
  auto fluid = Water();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetPH(4), 7.0, 0.02);
  EXPECT_NEAR(calc->GetPOH(1), 7.0, 0.02);
  EXPECT_NEAR(calc->GetIONSX(4), 1e-7, 2e-9);  // ½(m(H+) + m(OH−))
  // No solute: the library's marker reaches the host unchanged for these.
  EXPECT_EQ(calc->GetOsmoticCoefficient(4), 1e35);
  EXPECT_EQ(calc->GetSOLINDEX(4), 1e35);
  EXPECT_EQ(calc->GetPH(0), EMPTY_VALUE);
  EXPECT_EQ(calc->GetPH(2), EMPTY_VALUE);
  EXPECT_EQ(calc->GetPH(3), EMPTY_VALUE);
}

TEST(ElectrolyteProperties, MarkerEmptiesPHAndPOHOfAStreamWithoutWater) {
  auto fluid = Water();
  fluid->arrays["ComponentIDs"] = {1.0};  // methane: no solvent for the library
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetPH(4), EMPTY_VALUE);
  EXPECT_EQ(calc->GetPOH(4), EMPTY_VALUE);
  EXPECT_EQ(calc->GetIONSX(4), 1e35);
}

TEST(ElectrolyteProperties, IdentifiersAreTruncatedBeforeTheCall) {
  auto fluid = Water();
  fluid->state.ComponentCount = 3;
  for (int k : {1, 4}) fluid->compositions[k] = std::vector<double>{0.03, 0.95, 0.02};
  fluid->arrays["Molecular Weight"] = {119.1628, 18.01528, 44.0095};
  fluid->arrays["ComponentIDs"] = {30065.0, 19.0, 14.0};
  BoundFluid calc(fluid.Get());
  const double exact = calc->GetPH(4);
  ASSERT_NE(exact, EMPTY_VALUE);
  fluid->arrays["ComponentIDs"] = {30065.9, 19.9, 14.9};
  EXPECT_EQ(calc->GetPH(4), exact);
}

TEST(ElectrolyteProperties, MissingDataGivesNoValueWithoutLeaks) {
  const long blocks = testing::UnaccountedTaskBlocks();
  {
    auto fluid = Water();
    BoundFluid calc(fluid.Get());
    fluid->arrays.erase("ComponentIDs");
    EXPECT_EQ(calc->GetPH(4), EMPTY_VALUE);
    fluid->fail_get_state = true;
    EXPECT_EQ(calc->GetOsmoticCoefficient(4), EMPTY_VALUE);
  }
  EXPECT_EQ(testing::UnaccountedTaskBlocks(), blocks);
}

TEST(ElectrolyteProperties, SlotsThroughCalculate) {
  auto one_liquid = Water();
  ConnectedCorrelation ph(kPHClass, static_cast<IHostFluid*>(one_liquid.Get()));
  ASSERT_EQ(ph.Calculate(), S_OK);
  EXPECT_NEAR(ph.Slot(0), 7.0, 0.02);
  EXPECT_EQ(ph.Slot(2), ph.Slot(0));  // same arguments, phase code 2
  EXPECT_EQ(ph.Slot(3), EMPTY_VALUE);
  EXPECT_EQ(ph.Slot(1), EMPTY_VALUE);
  EXPECT_EQ(ph.Slot(5), EMPTY_VALUE);

  auto two_liquids = Water(true);
  ConnectedCorrelation both(kPHClass, static_cast<IHostFluid*>(two_liquids.Get()));
  ASSERT_EQ(both.Calculate(), S_OK);
  // Of two liquids the first is the hydrocarbon liquid, which has no pH; the second is the water.
  EXPECT_EQ(both.Slot(2), EMPTY_VALUE);
  EXPECT_EQ(both.Slot(3), both.Slot(0));
  EXPECT_EQ(both.Slot(1), EMPTY_VALUE);
  EXPECT_EQ(both.Slot(5), EMPTY_VALUE);
}

}  // namespace
}  // namespace tarvox
