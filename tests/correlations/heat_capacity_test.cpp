// Heat capacities and the three Cv methods. The loaded-value methods use the three-phase stream
// (Cp 38, 210, 75 kJ/(kmol·K) at fractions 0.5, 0.3, 0.2); the entropy method uses an ideal gas
// whose host flash follows v = R·T/P and s = cp·ln(T/T0) − R·ln(P/P0), so that Cv = cp − R.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "common/guid.h"
#include "tarvox_platform/com_runtime.h"
#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ThreePhaseFluid;

constexpr double E = EMPTY_VALUE;
constexpr double R = 8.31432;
constexpr double kMethaneWeight = 16.04246;
// The central difference over 0.01 K and the 1e-10 m³/kmol volume match leave well under this.
constexpr double kCvTolerance = 1e-3;

double VapourWeight() { return 0.95 * 16.04246 + 0.03 * 86.17536 + 0.02 * 18.01528; }
double OilWeight() { return 0.15 * 16.04246 + 0.84 * 86.17536 + 0.01 * 18.01528; }

// ---------------------------------------------------------------- heat capacity

TEST(HeatCapacity, PhasesAsLoadedAndTheStreamAsTheirFractionWeightedSum) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  const double stream = 0.5 * 38.0 + 0.3 * 210.0 + 0.2 * 75.0;  // not the host's 90
  EXPECT_NEAR(calc->GetHeatCapacity(4), stream, 1e-12);
  EXPECT_NEAR(calc->GetSpecificHeat(4), stream, 1e-12);
  EXPECT_EQ(calc->GetHeatCapacity(1), 210.0);
  EXPECT_EQ(calc->GetSpecificHeat(2), 75.0);
  EXPECT_EQ(calc->GetHeatCapacity(3), E);
  EXPECT_NEAR(calc->GetMassHeatCapacity(1), 210.0 / OilWeight(), 1e-12);
  const double stream_weight = 0.5202 * 16.04246 + 0.26702 * 86.17536 + 0.21278 * 18.01528;
  EXPECT_NEAR(calc->GetMassHeatCapacity(4), stream / stream_weight, 1e-12);
  EXPECT_EQ(calc->GetMassHeatCapacity(3), E);
}

TEST(HeatCapacity, ASingleVapourReportsItsOwnHeatCapacity) {
  auto fluid = ThreePhaseFluid();
  const double beta[4] = {1.0, 0.0, 0.0, 0.0};
  for (int k = 0; k < 4; ++k) {
    fluid->state.PhaseFraction[k] = beta[k];
    fluid->state.PhasePresent[k] = k == 0;
  }
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetHeatCapacity(4), 38.0);
  EXPECT_EQ(calc->GetSpecificHeat(4), 38.0);
}

TEST(HeatCapacity, TheStreamSumSkipsPhasesWithoutHeatCapacityOrFraction) {
  auto fluid = ThreePhaseFluid();
  fluid->state.MolarHeatCapacity[1] = E;
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetHeatCapacity(4), 0.5 * 38.0 + 0.2 * 75.0, 1e-12);
  EXPECT_NEAR(calc->GetSpecificHeat(4), 0.5 * 38.0 + 0.2 * 75.0, 1e-12);
  fluid->state.MolarHeatCapacity[1] = 210.0;
  fluid->state.PhaseFraction[1] = E;
  EXPECT_NEAR(calc->GetHeatCapacity(4), 0.5 * 38.0 + 0.2 * 75.0, 1e-12);
  EXPECT_NEAR(calc->GetSpecificHeat(4), 0.5 * 38.0 + 0.2 * 75.0, 1e-12);
}

TEST(HeatCapacity, ASumThatIsNotPositiveHasNoValue) {
  auto fluid = ThreePhaseFluid();
  for (int k = 0; k < 3; ++k) fluid->state.MolarHeatCapacity[k] = -1.0;
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetHeatCapacity(4), E);
  EXPECT_EQ(calc->GetSpecificHeat(4), E);
  EXPECT_EQ(calc->GetMassHeatCapacity(4), E);
}

TEST(HeatCapacity, OnlyAFlagOfExactlyOneCountsWhileTheCvGateOnlyRefusesZero) {
  auto fluid = ThreePhaseFluid();
  fluid->state.PhasePresent[1] = 2;
  fluid->arrays["Cp_Cv"] = {1.30, 1.10, 1.02, 1.5, 1.25};
  fluid->arrays["Cp_CpR"] = {1.28, 1.04, 1.12, 1.0, 1.1};
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetHeatCapacity(1), E);
  EXPECT_EQ(calc->GetSpecificHeat(1), E);
  EXPECT_NEAR(calc->GetHeatCapacity(4), 0.5 * 38.0 + 0.2 * 75.0, 1e-12);
  EXPECT_EQ(calc->GetRigorous_Cp_Cv(1), 1.10);
  EXPECT_EQ(calc->GetSemiIdeal_Cp_Cv(1), 1.04);
  EXPECT_EQ(calc->GetRigorous_Cv(1), E);  // through the heat capacity
  fluid->state.PhasePresent[1] = 0;
  EXPECT_EQ(calc->GetRigorous_Cp_Cv(1), E);
  EXPECT_EQ(calc->GetSemiIdeal_Cp_Cv(1), E);
}

TEST(HeatCapacity, NoStateMeansNoValue) {
  auto fluid = ThreePhaseFluid();
  fluid->fail_get_state = true;
  fluid->arrays["Cp_Cv"] = {1.30, 1.10, 1.02, 1.5, 1.25};
  fluid->arrays["Cp_CpR"] = {1.28, 1.04, 1.12, 1.0, 1.1};
  BoundFluid calc(fluid.Get());
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(calc->GetHeatCapacity(k), E);
    EXPECT_EQ(calc->GetMassHeatCapacity(k), E);
    EXPECT_EQ(calc->GetRigorous_Cp_Cv(k), E);
    EXPECT_EQ(calc->GetSemiIdeal_Cv(k), E);
    EXPECT_EQ(calc->GetEntMeth_Cv(k), E);
  }
  EXPECT_EQ(fluid->flash_count, 0);
}

// ---------------------------------------------------------------- rigorous and semi-ideal Cv

TEST(RigorousCv, HeatCapacityOverTheHostsRatio) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["Cp_Cv"] = {1.30, 1.10, 1.02, 1.5, 1.25};
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetRigorous_Cp_Cv(4), 1.25);
  EXPECT_NEAR(calc->GetRigorous_Cv(0), 38.0 / 1.30, 1e-12);
  EXPECT_NEAR(calc->GetRigorous_Cv(4), 97.0 / 1.25, 1e-12);
  EXPECT_NEAR(calc->GetRigorous_MassCv(0), 38.0 / 1.30 / VapourWeight(), 1e-12);
  EXPECT_EQ(calc->GetRigorous_Cv(3), E);
}

TEST(RigorousCv, AZeroRatioIsReportedButCannotDivide) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["Cp_Cv"] = {1.30, 0.0, 1.02, 1.5, 1.25};
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetRigorous_Cp_Cv(1), 0.0);
  EXPECT_EQ(calc->GetRigorous_Cv(1), E);
  EXPECT_EQ(calc->GetRigorous_MassCv(1), E);
}

TEST(RigorousCv, ZeroHeatCapacityGivesZeroAndNegativeGivesNothing) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["Cp_Cv"] = {1.30, 1.10, 1.02, 1.5, 1.25};
  fluid->arrays["Cp_CpR"] = {1.28, 1.04, 1.12, 1.0, 1.1};
  fluid->state.MolarHeatCapacity[1] = 0.0;
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetRigorous_Cv(1), 0.0);
  EXPECT_EQ(calc->GetRigorous_MassCv(1), E);
  EXPECT_EQ(calc->GetSemiIdeal_Cv(1), E);
  fluid->state.MolarHeatCapacity[1] = -5.0;
  EXPECT_EQ(calc->GetRigorous_Cv(1), E);
  EXPECT_NEAR(calc->GetSemiIdeal_Cv(1), -5.0 / 1.04, 1e-12);
  EXPECT_NEAR(calc->GetSemiIdeal_MassCv(1), -5.0 / 1.04 / OilWeight(), 1e-12);
}

TEST(SemiIdealCv, HeatCapacityOverTheHostsSemiIdealRatio) {
  auto fluid = ThreePhaseFluid();
  fluid->arrays["Cp_CpR"] = {1.28, 1.04, 1.12, 1.0, 1.1};
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetSemiIdeal_Cp_Cv(0), 1.28);
  EXPECT_NEAR(calc->GetSemiIdeal_Cv(0), 38.0 / 1.28, 1e-12);
  EXPECT_NEAR(calc->GetSemiIdeal_Cv(4), 97.0 / 1.1, 1e-12);
  EXPECT_NEAR(calc->GetSemiIdeal_MassCv(0), 38.0 / 1.28 / VapourWeight(), 1e-12);
  EXPECT_EQ(calc->GetSemiIdeal_Cv(3), E);
}

TEST(CvRatios, MissingOrShortArraysGiveNoValue) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  for (int k : {0, 4}) {
    EXPECT_EQ(calc->GetRigorous_Cp_Cv(k), E);
    EXPECT_EQ(calc->GetRigorous_Cv(k), E);
    EXPECT_EQ(calc->GetRigorous_MassCv(k), E);
    EXPECT_EQ(calc->GetSemiIdeal_Cp_Cv(k), E);
    EXPECT_EQ(calc->GetSemiIdeal_Cv(k), E);
    EXPECT_EQ(calc->GetSemiIdeal_MassCv(k), E);
  }
  fluid->arrays["Cp_Cv"] = {1.30, 1.10, 1.02, 1.5};
  fluid->arrays["Cp_CpR"] = {1.28, 1.04, 1.12, 1.0};
  EXPECT_EQ(calc->GetRigorous_Cp_Cv(0), E);
  EXPECT_EQ(calc->GetRigorous_Cv(0), E);
  EXPECT_EQ(calc->GetSemiIdeal_Cp_Cv(0), E);
  EXPECT_EQ(calc->GetSemiIdeal_Cv(0), E);
}

// ---------------------------------------------------------------- entropy method

struct IdealGas {
  double cp;
  static constexpr double kT0 = 273.15;   // K
  static constexpr double kP0 = 101.325;  // kPa
  double Volume(double t, double p) const { return R * (t + 273.15) / p; }
  double Entropy(double t, double p) const {
    return cp * std::log((t + 273.15) / kT0) - R * std::log(p / kP0);
  }
};

// One methane vapour at t °C and p kPa whose host flashes model the ideal gas.
ComPtr<host::ScriptedFluid> IdealGasFluid(double t, double p, double cp) {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  const IdealGas gas{cp};
  FluidState& s = fluid->state;
  s.Temperature = t;
  s.Pressure = p;
  s.ComponentCount = 1;
  for (int k = 0; k < 5; ++k) {
    const bool vapour = k == 0 || k == 4;
    s.MolarVolume[k] = vapour ? gas.Volume(t, p) : E;
    s.MolarEntropy[k] = vapour ? gas.Entropy(t, p) : E;
    s.MolarEnthalpy[k] = vapour ? 0.0 : E;
    s.MolarHeatCapacity[k] = vapour ? cp : E;
    fluid->compositions[k] = std::vector<double>{k == 0 || k == 4 ? 1.0 : 0.0};
  }
  for (int k = 0; k < 4; ++k) {
    s.PhaseFraction[k] = k == 0 ? 1.0 : 0.0;
    s.PhasePresent[k] = k == 0 ? 1 : 0;
  }
  fluid->arrays["Molecular Weight"] = {kMethaneWeight};
  fluid->arrays["MolarFlow"] = {10.0};
  fluid->flash = [gas](FluidState& r) {
    for (int k = 0; k < 4; ++k) {
      r.PhaseFraction[k] = k == 0 ? 1.0 : 0.0;
      r.PhasePresent[k] = k == 0 ? 1 : 0;
    }
    if (!(r.Pressure > 0.0)) {
      r.MolarVolume[0] = r.MolarVolume[4] = E;
      return E_FAIL;
    }
    r.MolarVolume[0] = r.MolarVolume[4] = gas.Volume(r.Temperature, r.Pressure);
    r.MolarEntropy[0] = r.MolarEntropy[4] = gas.Entropy(r.Temperature, r.Pressure);
    return S_OK;
  };
  return fluid;
}

TEST(EntropyMethod, CvOfAnIdealGasIsCpLessR) {
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  BoundFluid calc(fluid.Get());
  for (int k : {0, 4}) {
    const int flashes_before = fluid->flash_count;
    EXPECT_NEAR(calc->GetEntMeth_Cv(k), 38.0 - R, kCvTolerance) << k;
    EXPECT_NEAR(calc->CvCache[k], 38.0 - R, kCvTolerance) << k;
    EXPECT_LE(fluid->flash_count - flashes_before, 32);
  }
  EXPECT_EQ(calc->GetEntMeth_Cv(1), E);  // absent
  EXPECT_EQ(calc->CvCache[1], E);
}

TEST(EntropyMethod, GasStatesAcrossTemperatureAndPressure) {
  std::vector<int> flashes;
  for (double t : {-40.0, 15.0, 120.0, 450.0}) {
    for (double p : {101.325, 2500.0, 20000.0}) {
      for (double cp : {29.0, 55.0}) {
        auto fluid = IdealGasFluid(t, p, cp);
        BoundFluid calc(fluid.Get());
        EXPECT_NEAR(calc->GetEntMeth_Cv(0), cp - R, kCvTolerance) << t << " °C " << p << " kPa";
        EXPECT_LE(fluid->flash_count, 32);
        flashes.push_back(fluid->flash_count);
      }
    }
  }
  std::sort(flashes.begin(), flashes.end());
  const std::size_t mid = flashes.size() / 2;
  ::testing::Test::RecordProperty("median_flashes_per_cv", (flashes[mid - 1] + flashes[mid]) / 2);
  ::testing::Test::RecordProperty("most_flashes_per_cv", flashes.back());
}

TEST(EntropyMethod, RatioAndMassCvUseAFreshCvForEveryStream) {
  auto first = IdealGasFluid(40.0, 3000.0, 38.0);
  {
    BoundFluid calc(first.Get());
    EXPECT_NEAR(calc->GetEntMeth_Cp_Cv(0), 38.0 / (38.0 - R), 1e-4);
    EXPECT_NEAR(calc->GetEntMeth_MassCv(0), (38.0 - R) / kMethaneWeight, 1e-4);
    EXPECT_GT(first->flash_count, 4);  // each evaluation ran its own search
  }
  auto second = IdealGasFluid(200.0, 800.0, 50.0);
  BoundFluid calc(second.Get());
  EXPECT_NEAR(calc->GetEntMeth_Cp_Cv(0), 50.0 / (50.0 - R), 1e-4);
  EXPECT_NEAR(calc->CvCache[0], 50.0 - R, kCvTolerance);
  EXPECT_NEAR(calc->GetEntMeth_Cp_Cv(4), 50.0 / (50.0 - R), 1e-4);
  EXPECT_NEAR(calc->GetEntMeth_MassCv(4), (50.0 - R) / kMethaneWeight, 1e-4);
  EXPECT_EQ(calc->GetEntMeth_Cp_Cv(2), E);
  EXPECT_EQ(calc->GetEntMeth_MassCv(2), E);
}

TEST(EntropyMethod, AFlashThatSplitsThePhaseGivesNoValue) {
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  const auto ideal = fluid->flash;
  fluid->flash = [ideal](FluidState& r) {
    const HRESULT hr = ideal(r);
    r.PhaseFraction[0] = 0.6;
    r.PhaseFraction[1] = 0.4;
    return hr;
  };
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
  EXPECT_EQ(fluid->flash_count, 1);
  // The stream splitting into two liquids.
  fluid->flash = [ideal](FluidState& r) {
    const HRESULT hr = ideal(r);
    r.PhaseFraction[1] = 0.01;
    r.PhaseFraction[2] = 0.01;
    return hr;
  };
  EXPECT_EQ(calc->GetEntMeth_Cv(4), E);
  EXPECT_EQ(calc->GetEntMeth_Cp_Cv(4), E);
}

TEST(EntropyMethod, TheVolumeSearchStopsAfterThirtySecantSteps) {
  // A volume with a triple root in pressure: secant steps approach it only linearly.
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  const double target = fluid->state.MolarVolume[0];
  const auto ideal = fluid->flash;
  fluid->flash = [ideal, target](FluidState& r) {
    const HRESULT hr = ideal(r);
    const double d = r.Pressure - 3010.0;
    r.MolarVolume[0] = r.MolarVolume[4] = target - d * d * d;
    return hr;
  };
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
  EXPECT_EQ(fluid->flash_count, 32);
}

TEST(EntropyMethod, AVolumeThatDoesNotFallWithPressureGivesNoValue) {
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  const double target = fluid->state.MolarVolume[0];
  const auto ideal = fluid->flash;
  fluid->flash = [ideal, target](FluidState& r) {
    const HRESULT hr = ideal(r);
    r.MolarVolume[0] = r.MolarVolume[4] = target + 1e-3 * (r.Pressure - 2990.0);
    return hr;
  };
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
  EXPECT_EQ(fluid->flash_count, 2);
  fluid->flash = [ideal, target](FluidState& r) {
    const HRESULT hr = ideal(r);
    r.MolarVolume[0] = r.MolarVolume[4] = target + 0.01;  // no pressure dependence at all
    return hr;
  };
  EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
  EXPECT_EQ(fluid->flash_count, 4);
}

TEST(EntropyMethod, AFlashWithoutEntropyGivesNoValue) {
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  const auto ideal = fluid->flash;
  fluid->flash = [ideal](FluidState& r) {
    const HRESULT hr = ideal(r);
    r.MolarEntropy[0] = E;
    return hr;
  };
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
}

TEST(EntropyMethod, MissingInputsGiveNoValueWithoutAFlash) {
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  fluid->offer_flash = false;
  {
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
  }
  fluid->offer_flash = true;
  fluid->compositions[4] = std::vector<double>{E};
  {
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
  }
  fluid->compositions[4] = std::vector<double>{1.0};
  fluid->state.Temperature = E;
  {
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetEntMeth_Cv(0), E);
  }
  EXPECT_EQ(fluid->flash_count, 0);
}

TEST(EntropyMethod, EachEvaluationFreesItsWorkingRecord) {
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  BoundFluid calc(fluid.Get());
  ASSERT_NE(calc->GetEntMeth_Cv(0), E);  // the loaded state and named array now exist
  const long before = tarvox_platform::LiveTaskBlocks();
  EXPECT_NE(calc->GetEntMeth_Cv(0), E);
  EXPECT_NE(calc->GetEntMeth_MassCv(4), E);
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), before);
  const auto ideal = fluid->flash;
  fluid->flash = [ideal](FluidState& r) {
    const HRESULT hr = ideal(r);
    r.PhaseFraction[0] = 0.5;
    return hr;
  };
  EXPECT_EQ(calc->GetEntMeth_Cp_Cv(0), E);
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), before);
}

TEST(EntropyMethod, TheSolidSlotStaysEmptyThroughCalculate) {
  constexpr CLSID kRigorousCv = ParseGuid("{5749D0B1-731A-11D6-8051-0090271C82FF}");
  constexpr CLSID kEntMethCv = ParseGuid("{5749D0B3-731A-11D6-8051-0090271C82FF}");
  constexpr CLSID kEntMethCpCv = ParseGuid("{50D26171-7C91-11D6-8053-0090271C82FF}");
  auto fluid = IdealGasFluid(40.0, 3000.0, 38.0);
  // A solid flagged present with a heat capacity: the standard frame reports it.
  fluid->state.PhasePresent[3] = 1;
  fluid->state.MolarHeatCapacity[3] = 20.0;
  fluid->arrays["Cp_Cv"] = {1.3, 1.2, 1.1, 1.05, 1.3};
  const auto rigorous = testing::CalculateThroughClass(kRigorousCv, fluid.Get());
  EXPECT_NEAR(rigorous[5], 20.0 / 1.05, 1e-12);

  const auto cv = testing::CalculateThroughClass(kEntMethCv, fluid.Get());
  EXPECT_NEAR(cv[0], 38.0 - R, kCvTolerance);
  EXPECT_NEAR(cv[1], 38.0 - R, kCvTolerance);
  EXPECT_EQ(cv[2], E);
  EXPECT_EQ(cv[3], E);
  EXPECT_EQ(cv[5], E);
  const auto ratio = testing::CalculateThroughClass(kEntMethCpCv, fluid.Get());
  EXPECT_NEAR(ratio[1], 38.0 / (38.0 - R), 1e-4);
  EXPECT_EQ(ratio[5], E);
}

}  // namespace
}  // namespace tarvox
