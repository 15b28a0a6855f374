#include <gtest/gtest.h>

#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::ThreePhaseFluid;

constexpr HRESULT kDenied = MakeHresult(0x80070005u);

IUnknown* Unknown(host::ScriptedFluid* fluid) { return static_cast<IHostFluid*>(fluid); }

TEST(CalculateFrame, UnknownCookiesAreRefusedWithoutAHostCall) {
  auto fluid = ThreePhaseFluid();
  testing::ConnectedCorrelation c("MolarVolume", Unknown(fluid.Get()));
  EXPECT_EQ(c.Correlation()->Calculate(0), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(c.Correlation()->Calculate(2), CONNECT_E_CANNOTCONNECT);
  EXPECT_EQ(c.Site().entry_requests, 0);
  EXPECT_TRUE(fluid->calls.empty());
}

TEST(CalculateFrame, InactiveEntryTouchesNothing) {
  auto fluid = ThreePhaseFluid();
  testing::ConnectedCorrelation c("MolarVolume", Unknown(fluid.Get()));
  ComPtr<IStreamEntry> entry;
  c.Site().GetStreamEntry(7, entry.Put());
  static_cast<host::StreamEntry*>(entry.Get())->active = 0;
  EXPECT_EQ(c.Calculate(), S_OK);
  EXPECT_TRUE(fluid->calls.empty());
  EXPECT_EQ(c.Slot(0), EMPTY_VALUE);  // never written
  EXPECT_EQ(GetPropertyCalculator().Fluid(), nullptr);
}

TEST(CalculateFrame, FailuresOfTheHostAreReturned) {
  auto fluid = ThreePhaseFluid();
  testing::ConnectedCorrelation c("MolarVolume", Unknown(fluid.Get()));
  ComPtr<IStreamEntry> entry;
  c.Site().GetStreamEntry(7, entry.Put());
  auto* stream = static_cast<host::StreamEntry*>(entry.Get());
  stream->get_fluid_result = kDenied;
  EXPECT_EQ(c.Calculate(), kDenied);
  stream->get_fluid_result = S_OK;
  stream->is_active_result = E_FAIL;  // a failed IsActive counts as active
  EXPECT_EQ(c.Calculate(), S_OK);
  EXPECT_NEAR(c.Slot(1), 0.80, 1e-15);

  // A fluid object without IHostFluid is no fluid.
  auto site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  auto not_a_fluid = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  site->AddStream(1, static_cast<ICorrelationSite*>(not_a_fluid.Get()));
  LONG cookie = 0;
  IVariableSet* values = nullptr;
  c.Correlation()->Connect(site.Get(), 1, &cookie, &values);
  EXPECT_EQ(c.Correlation()->Calculate(cookie), E_FAIL);
}

TEST(CalculateFrame, WritesFiveSlotsAndLeavesSlotFourAlone) {
  auto fluid = ThreePhaseFluid();
  testing::ConnectedCorrelation c("MolarVolume", Unknown(fluid.Get()));
  ASSERT_EQ(c.Calculate(), S_OK);
  EXPECT_NEAR(c.Slot(0), 0.45, 1e-15);
  EXPECT_NEAR(c.Slot(1), 0.80, 1e-15);
  EXPECT_NEAR(c.Slot(2), 0.14, 1e-15);
  EXPECT_NEAR(c.Slot(3), 0.019, 1e-15);
  EXPECT_EQ(c.Slot(4), EMPTY_VALUE);
  EXPECT_EQ(c.Slot(5), EMPTY_VALUE);       // no solid
  EXPECT_EQ(fluid->Count("GetState"), 1);  // the four phases reuse the stream's state
  EXPECT_FALSE(GetPropertyCalculator().StateLoaded());
  EXPECT_EQ(GetPropertyCalculator().Fluid(), nullptr);
}

TEST(CalculateFrame, TwoConnectionsEachGetTheirOwnValues) {
  auto first = ThreePhaseFluid();
  auto second = ThreePhaseFluid();
  second->state.MolarVolume[4] = 0.9;
  testing::ConnectedCorrelation c("MolarVolume", Unknown(first.Get()));
  c.Site().AddStream(8, Unknown(second.Get()));
  LONG cookie = 0;
  IVariableSet* values = nullptr;
  ASSERT_EQ(c.Correlation()->Connect(&c.Site(), 8, &cookie, &values), S_OK);
  ASSERT_EQ(c.Calculate(), S_OK);
  ASSERT_EQ(c.Correlation()->Calculate(cookie), S_OK);
  EXPECT_NEAR(c.Slot(0), 0.45, 1e-15);
  EXPECT_NEAR(testing::PhaseValue(values, 0), 0.9, 1e-15);
  EXPECT_EQ(second->Count("GetState"), 1);  // fetched anew for the second stream
}

TEST(CalculateFrame, NonFiniteResultsAreNeverWritten) {
  auto fluid = ThreePhaseFluid();
  fluid->state.MolarVolume[4] = std::numeric_limits<double>::infinity();
  fluid->state.MolarVolume[0] = std::numeric_limits<double>::quiet_NaN();
  testing::ConnectedCorrelation c("MolarVolume", Unknown(fluid.Get()));
  ASSERT_EQ(c.Calculate(), S_OK);
  EXPECT_EQ(c.Slot(0), EMPTY_VALUE);
  EXPECT_EQ(c.Slot(1), EMPTY_VALUE);
}

TEST(Calculator, FailedLoadIsNotReusedAndShortArraysCountAsMissing) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["Molecular Weight"] = {16.04246, 86.17536};  // one short
  testing::BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->LoadFluidState(), 0);
  EXPECT_EQ(calc->StreamMolarFlow, EMPTY_VALUE);
  {
    const StateReuse reuse(*calc);
    EXPECT_EQ(calc->LoadFluidState(), 0);  // a half-loaded state is not offered for reuse
  }
  fluid->compositions[1].reset();
  fluid->arrays["Molecular Weight"] = {16.04246, 86.17536, 18.01528};
  EXPECT_EQ(calc->GetMolecularWeight(1), EMPTY_VALUE);  // no composition array
}

TEST(Calculator, RepeatedLoadsLeakNothingAndCopiesOutliveTheBuffer) {
  auto fluid = ThreePhaseFluid();
  testing::BoundFluid calc(fluid.Get());
  ASSERT_EQ(calc->LoadFluidState(), 1);
  const long blocks = tarvox_platform::LiveTaskBlocks();
  for (int i = 0; i < 5; ++i) ASSERT_EQ(calc->LoadFluidState(), 1);
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), blocks);
  TaskArray<double> copy = calc->ComponentArrayCopy("Standard Liquid Density");
  calc->GetNamedArray("MolarFlow", 0);
  EXPECT_EQ(copy[1], 663.77);
}

TEST(Calculator, FlashRecordTakesThePhaseCompositionAsFeed) {
  auto fluid = ThreePhaseFluid();
  testing::BoundFluid calc(fluid.Get());
  ASSERT_EQ(calc->LoadFluidState(), 1);
  FlashRecord record;
  calc->MakeFlashRecord(&record.Get(), calc->State, 2);
  EXPECT_EQ(record->Composition[4][2], 0.9989);
  EXPECT_NE(static_cast<const double*>(record->Composition[4]),
            static_cast<const double*>(calc->State.Composition[2]));
  for (int k = 0; k < 3; ++k) EXPECT_EQ(record->PhasePresent[k], -32767);
  EXPECT_EQ(record->PhasePresent[3], 0);
  EXPECT_EQ(double{record->MolarVolume[4]}, EMPTY_VALUE);
  EXPECT_EQ(double{record->Temperature}, 40.0);
}

TEST(Calculator, PhaseSplitChangedCases) {
  FluidState flashed{}, loaded{};
  flashed.PhaseFraction[0] = 0.5;
  EXPECT_EQ(CPropertyCalculator::PhaseSplitChanged(flashed, loaded, 0), 1);
  flashed.PhaseFraction[0] = 1.0;
  EXPECT_EQ(CPropertyCalculator::PhaseSplitChanged(flashed, loaded, 0), 0);
  flashed.PhaseFraction[1] = 0.01;
  flashed.PhaseFraction[2] = 0.01;
  EXPECT_EQ(CPropertyCalculator::PhaseSplitChanged(flashed, loaded, 4), 1);  // two liquids
  flashed.PhaseFraction[2] = 0.0;
  loaded.PhaseFraction[0] = 0.0;  // ignored: a loaded fraction of zero
  loaded.PhaseFraction[1] = 0.0100001;
  EXPECT_EQ(CPropertyCalculator::PhaseSplitChanged(flashed, loaded, 4), 0);
  loaded.PhaseFraction[1] = 0.02;
  EXPECT_EQ(CPropertyCalculator::PhaseSplitChanged(flashed, loaded, 4), 1);
}

}  // namespace
}  // namespace tarvox
