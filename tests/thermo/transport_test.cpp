#include <gtest/gtest.h>

#include <vector>

#include "tarvox/thermo/phase_properties.hpp"
#include "tarvox/thermo/transport.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

TEST(Refutas, BlendingNumberMatchesWorkedExampleAndInverts) {
  EXPECT_NEAR(*RefutasBlendingNumber(2.234), 12.49, 0.01);
  for (double nu : {0.3, 1.0, 10.0, 1000.0}) {
    EXPECT_NEAR(ViscosityFromBlendingNumber(*RefutasBlendingNumber(nu)), nu, 1e-10 * nu);
  }
  EXPECT_FALSE(RefutasBlendingNumber(0.2).has_value());  // ln(ln(1)) is not defined
}

TEST(Refutas, StreamViscosityRule) {
  const std::vector<LiquidViscosityShare> one = {{3.0, 2.5}};
  EXPECT_EQ(StreamKinematicViscosity(one, 15.0), 2.5);
  EXPECT_EQ(StreamKinematicViscosity({}, 15.0), 15.0);
  EXPECT_FALSE(StreamKinematicViscosity({}, std::nullopt).has_value());

  const std::vector<LiquidViscosityShare> same = {{1.0, 4.0}, {2.0, 4.0}};
  EXPECT_NEAR(*StreamKinematicViscosity(same, std::nullopt), 4.0, 1e-12);
  // Equal masses of 1 and 100 cSt: the blend is set by the average blending number, which lies
  // far below the arithmetic mean.
  const std::vector<LiquidViscosityShare> two = {{1.0, 1.0}, {1.0, 100.0}};
  const double blend = *StreamKinematicViscosity(two, 5.0);
  EXPECT_NEAR(*RefutasBlendingNumber(blend),
              0.5 * (*RefutasBlendingNumber(1.0) + *RefutasBlendingNumber(100.0)), 1e-10);
  EXPECT_GT(blend, 1.0);
  EXPECT_LT(blend, 50.0);
  const std::vector<LiquidViscosityShare> out_of_range = {{1.0, 0.15}, {1.0, 2.0}};
  EXPECT_FALSE(StreamKinematicViscosity(out_of_range, std::nullopt).has_value());
}

double Viscosity(const char* name, double t, double p) {
  const auto mixture = testing::DatabaseMixture({name});
  const std::vector<double> z{1.0};
  const auto phase = EvaluatePhase(mixture, t, p, z, RootChoice::kMinimumGibbs);
  return *LohrenzBrayClarkViscosity(mixture, t, phase.molar_volume, z);
}

// Dilute gases (Stiel-Thodos) are good to a few percent. Lohrenz-Bray-Clark for liquids is a
// correlation in reduced density with untuned critical volumes, known to be good only to about
// 20-30 %; the bands say so.
TEST(LohrenzBrayClark, ViscosityAgreesWithMeasuredValuesWithinMethodAccuracy) {
  EXPECT_NEAR(Viscosity("methane", 300.0, 1.0) / 0.01114, 1.0, 0.03);
  EXPECT_NEAR(Viscosity("nitrogen", 300.0, 1.0) / 0.01787, 1.0, 0.03);
  EXPECT_NEAR(Viscosity("n-hexane", 298.15, 101.325) / 0.300, 1.0, 0.3);
  EXPECT_NEAR(Viscosity("n-decane", 298.15, 101.325) / 0.838, 1.0, 0.3);
}

TEST(LohrenzBrayClark, KinematicViscosityNeedsMolarMassAndCriticalVolume) {
  ComponentConstants c;
  c.name = "anonymous";
  c.critical_temperature = 400.0;
  c.critical_pressure = 4000.0;
  c.acentric_factor = 0.2;
  const Mixture mixture({c}, {});
  const auto phase = EvaluatePhase(mixture, 300.0, 100.0, std::vector<double>{1.0}, RootChoice::kVapour);
  EXPECT_FALSE(phase.kinematic_viscosity.has_value());
  EXPECT_FALSE(phase.mass_density.has_value());
}

}  // namespace
}  // namespace tarvox::thermo
