// Checks against published reference values (data/validation.csv of the shared data set).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/phase_properties.hpp"
#include "tarvox/thermo/saturation.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

// The reference cases use the SI gas constant in J/(mol K), numerically the library's kJ/(kmol K).
ComponentConstants Classic(const char* name, double tc, double pc_pa, double omega) {
  ComponentConstants c;
  c.name = name;
  c.critical_temperature = tc;
  c.critical_pressure = pc_pa / 1000.0;
  c.acentric_factor = omega;
  return c;
}

struct VapourPressureCase {
  const char* component;
  double reference_kpa;
  double relative_tolerance;
};

// At 310.928 K: reference equations of state. The acentric factors of the table were fitted at
// Tr = 0.7, so Peng-Robinson is exact there and drifts away from it; for these hydrocarbons
// (Tr = 0.66-0.84) 2 % is the usual band (the engine gives 0.15-0.35 %). Water sits at Tr = 0.48, far
// below the fit point, where the Soave-type alpha function underestimates the vapour pressure of
// water by 10-15 %, so the band is 15 %.
class VapourPressure : public ::testing::TestWithParam<VapourPressureCase> {};

TEST_P(VapourPressure, BubblePointOfPureComponentMatchesReference) {
  const auto& c = GetParam();
  const auto mixture = testing::DatabaseMixture({c.component});
  const std::vector<double> z{1.0};
  const auto bubble = BubblePointPressure(mixture, 310.928, z);
  ASSERT_TRUE(bubble.converged());
  EXPECT_NEAR(bubble.pressure / c.reference_kpa, 1.0, c.relative_tolerance) << bubble.pressure;
}

INSTANTIATE_TEST_SUITE_P(ReferenceEquations, VapourPressure,
                         ::testing::Values(VapourPressureCase{"propane", 1300.471, 0.02},
                                           VapourPressureCase{"n-butane", 355.545, 0.02},
                                           VapourPressureCase{"n-pentane", 107.406, 0.02},
                                           VapourPressureCase{"water", 6.55359, 0.15}));

// Peneloux-translated saturated liquid density. The constant shift matches the Rackett volume near
// Tr = 0.7 and loses accuracy towards the critical point (propane here is at Tr = 0.84), so the band
// is 5 %.
TEST(PublishedCases, TranslatedSaturatedLiquidDensityIsRealistic) {
  const struct {
    const char* name;
    double density;
  } cases[] = {{"propane", 471.350}, {"n-butane", 557.639}};
  for (const auto& c : cases) {
    const auto mixture = testing::DatabaseMixture({c.name});
    const std::vector<double> z{1.0};
    const auto bubble = BubblePointPressure(mixture, 310.928, z);
    ASSERT_TRUE(bubble.converged());
    const auto liquid = EvaluatePhase(mixture, 310.928, bubble.pressure * (1 + 1e-9), z, RootChoice::kLiquid);
    ASSERT_TRUE(liquid.mass_density.has_value());
    EXPECT_NEAR(*liquid.mass_density / c.density, 1.0, 0.05) << c.name << " " << *liquid.mass_density;
  }
}

TEST(PublishedCases, EquimolarAlkanesFlashGivesPublishedVapourFraction) {
  const std::vector<ComponentConstants> components = {
      Classic("methane", 190.564, 4599000, 0.008),  Classic("ethane", 305.32, 4872000, 0.098),
      Classic("propane", 369.83, 4248000, 0.152),   Classic("n-butane", 425.12, 3796000, 0.193),
      Classic("n-pentane", 469.7, 3370000, 0.251),  Classic("n-hexane", 507.6, 3025000, 0.2975),
      Classic("n-heptane", 540.2, 2740000, 0.3457), Classic("n-octane", 568.7, 2490000, 0.394),
      Classic("n-nonane", 594.6, 2290000, 0.444),   Classic("n-decane", 611.7, 2110000, 0.49)};
  const Mixture mixture(components, {}, KappaRule::kClassic);
  const std::vector<double> z(10, 0.1);
  const auto flash = FlashTP(mixture, 300.0, 100.0, z);
  ASSERT_TRUE(flash.converged());
  ASSERT_TRUE(flash.slots[kVapourSlot].present);
  EXPECT_NEAR(flash.slots[kVapourSlot].phase_fraction / 0.3933480634014041, 1.0, 1e-5);
}

// The published value is a bubble temperature at 7.93 MPa; the engine computes bubble pressures,
// so the check is that P_bub at the published temperature is 7.93 MPa within the pressure band
// that the published 1e-6 relative temperature tolerance spans.
TEST(PublishedCases, CarbonDioxideHexaneBubblePointMatchesPublishedTemperature) {
  const std::vector<ComponentConstants> components = {Classic("carbon dioxide", 304.2, 7376460, 0.2252),
                                                      Classic("n-hexane", 507.6, 3025000, 0.2975)};
  const Mixture mixture(components, {}, KappaRule::kClassic);
  const std::vector<double> z{0.5, 0.5};
  const double t = 419.0621213529388;
  const auto at_t = BubblePointPressure(mixture, t, z);
  const auto shifted = BubblePointPressure(mixture, t * (1 + 1e-6), z);
  ASSERT_TRUE(at_t.converged());
  ASSERT_TRUE(shifted.converged());
  const double band = std::abs(shifted.pressure - at_t.pressure);
  EXPECT_GT(band, 0.0);
  EXPECT_NEAR(at_t.pressure, 7930.0, band) << "band " << band;
}

}  // namespace
}  // namespace tarvox::thermo
