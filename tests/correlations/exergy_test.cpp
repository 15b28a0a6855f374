#include <gtest/gtest.h>

#include <cmath>

#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ConnectedCorrelation;

constexpr double kKelvin = 273.15;
constexpr double kR = 8.31432;           // kJ/(kmol·K)
constexpr double kCp = 29.1;             // kJ/(kmol·K), constant
constexpr double kWeight = 28.0134;      // kg/kmol
constexpr double kDatumKelvin = 298.15;  // where h and s are zero
constexpr double kDatumPressure = 101.325;

double IdealGasEnthalpy(double t) { return kCp * (t + kKelvin - kDatumKelvin); }
double IdealGasEntropy(double t, double p) {
  return kCp * std::log((t + kKelvin) / kDatumKelvin) - kR * std::log(p / kDatumPressure);
}

// Per unit mass: cp(T − T0) − T0·(cp ln(T/T0) − R ln(P/P0)).
double ClosedFormExergy(double t, double p, double t0, double p0) {
  const double cp = kCp / kWeight;
  const double r = kR / kWeight;
  const double t_k = t + kKelvin;
  const double t0_k = t0 + kKelvin;
  return cp * (t_k - t0_k) - t0_k * (cp * std::log(t_k / t0_k) - r * std::log(p / p0));
}

// Nitrogen as an ideal gas with constant cp, at `t` °C and `p` kPa; the host's flash follows the
// same ideal-gas law.
ComPtr<host::ScriptedFluid> IdealGas(double t, double p) {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = t;
  s.Pressure = p;
  s.ComponentCount = 1;
  for (int k = 0; k < 5; ++k) {
    s.MolarEnthalpy[k] = EMPTY_VALUE;
    s.MolarEntropy[k] = EMPTY_VALUE;
  }
  for (int k : {0, 4}) {
    s.MolarEnthalpy[k] = IdealGasEnthalpy(t);
    s.MolarEntropy[k] = IdealGasEntropy(t, p);
  }
  s.PhaseFraction[0] = 1.0;
  s.PhasePresent[0] = 1;
  fluid->compositions[0] = std::vector<double>{1.0};
  fluid->compositions[4] = std::vector<double>{1.0};
  fluid->arrays["Molecular Weight"] = {kWeight};
  fluid->arrays["MolarFlow"] = {10.0};
  fluid->flash = [](FluidState& r) {
    r.PhaseFraction[0] = 1.0;
    r.PhasePresent[0] = 1;
    for (int k : {0, 4}) {
      r.MolarEnthalpy[k] = IdealGasEnthalpy(r.Temperature);
      r.MolarEntropy[k] = IdealGasEntropy(r.Temperature, r.Pressure);
    }
    return S_OK;
  };
  return fluid;
}

TEST(Exergy, IdealGasMatchesTheClosedForm) {
  auto fluid = IdealGas(150.0, 800.0);
  BoundFluid calc(fluid.Get());
  const double expected = ClosedFormExergy(150.0, 800.0, 10.0, 150.0);
  EXPECT_NEAR(calc->GetExergy(4, 10.0, 150.0), expected, 1e-9 * std::fabs(expected));
  EXPECT_NEAR(calc->GetExergy(0, 10.0, 150.0), expected, 1e-9 * std::fabs(expected));
  EXPECT_FALSE(calc->StateLoaded());
}

TEST(Exergy, ZeroAtTheReferenceState) {
  auto fluid = IdealGas(60.0, 400.0);
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetExergy(4, 60.0, 400.0), 0.0, 1e-12);
}

TEST(Exergy, MissingReferenceEntropyCountsAsZero) {
  auto fluid = IdealGas(150.0, 800.0);
  fluid->flash = [](FluidState& r) {
    r.MolarEnthalpy[4] = IdealGasEnthalpy(r.Temperature);
    return S_OK;
  };
  BoundFluid calc(fluid.Get());
  const double h = IdealGasEnthalpy(150.0) / kWeight;
  const double h0 = IdealGasEnthalpy(25.0) / kWeight;
  const double s = IdealGasEntropy(150.0, 800.0) / kWeight;
  EXPECT_NEAR(calc->GetExergy(4, 25.0, 101.325), (h - h0) - s * (25.0 + 273.15), 1e-9);
}

TEST(Exergy, FailuresGiveNoValueAndLeakNothing) {
  const long blocks = testing::UnaccountedTaskBlocks();
  {
    auto fluid = IdealGas(150.0, 800.0);
    BoundFluid calc(fluid.Get());
    fluid->state.MolarEntropy[4] = EMPTY_VALUE;
    EXPECT_EQ(calc->GetExergy(4, 25.0, 101.325), EMPTY_VALUE);
    fluid->state.MolarEntropy[4] = IdealGasEntropy(150.0, 800.0);
    fluid->flash = [](FluidState&) { return E_FAIL; };
    EXPECT_EQ(calc->GetExergy(4, 25.0, 101.325), EMPTY_VALUE);
    fluid->offer_flash = false;
    EXPECT_EQ(calc->GetExergy(4, 25.0, 101.325), EMPTY_VALUE);
    fluid->offer_flash = true;
    fluid->compositions[4] = std::vector<double>{0.0};  // a feed of no mass
    fluid->flash = [](FluidState&) { return S_OK; };
    EXPECT_EQ(calc->GetExergy(4, 25.0, 101.325), EMPTY_VALUE);
    EXPECT_EQ(calc->GetExergy(4, EMPTY_VALUE, 101.325), EMPTY_VALUE);
  }
  EXPECT_EQ(testing::UnaccountedTaskBlocks(), blocks);
}

TEST(Exergy, EmptiedReferencesFallBackToTheirDefaultsThroughCalculate) {
  auto fluid = IdealGas(150.0, 800.0);
  ConnectedCorrelation correlation(ParseGuid("{6A235C3C-C1F6-4F6B-AA89-5F3CF56D778B}"),
                                   static_cast<IHostFluid*>(fluid.Get()));
  const auto temperature = correlation.NumericInput(OLESTR("ExergyRefTempValue"));
  const auto pressure = correlation.NumericInput(OLESTR("ExergyRefPresValue"));
  ASSERT_TRUE(temperature && pressure);
  ASSERT_EQ(temperature->SetValue(EMPTY_VALUE), S_OK);
  ASSERT_EQ(pressure->SetValue(EMPTY_VALUE), S_OK);

  ASSERT_EQ(correlation.Calculate(), S_OK);
  double value = 0.0;
  EXPECT_EQ(temperature->GetValue(&value), S_OK);
  EXPECT_EQ(value, 25.0);
  EXPECT_EQ(pressure->GetValue(&value), S_OK);
  EXPECT_EQ(value, 101.325);
  const double expected = ClosedFormExergy(150.0, 800.0, 25.0, 101.325);
  EXPECT_NEAR(correlation.Slot(0), expected, 1e-9 * std::fabs(expected));
  for (int slot : {1, 2, 3, 5}) EXPECT_EQ(correlation.Slot(slot), EMPTY_VALUE) << slot;
}

}  // namespace
}  // namespace tarvox
