#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tarvox_platform/com_runtime.h"
#include "tests/support/correlation_harness.h"
#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ConnectedCorrelation;

constexpr double kWaterDensity = 997.9879;

// Component data as the component table gives them.
struct Component {
  double id;
  double cas;
  double weight;
  double boiling;  // K
  double density;  // kg/m³
};
constexpr Component kHexane{8.0, 110543.0, 86.17536, 341.88, 663.38};
constexpr Component kBenzene{18.0, 71432.0, 78.11184, 353.24, 883.55};
constexpr Component kWater{19.0, 7732185.0, 18.01528, 373.15, 999.02};

// One liquid phase (PhaseIndex 1) holding the components at mole fractions `x`.
ComPtr<host::ScriptedFluid> LiquidOf(const std::vector<Component>& components, const std::vector<double>& x) {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = 20.0;
  s.Pressure = 101.325;
  s.ComponentCount = static_cast<int>(components.size());
  s.PhaseFraction[1] = 1.0;
  s.PhasePresent[1] = 1;
  fluid->compositions[1] = x;
  fluid->compositions[4] = x;
  auto& a = fluid->arrays;
  for (const Component& c : components) {
    a["ComponentIDs"].push_back(c.id);
    a["CAS_Numbers"].push_back(c.cas);
    a["Molecular Weight"].push_back(c.weight);
    a["Boiling Temperature"].push_back(c.boiling);
    a["Standard Liquid Density"].push_back(c.density);
  }
  a["MolarFlow"] = {1.0};
  return fluid;
}

// For one component the averages coincide: K = (1.8 Tb)^(1/3) / SG.
double PureWatsonK(const Component& c) { return std::cbrt(1.8 * c.boiling) / (c.density / kWaterDensity); }

TEST(WatsonK, PureComponentsHaveTheirTabulatedFactor) {
  for (const Component& c : {kHexane, kBenzene}) {
    auto fluid = LiquidOf({c}, {1.0});
    BoundFluid calc(fluid.Get());
    EXPECT_NEAR(calc->GetWatsonK(1), PureWatsonK(c), 1e-5);
    EXPECT_NEAR(calc->GetWatsonK(4), PureWatsonK(c), 1e-5);
  }
  EXPECT_NEAR(PureWatsonK(kHexane), 12.8, 0.05);
  EXPECT_NEAR(PureWatsonK(kBenzene), 9.7, 0.05);
}

TEST(WatsonK, MixtureAveragesTheCubicAndMolarBoilingPoints) {
  auto fluid = LiquidOf({kHexane, kBenzene}, {0.4, 0.6});
  BoundFluid calc(fluid.Get());
  const double sg_h = kHexane.density / kWaterDensity;
  const double sg_b = kBenzene.density / kWaterDensity;
  const double mass = 0.4 * kHexane.weight + 0.6 * kBenzene.weight;
  const double volume = 0.4 * kHexane.weight / sg_h + 0.6 * kBenzene.weight / sg_b;
  const double sg = mass / volume;
  // Cubic average: volume-weighted mean of the cube roots, cubed.
  const double cubic = std::pow((0.4 * kHexane.weight / sg_h * std::cbrt(1.8 * kHexane.boiling) +
                                 0.6 * kBenzene.weight / sg_b * std::cbrt(1.8 * kBenzene.boiling)) /
                                    volume,
                                3.0);
  const double molar = 1.8 * (0.4 * kHexane.boiling + 0.6 * kBenzene.boiling);
  EXPECT_NEAR(calc->GetWatsonK(1), std::cbrt((cubic + molar) / 2.0) / sg, 1e-5);
}

TEST(WatsonK, WaterIsLeftOutByIdentifierOrCasNumber) {
  {
    auto fluid = LiquidOf({kHexane, kWater}, {0.7, 0.3});
    BoundFluid calc(fluid.Get());
    EXPECT_NEAR(calc->GetWatsonK(1), PureWatsonK(kHexane), 1e-5);
  }
  {
    Component water_by_cas = kWater;
    water_by_cas.id = 99.0;
    auto fluid = LiquidOf({kHexane, water_by_cas}, {0.7, 0.3});
    BoundFluid calc(fluid.Get());
    EXPECT_NEAR(calc->GetWatsonK(1), PureWatsonK(kHexane), 1e-5);
  }
  {
    auto fluid = LiquidOf({kWater}, {1.0});  // nothing left to average
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE);
  }
}

TEST(WatsonK, IdentifiersAreRoundedWithHalvesGoingDown) {
  Component water_by_id = kWater;
  water_by_id.cas = 0.0;
  for (double id : {18.6, 19.4, 19.5}) {
    water_by_id.id = id;
    auto fluid = LiquidOf({kHexane, water_by_id}, {0.7, 0.3});
    BoundFluid calc(fluid.Get());
    EXPECT_NEAR(calc->GetWatsonK(1), PureWatsonK(kHexane), 1e-5) << id;
  }
  water_by_id.id = 18.5;  // component 18, not water: it counts
  auto fluid = LiquidOf({kHexane, water_by_id}, {0.7, 0.3});
  BoundFluid calc(fluid.Get());
  const double k = calc->GetWatsonK(1);
  EXPECT_NE(k, EMPTY_VALUE);
  EXPECT_LT(k, PureWatsonK(kHexane) - 0.1);  // water's high gravity lowers the factor
}

TEST(WatsonK, AnEmptyValueEmptiesTheResultEvenForWater) {
  for (auto blank : {&Component::weight, &Component::boiling, &Component::density, &Component::id}) {
    Component water = kWater;
    water.*blank = EMPTY_VALUE;
    auto fluid = LiquidOf({kHexane, water}, {0.7, 0.3});
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE);
  }
  auto fluid = LiquidOf({kHexane, kWater}, {EMPTY_VALUE, 0.3});
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE);
}

TEST(WatsonK, MissingDataOrAbsentPhaseGiveNoValue) {
  for (const char* name : {"Standard Liquid Density", "Boiling Temperature", "ComponentIDs", "CAS_Numbers"}) {
    auto fluid = LiquidOf({kHexane, kBenzene}, {0.5, 0.5});
    fluid->arrays.erase(name);
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE) << name;
  }
  auto fluid = LiquidOf({kHexane}, {1.0});
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetWatsonK(0), EMPTY_VALUE);  // no vapour
}

// Sums that leave nothing to divide by give no value instead of a division by zero.
TEST(WatsonK, EmptySumsGiveNoValue) {
  constexpr Component heavy{101.0, 1.0, 100.0, 400.0, 500.0};
  constexpr Component light{102.0, 2.0, 50.0, 300.0, 1000.0};
  {
    auto fluid = LiquidOf({heavy, light}, {1.0, -1.0});  // moles cancel, volume does not
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE);
  }
  {
    auto fluid = LiquidOf({heavy, light}, {1.0, -2.0});  // mass cancels, volume does not
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE);
  }
  {
    Component weightless = kHexane;
    weightless.density = 0.0;
    auto fluid = LiquidOf({weightless}, {1.0});
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE);
  }
}

TEST(WatsonK, PrivateCopiesAreFreed) {
  auto fluid = LiquidOf({kHexane, kWater}, {0.7, 0.3});
  BoundFluid calc(fluid.Get());
  ASSERT_NE(calc->GetWatsonK(1), EMPTY_VALUE);  // the calculator now holds this stream's arrays
  const long blocks = tarvox_platform::LiveTaskBlocks();
  calc->GetWatsonK(1);
  fluid->arrays.erase("CAS_Numbers");
  EXPECT_EQ(calc->GetWatsonK(1), EMPTY_VALUE);  // fails after three copies were taken
  EXPECT_EQ(tarvox_platform::LiveTaskBlocks(), blocks);
}

// ---- Viscosity index ----

constexpr double kA = 33.468;
constexpr double kB = 23.097;
constexpr double kC = 0.8;

ComPtr<host::ScriptedFluid> ViscousFluid(double viscosity) {
  auto fluid = LiquidOf({kHexane}, {1.0});
  fluid->viscosity = {viscosity, viscosity, viscosity, viscosity, viscosity};
  return fluid;
}

TEST(ViscosityIdx, DefaultParametersGiveTheDoubleLogarithmLine) {
  for (double nu : {0.5, 5.0, 120.0}) {
    auto fluid = ViscousFluid(nu);
    BoundFluid calc(fluid.Get());
    EXPECT_NEAR(calc->GetViscosityIdx(4, kA, kB, kC), kA * std::log10(std::log10(nu + 0.8)) + kB, 1e-12);
  }
}

TEST(ViscosityIdx, ViscositiesWithoutAPositiveDoubleLogarithmGiveNoValue) {
  // 0.2 cSt and below: log10(nu + 0.8) is not positive. Below -0.8 the inner logarithm has no value.
  for (double nu : {0.2, 0.1, 0.0, -0.8, -3.0}) {
    auto fluid = ViscousFluid(nu);
    BoundFluid calc(fluid.Get());
    EXPECT_EQ(calc->GetViscosityIdx(4, kA, kB, kC), EMPTY_VALUE) << nu;
  }
  auto fluid = ViscousFluid(0.5);
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetViscosityIdx(4, kA, kB, 0.0), EMPTY_VALUE);  // log10(0.5) < 0
}

TEST(ViscosityIdx, RejectedParametersAndMissingViscosity) {
  auto fluid = ViscousFluid(5.0);
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetViscosityIdx(4, -1.0, kB, kC), EMPTY_VALUE);
  EXPECT_EQ(calc->GetViscosityIdx(4, kA, -1.0, kC), EMPTY_VALUE);
  EXPECT_EQ(calc->GetViscosityIdx(4, kA, kB, -0.1), EMPTY_VALUE);
  EXPECT_EQ(calc->GetViscosityIdx(4, EMPTY_VALUE, kB, kC), EMPTY_VALUE);  // parameter not held
  EXPECT_EQ(calc->GetViscosityIdx(4, kA, kB, INFINITY), EMPTY_VALUE);
  EXPECT_DOUBLE_EQ(calc->GetViscosityIdx(4, 0.0, 0.0, 0.0), 0.0);  // zero is a valid parameter

  fluid->viscosity[4] = EMPTY_VALUE;
  EXPECT_EQ(calc->GetViscosityIdx(4, kA, kB, kC), EMPTY_VALUE);
  fluid->viscosity[4] = INFINITY;
  EXPECT_EQ(calc->GetViscosityIdx(4, kA, kB, kC), EMPTY_VALUE);
  fluid->viscosity[4] = 5.0;
  fluid->fail_transport = true;
  EXPECT_EQ(calc->GetViscosityIdx(4, kA, kB, kC), EMPTY_VALUE);
}

// ---- Through real correlation objects ----

constexpr CLSID kWatsonKClass = ParseGuid("{E20D8673-A6E3-11D5-BFE9-0090271C82FF}");
constexpr CLSID kViscosityIdxClass = ParseGuid("{C45EFA68-8ECF-4C72-A73E-B5E00C45375A}");

TEST(WatsonKCorrelation, WritesTheStreamAndThePresentPhase) {
  auto fluid = LiquidOf({kHexane, kWater}, {0.7, 0.3});
  ConnectedCorrelation watson(kWatsonKClass, fluid.Get());
  ASSERT_EQ(watson.Calculate(), S_OK);
  EXPECT_NEAR(watson.Slot(0), PureWatsonK(kHexane), 1e-5);
  EXPECT_NEAR(watson.Slot(2), PureWatsonK(kHexane), 1e-5);
  for (int slot : {1, 3, 4, 5}) EXPECT_EQ(watson.Slot(slot), EMPTY_VALUE) << slot;
}

TEST(ViscosityIdxCorrelation, EvaluatesTheStreamOnlyWithItsParameters) {
  auto fluid = ViscousFluid(5.0);
  ConnectedCorrelation index(kViscosityIdxClass, fluid.Get());
  ASSERT_EQ(index.Calculate(), S_OK);
  EXPECT_NEAR(index.Slot(0), kA * std::log10(std::log10(5.8)) + kB, 1e-12);
  for (int slot : {1, 2, 3, 5}) EXPECT_EQ(index.Slot(slot), EMPTY_VALUE) << slot;
  EXPECT_EQ(fluid->Count("GetTransport"), 1);

  index.SetInput(OLESTR("ViscIndexParamC"), 0.0);
  ASSERT_EQ(index.Calculate(), S_OK);
  EXPECT_NEAR(index.Slot(0), kA * std::log10(std::log10(5.0)) + kB, 1e-12);

  index.SetInput(OLESTR("ViscIndexParamB"), -1.0);
  ASSERT_EQ(index.Calculate(), S_OK);
  EXPECT_EQ(index.Slot(0), EMPTY_VALUE);

  index.SetInput(OLESTR("ViscIndexParamB"), kB);
  index.SetInput(OLESTR("ViscIndexParamA"), EMPTY_VALUE);  // cleared by the user
  ASSERT_EQ(index.Calculate(), S_OK);
  EXPECT_EQ(index.Slot(0), EMPTY_VALUE);
  for (int slot : {1, 2, 3, 5}) EXPECT_EQ(index.Slot(slot), EMPTY_VALUE) << slot;
}

}  // namespace
}  // namespace tarvox
