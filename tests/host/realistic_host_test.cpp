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
  StreamSpec stream;
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

}  // namespace
}  // namespace tarvox::host
