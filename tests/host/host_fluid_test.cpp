// The Peng-Robinson host fluid through its COM interfaces: the stream state it hands over, its
// flashes (TP, bubble point, failures) and the ownership of the arrays it returns.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numeric>

#include "calculator/host_fluid.h"
#include "host/fluid/component_data_location.h"
#include "host/fluid/peng_robinson_fluid.h"
#include "host/tool/sample_streams.h"
#include "tarvox_platform/com_runtime.h"

namespace tarvox::host {
namespace {

ComPtr<PengRobinsonFluid> MakeFluid(const StreamConditions& stream) {
  std::string error;
  ComPtr<PengRobinsonFluid> fluid = PengRobinsonFluid::Create(SharedComponentDatabase(), stream, error);
  EXPECT_TRUE(fluid) << error;
  return fluid;
}

StreamConditions PureStream(const std::string& name, double temperature_c, double pressure_kpa) {
  StreamConditions stream;
  stream.name = name;
  stream.temperature_c = temperature_c;
  stream.pressure_kpa = pressure_kpa;
  stream.molar_flow_kmol_h = 10.0;
  stream.components = {name};
  stream.composition = {1.0};
  return stream;
}

// A working record as the module builds one: fresh composition arrays, feed in slot 4.
struct WorkingRecord {
  explicit WorkingRecord(const std::vector<double>& feed) {
    std::memset(&record, 0, sizeof record);
    record.ComponentCount = static_cast<int>(feed.size());
    for (int k = 0; k < PhaseSlotCount; ++k)
      record.Composition[k] = static_cast<double*>(CoTaskMemAlloc(feed.size() * sizeof(double)));
    std::copy(feed.begin(), feed.end(), record.Composition[kFeed]);
    for (int k = 0; k < 3; ++k) {
      record.PhasePresent[k] = -32767;
      record.PhaseFraction[k] = EMPTY_VALUE;
    }
  }
  ~WorkingRecord() {
    for (int k = 0; k < PhaseSlotCount; ++k) CoTaskMemFree(record.Composition[k]);
  }
  WorkingRecord(const WorkingRecord&) = delete;
  WorkingRecord& operator=(const WorkingRecord&) = delete;
  FluidState record;
};

TEST(HostFluidState, WellstreamHasThreePhasesThatBalanceTheFeed) {
  const long blocks_before = tarvox_platform::LiveTaskBlocks();
  {
    ComPtr<PengRobinsonFluid> fluid = MakeFluid(*tool::SampleStream("wellstream"));
    ASSERT_TRUE(fluid);
    FluidState state{};
    ASSERT_EQ(fluid->GetState(&state), S_OK);
    const int n = state.ComponentCount;
    ASSERT_EQ(n, 16);
    EXPECT_DOUBLE_EQ(double{state.Temperature}, 40.0);
    EXPECT_DOUBLE_EQ(double{state.Pressure}, 3000.0);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(state.PhasePresent[k], 1) << "phase " << k;
    EXPECT_EQ(state.PhasePresent[kSolid], 0);
    EXPECT_EQ(double{state.PhaseFraction[kSolid]}, EMPTY_VALUE);
    EXPECT_EQ(state.Composition[kSolid][0], EMPTY_VALUE);
    EXPECT_NEAR(
        double{state.PhaseFraction[0]} + double{state.PhaseFraction[1]} + double{state.PhaseFraction[2]}, 1.0,
        1e-12);

    double enthalpy = 0.0, volume = 0.0;
    for (int k = 0; k < 3; ++k) {
      enthalpy += state.PhaseFraction[k] * state.MolarEnthalpy[k];
      volume += state.PhaseFraction[k] * state.MolarVolume[k];
    }
    EXPECT_NEAR(double{state.MolarEnthalpy[kFeed]}, enthalpy, 1e-9 * std::fabs(enthalpy));
    EXPECT_NEAR(double{state.MolarVolume[kFeed]}, volume, 1e-12);
    for (int i = 0; i < n; ++i) {
      double moles = 0.0;
      for (int k = 0; k < 3; ++k) moles += state.PhaseFraction[k] * state.Composition[k][i];
      EXPECT_NEAR(moles, state.Composition[kFeed][i], 1e-9) << "component " << i;
    }
    // Water-rich liquid in slot 2, vapour lightest.
    EXPECT_GT(state.Composition[kLiquid2][15], 0.99);
    EXPECT_GT(double{state.MolarVolume[kVapour]}, double{state.MolarVolume[kLiquid1]});

    ASSERT_EQ(fluid->GetTransport(&state), S_OK);
    for (int k = 0; k < 3; ++k) EXPECT_GT(double{state.Viscosity[k]}, 0.0);
    EXPECT_EQ(double{state.Viscosity[kSolid]}, EMPTY_VALUE);
    for (int k = 0; k < PhaseSlotCount; ++k) CoTaskMemFree(state.Composition[k]);
  }
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), blocks_before);
}

TEST(HostFluidState, AbsentPhasesAreEmpty) {
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(PureStream("methane", 40.0, 3000.0));
  FluidState state{};
  ASSERT_EQ(fluid->GetState(&state), S_OK);
  EXPECT_EQ(state.PhasePresent[kVapour], 1);
  EXPECT_DOUBLE_EQ(double{state.PhaseFraction[kVapour]}, 1.0);
  for (int k : {kLiquid1, kLiquid2}) {
    EXPECT_EQ(state.PhasePresent[k], 0);
    EXPECT_EQ(double{state.PhaseFraction[k]}, EMPTY_VALUE);
    EXPECT_EQ(double{state.MolarVolume[k]}, EMPTY_VALUE);
    EXPECT_EQ(state.Composition[k][0], EMPTY_VALUE);
  }
  for (int k = 0; k < PhaseSlotCount; ++k) CoTaskMemFree(state.Composition[k]);
}

TEST(HostFluidFlash, BubblePointOfPropaneMatchesItsVapourPressure) {
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(PureStream("propane", 20.0, 2000.0));
  WorkingRecord work({1.0});
  double* const feed_array = work.record.Composition[kFeed];
  work.record.Temperature = 37.778;
  work.record.Pressure = EMPTY_VALUE;
  work.record.PhaseFraction[kVapour] = 0.0;
  ASSERT_EQ(fluid->Flash(&work.record), S_OK);
  EXPECT_NEAR(double{work.record.Pressure}, 1300.471, 0.02 * 1300.471);
  EXPECT_EQ(static_cast<double*>(work.record.Composition[kFeed]), feed_array)
      << "the caller's arrays stay in place";
  EXPECT_EQ(work.record.PhasePresent[kLiquid1], 1);
  EXPECT_DOUBLE_EQ(double{work.record.PhaseFraction[kLiquid1]}, 1.0);
  EXPECT_EQ(double{work.record.PhaseFraction[kSolid]}, 0.0);
  EXPECT_GT(double{work.record.MolarVolume[kLiquid1]}, 0.0);
  long long flashes = 0;
  ASSERT_EQ(fluid->GetFlashCount(&flashes), S_OK);
  EXPECT_EQ(flashes, 1);
}

TEST(HostFluidFlash, GivenVapourFractionIsMet) {
  StreamConditions stream = PureStream("propane", 20.0, 2000.0);
  stream.components = {"propane", "n-butane"};
  stream.composition = {0.5, 0.5};
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(stream);
  WorkingRecord work({0.5, 0.5});
  work.record.Temperature = 37.778;
  work.record.Pressure = EMPTY_VALUE;
  work.record.PhaseFraction[kVapour] = 0.8;
  ASSERT_EQ(fluid->Flash(&work.record), S_OK);
  EXPECT_GT(double{work.record.Pressure}, 355.545);
  EXPECT_LT(double{work.record.Pressure}, 1300.471);
  EXPECT_DOUBLE_EQ(double{work.record.PhaseFraction[kVapour]}, 0.8);
  EXPECT_NEAR(double{work.record.PhaseFraction[kLiquid1]}, 0.2, 1e-12);
}

// The Reid evaluation's fallback asks again for the bubble point it has just been refused: the answer is
// repeated, without a second search, for the same question only.
TEST(HostFluidFlash, TheSameSaturationAskedTwiceRunningIsSearchedOnce) {
  StreamConditions stream = PureStream("methane", 20.0, 2000.0);
  stream.components = {"methane", "ethane"};
  stream.composition = {0.9, 0.1};
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(stream);
  // Both gases lie above their critical temperatures at 37.778 °C: no bubble point.
  const auto searched_flashes = [&](const std::vector<double>& feed) {
    WorkingRecord work(feed);
    work.record.Temperature = 37.778;
    work.record.Pressure = EMPTY_VALUE;
    work.record.PhaseFraction[kVapour] = 0.0;
    const long long before = fluid->tp_flash_count();
    EXPECT_TRUE(FAILED(fluid->Flash(&work.record)));
    return fluid->tp_flash_count() - before;
  };
  EXPECT_GT(searched_flashes({0.9, 0.1}), 0);
  EXPECT_EQ(searched_flashes({0.9, 0.1}), 0);
  EXPECT_GT(searched_flashes({0.8, 0.2}), 0);
  EXPECT_GT(searched_flashes({0.9, 0.1}), 0);
  long long flashes = 0;
  ASSERT_EQ(fluid->GetFlashCount(&flashes), S_OK);
  EXPECT_EQ(flashes, 4) << "each question is a flash of the host";
}

TEST(HostFluidFlash, FailuresLeaveTheRecordUntouched) {
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(PureStream("methane", 20.0, 2000.0));
  const auto expect_refused = [&](FluidState& record) {
    FluidState before;
    std::memcpy(&before, &record, sizeof before);
    const double feed = record.Composition[kFeed][0];
    EXPECT_TRUE(FAILED(fluid->Flash(&record)));
    EXPECT_EQ(std::memcmp(&before, &record, sizeof before), 0);
    EXPECT_EQ(record.Composition[kFeed][0], feed);
  };
  {
    WorkingRecord above_critical({1.0});  // no bubble point of methane at 37.778 °C
    above_critical.record.Temperature = 37.778;
    above_critical.record.Pressure = EMPTY_VALUE;
    above_critical.record.PhaseFraction[kVapour] = 0.0;
    expect_refused(above_critical.record);
  }
  {
    WorkingRecord negative({-0.5});
    negative.record.Temperature = 20.0;
    negative.record.Pressure = 1000.0;
    expect_refused(negative.record);
  }
  {
    WorkingRecord empty_feed({EMPTY_VALUE});
    empty_feed.record.Temperature = 20.0;
    empty_feed.record.Pressure = 1000.0;
    expect_refused(empty_feed.record);
  }
  {
    WorkingRecord bad_fraction({1.0});
    bad_fraction.record.Temperature = 20.0;
    bad_fraction.record.Pressure = EMPTY_VALUE;  // and the vapour fraction still EMPTY_VALUE
    expect_refused(bad_fraction.record);
  }
}

TEST(HostFluidArrays, EachCallReplacesAndFreesThePreviousArray) {
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(*tool::SampleStream("wellstream"));
  const long blocks_before = tarvox_platform::LiveTaskBlocks();
  double* array = nullptr;
  int count = 0;
  ASSERT_EQ(fluid->GetArray("Molecular Weight", &count, &array), S_OK);
  EXPECT_EQ(count, 16);
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), blocks_before + 1);
  for (const char* name : {"Cp_Cv", "MolarFlow", "CAS_Numbers", "StdLiqMassDensity"}) {
    ASSERT_EQ(fluid->GetArray(name, &count, &array), S_OK) << name;
    EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), blocks_before + 1) << name;
  }
  // An unknown name fails and leaves the caller's array as it was.
  double* const kept = array;
  EXPECT_TRUE(FAILED(fluid->GetArray("No Such Array", &count, &array)));
  EXPECT_EQ(array, kept);
  EXPECT_EQ(count, 5);
  CoTaskMemFree(array);
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), blocks_before);
}

TEST(HostFluidArrays, StreamValuesFollowTheComponentData) {
  StreamConditions stream = PureStream("n-butane", 20.0, 500.0);
  stream.components = {"n-butane", "water"};
  stream.composition = {0.25, 0.75};
  stream.standard_temperature = StandardTemperature::k60F;
  stream.flow_basis = 2;
  stream.cost_factor = 3.5;
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(stream);
  const auto values = [&](const char* name) {
    double* array = nullptr;
    int count = 0;
    EXPECT_EQ(fluid->GetArray(name, &count, &array), S_OK) << name;
    std::vector<double> copy(array, array + count);
    CoTaskMemFree(array);
    return copy;
  };
  const double butane_mass = 58.1222, water_mass = 18.01528;  // table molar masses, kg/kmol
  EXPECT_NEAR(values("MassFlow")[0], 10.0 * (0.25 * butane_mass + 0.75 * water_mass), 1e-3);
  EXPECT_EQ(values("CAS_Numbers"), (std::vector<double>{106978, 7732185}));
  EXPECT_EQ(values("ComponentIDs")[1], 19.0);
  EXPECT_LT(values("Heat of Combustion")[0], 0.0);
  EXPECT_EQ(values("TempUnitFlag")[0], 0.0);
  EXPECT_NEAR(values("StdIdealMolarVolume")[0], 8.31446261815324 * (273.15 + 15.5555556) / 101.325, 1e-6);
  EXPECT_EQ(values("FlowBasis")[0], 2.0);
  EXPECT_EQ(values("CostFactor")[0], 3.5);
  EXPECT_EQ(values("Cp_Cv").size(), 5u);
}

TEST(HostFluidMessages, ReportedTextsAreCollected) {
  ComPtr<PengRobinsonFluid> fluid = MakeFluid(PureStream("propane", 20.0, 2000.0));
  ComPtr<IHostFlash> flash = ComPtr<IHostFlash>::Query(static_cast<IHostFluid*>(fluid.Get()), IID_IHostFlash);
  ASSERT_TRUE(flash);
  EXPECT_EQ(flash->ReportMessage("first"), S_OK);
  EXPECT_EQ(flash->ReportMessage("second"), S_OK);
  int count = 0;
  ASSERT_EQ(flash->GetMessageCount(&count), S_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(fluid->messages().back(), "second");
  EXPECT_EQ(flash->ClearMessages(), S_OK);
  EXPECT_TRUE(fluid->messages().empty());
}

TEST(HostFluidCreation, UnknownComponentsAndEmptyFeedsAreRefused) {
  std::string error;
  StreamConditions unknown = PureStream("unobtainium", 20.0, 100.0);
  EXPECT_FALSE(PengRobinsonFluid::Create(SharedComponentDatabase(), unknown, error));
  EXPECT_NE(error.find("unobtainium"), std::string::npos);
  StreamConditions zero = PureStream("methane", 20.0, 100.0);
  zero.composition = {0.0};
  EXPECT_FALSE(PengRobinsonFluid::Create(SharedComponentDatabase(), zero, error));
}

}  // namespace
}  // namespace tarvox::host
