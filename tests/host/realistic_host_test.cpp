// Correlations computed through their real Calculate against the Peng-Robinson host fluid,
// compared with published data and with the host's own analytical values.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/fluid/component_data_location.h"
#include "host/fluid/peng_robinson_fluid.h"
#include "tests/support/correlation_harness.h"

namespace tarvox::host {
namespace {

constexpr CLSID kEntropyMethodCv = ParseGuid("{5749D0B3-731A-11D6-8051-0090271C82FF}");
constexpr CLSID kTrueVapourPressure = ParseGuid("{5095C7EA-352B-4A9E-99E7-3AA35A907617}");
constexpr CLSID kReidVapourPressure = ParseGuid("{E875B49F-F28F-4D79-8FCE-2C976819F19B}");
constexpr CLSID kSolutionGor = ParseGuid("{5889821D-AB85-4107-8674-B8CBEB354175}");
constexpr CLSID kOilFvf = ParseGuid("{25CEE561-4E0D-4F4A-A65B-6468BDDC6EE2}");

// Published vapour pressures at 37.778 °C (100 °F), kPa.
constexpr double kPropaneAt100F = 1300.471;
constexpr double kButaneAt100F = 355.545;

ComPtr<PengRobinsonFluid> Fluid(std::vector<std::string> names, std::vector<double> amounts,
                                double temperature_c, double pressure_kpa) {
  StreamConditions stream;
  stream.name = "test";
  stream.temperature_c = temperature_c;
  stream.pressure_kpa = pressure_kpa;
  stream.molar_flow_kmol_h = 100.0;
  stream.components = std::move(names);
  stream.composition = std::move(amounts);
  std::string error;
  ComPtr<PengRobinsonFluid> fluid = PengRobinsonFluid::Create(SharedComponentDatabase(), stream, error);
  EXPECT_TRUE(fluid) << error;
  return fluid;
}

double Overall(const CLSID& clsid, PengRobinsonFluid& fluid) {
  testing::ConnectedCorrelation correlation(clsid, static_cast<IHostFluid*>(&fluid));
  EXPECT_EQ(correlation.Calculate(), S_OK);
  return correlation.Slot(0);
}

TEST(RealisticHost, EntropyMethodCvOfAGasMatchesTheAnalyticalCv) {
  ComPtr<PengRobinsonFluid> gas = Fluid({"methane", "ethane", "propane"}, {0.85, 0.1, 0.05}, 40.0, 5000.0);
  ASSERT_EQ(gas->split().phase_count, 1);
  const double analytical = gas->split().slots[0].properties.cv;
  testing::ConnectedCorrelation correlation(kEntropyMethodCv, static_cast<IHostFluid*>(gas.Get()));
  ASSERT_EQ(correlation.Calculate(), S_OK);
  EXPECT_NEAR(correlation.Slot(1), analytical, 1e-3 * analytical);  // vapour
  EXPECT_NEAR(correlation.Slot(0), analytical, 1e-3 * analytical);  // the whole stream
  EXPECT_EQ(correlation.Slot(2), EMPTY_VALUE);
}

TEST(RealisticHost, TrueVapourPressuresOfPureLiquidsMatchPublishedValues) {
  ComPtr<PengRobinsonFluid> propane = Fluid({"propane"}, {1.0}, 20.0, 2000.0);
  EXPECT_NEAR(Overall(kTrueVapourPressure, *propane.Get()), kPropaneAt100F, 0.02 * kPropaneAt100F);
  ComPtr<PengRobinsonFluid> butane = Fluid({"n-butane"}, {1.0}, 20.0, 1000.0);
  EXPECT_NEAR(Overall(kTrueVapourPressure, *butane.Get()), kButaneAt100F, 0.02 * kButaneAt100F);
}

TEST(RealisticHost, ReidValueOfASingleComponentIsItsTrueVapourPressure) {
  ComPtr<PengRobinsonFluid> propane = Fluid({"propane"}, {1.0}, 20.0, 2000.0);
  const double tvp = Overall(kTrueVapourPressure, *propane.Get());
  const double rvp = Overall(kReidVapourPressure, *propane.Get());
  EXPECT_DOUBLE_EQ(rvp, tvp);
  const std::vector<std::string>& messages = propane->messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(),
                      "Fluid has only one active component - returning TVP as RVP"),
            messages.end());
}

TEST(RealisticHost, BlackOilReleasesGasAndShrinksToStandardConditions) {
  ComPtr<PengRobinsonFluid> oil =
      Fluid({"methane", "propane", "n-octane", "n-decane"}, {0.3, 0.1, 0.3, 0.3}, 80.0, 20000.0);
  ASSERT_EQ(oil->split().phase_count, 1);
  ASSERT_TRUE(oil->split().slots[1].present);
  const double gor = Overall(kSolutionGor, *oil.Get());
  const double fvf = Overall(kOilFvf, *oil.Get());
  EXPECT_GT(gor, 10.0);
  EXPECT_LT(gor, 1000.0);
  EXPECT_GT(fvf, 1.0);
  EXPECT_LT(fvf, 2.0);
}

const std::vector<std::string> kNaphtha = {"isobutane", "n-butane", "isopentane", "n-pentane", "n-hexane"};
const std::vector<double> kNaphthaAmounts = {0.05, 0.15, 0.25, 0.3, 0.25};

// The Reid value of the stream with the non-condensable threshold given, in mole percent.
double ReidValue(PengRobinsonFluid& fluid, double remove_nc_mol_percent) {
  testing::ConnectedCorrelation correlation(kReidVapourPressure, static_cast<IHostFluid*>(&fluid));
  correlation.SetInput(OLESTR("RemoveNCmolPercent"), remove_nc_mol_percent);
  EXPECT_EQ(correlation.Calculate(), S_OK);
  return correlation.Slot(0);
}

// Vapour volume over liquid volume of `feed` flashed by the host at 37.778 °C and `pressure`.
double VolumeRatio(PengRobinsonFluid& fluid, const std::vector<double>& feed, double pressure) {
  ComPtr<IHostFlash> flash = ComPtr<IHostFlash>::Query(static_cast<IHostFluid*>(&fluid), IID_IHostFlash);
  FlashRecord record;
  FluidState& r = record.Get();
  r.Temperature = 37.778;
  r.Pressure = pressure;
  r.ComponentCount = static_cast<std::int32_t>(feed.size());
  for (int k = 0; k < PhaseSlotCount; ++k) {
    r.Composition[k] = static_cast<double*>(CoTaskMemAlloc(feed.size() * sizeof(double)));
    std::copy(feed.begin(), feed.end(), r.Composition[k]);
  }
  EXPECT_EQ(flash->Flash(&r), S_OK);
  const auto volume = [&](int k) {
    return r.PhasePresent[k] && r.PhaseFraction[k] > 1e-6 ? r.PhaseFraction[k] * r.MolarVolume[k] : 0.0;
  };
  return volume(kVapour) / (volume(kLiquid1) + volume(kLiquid2));
}

TEST(RealisticHost, ReidValueOfALightNaphthaIsWhereTheVapourIsFourTimesTheLiquid) {
  ComPtr<PengRobinsonFluid> naphtha = Fluid(kNaphtha, kNaphthaAmounts, 20.0, 500.0);
  const double tvp = Overall(kTrueVapourPressure, *naphtha.Get());
  const double rvp = ReidValue(*naphtha.Get(), 0.0);
  EXPECT_GT(rvp, 0.0);
  EXPECT_LT(rvp, tvp);
  // An independent flash of the feed at the Reid value: four volumes of vapour to one of liquid.
  EXPECT_NEAR(VolumeRatio(*naphtha.Get(), kNaphthaAmounts, rvp), 4.0, 0.01);
}

TEST(RealisticHost, MethaneBelowTheThresholdIsTakenOutAndAtItStays) {
  std::vector<std::string> names = kNaphtha;
  names.push_back("methane");
  std::vector<double> amounts = {0.05 * 0.99, 0.15 * 0.99, 0.25 * 0.99, 0.3 * 0.99, 0.25 * 0.99, 0.01};
  ComPtr<PengRobinsonFluid> live = Fluid(names, amounts, 20.0, 2000.0);
  ComPtr<PengRobinsonFluid> dead = Fluid(kNaphtha, kNaphthaAmounts, 20.0, 2000.0);
  const double without_methane = ReidValue(*dead.Get(), 0.0);
  const double kept = ReidValue(*live.Get(), 0.0);
  EXPECT_GT(kept, 1.05 * without_methane);  // one percent of methane raises it markedly
  EXPECT_NEAR(ReidValue(*live.Get(), 2.0), without_methane, 1e-6 * without_methane);
  EXPECT_NEAR(ReidValue(*live.Get(), 0.5), kept, 1e-9 * kept);
  EXPECT_NEAR(ReidValue(*live.Get(), 1.0), kept, 1e-9 * kept);  // exactly at the threshold: stays
}

TEST(RealisticHost, WaterIsTakenOutOfAWetFeedButNotOutOfPureWater) {
  std::vector<std::string> names = kNaphtha;
  names.push_back("water");
  std::vector<double> amounts = {0.05 * 0.9, 0.15 * 0.9, 0.25 * 0.9, 0.3 * 0.9, 0.25 * 0.9, 0.1};
  ComPtr<PengRobinsonFluid> wet = Fluid(names, amounts, 20.0, 500.0);
  ComPtr<PengRobinsonFluid> dry = Fluid(kNaphtha, kNaphthaAmounts, 20.0, 500.0);
  const double dry_value = ReidValue(*dry.Get(), 0.0);
  EXPECT_NEAR(ReidValue(*wet.Get(), 0.0), dry_value, 1e-6 * dry_value);

  ComPtr<PengRobinsonFluid> water = Fluid({"water"}, {1.0}, 20.0, 500.0);
  EXPECT_DOUBLE_EQ(ReidValue(*water.Get(), 0.0), Overall(kTrueVapourPressure, *water.Get()));
  const std::vector<std::string>& messages = water->messages();
  EXPECT_NE(std::find(messages.begin(), messages.end(),
                      "Fluid has only one active component - returning TVP as RVP"),
            messages.end());
}

}  // namespace
}  // namespace tarvox::host
