#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/saturation.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

const std::vector<std::string> kOilNames = {"methane",   "ethane",        "propane",   "n-butane",
                                            "n-pentane", "n-hexane",      "n-heptane", "n-octane",
                                            "n-decane",  "carbon dioxide"};
const std::vector<double> kOilFeed = {0.30, 0.08, 0.07, 0.06, 0.05, 0.06, 0.08, 0.10, 0.18, 0.02};

bool FlashShowsVapour(const Mixture& mixture, double t, double p, const std::vector<double>& z) {
  const auto flash = FlashTP(mixture, t, p, z);
  EXPECT_TRUE(flash.converged());
  return flash.phase_count >= 2 && flash.slots[kVapourSlot].present;
}

TEST(Saturation, BubblePointIsWhereTheFlashFirstShowsVapour) {
  const auto mixture = testing::DatabaseMixture(kOilNames);
  for (double t : {300.0, 350.0, 400.0}) {
    const auto bubble = BubblePointPressure(mixture, t, kOilFeed);
    ASSERT_TRUE(bubble.converged()) << t;
    EXPECT_FALSE(FlashShowsVapour(mixture, t, bubble.pressure * (1 + 1e-4), kOilFeed)) << t;
    EXPECT_TRUE(FlashShowsVapour(mixture, t, bubble.pressure * (1 - 1e-4), kOilFeed)) << t;
    EXPECT_EQ(bubble.liquid_composition, kOilFeed);
  }
}

TEST(Saturation, DewPointIsWhereTheFlashFirstShowsLiquid) {
  const auto mixture = testing::DatabaseMixture({"methane", "ethane", "propane", "n-butane", "n-hexane"});
  const std::vector<double> z{0.85, 0.06, 0.04, 0.03, 0.02};
  const auto dew = PressureAtVapourFraction(mixture, 280.0, 1.0, z);
  ASSERT_TRUE(dew.converged());
  EXPECT_FALSE(FlashShowsVapour(mixture, 280.0, dew.pressure * (1 - 1e-4), z));
  EXPECT_TRUE(FlashShowsVapour(mixture, 280.0, dew.pressure * (1 + 1e-4), z));
}

TEST(Saturation, PressureAtVapourFractionReproducesThatFractionInTheFlash) {
  const auto mixture = testing::DatabaseMixture(kOilNames);
  for (double beta : {0.1, 0.5, 0.9}) {
    const auto sat = PressureAtVapourFraction(mixture, 350.0, beta, kOilFeed);
    ASSERT_TRUE(sat.converged()) << beta;
    const auto flash = FlashTP(mixture, 350.0, sat.pressure, kOilFeed);
    ASSERT_TRUE(flash.slots[kVapourSlot].present);
    EXPECT_NEAR(flash.slots[kVapourSlot].phase_fraction, beta, 1e-9) << beta;
    for (std::size_t i = 0; i < kOilFeed.size(); ++i) {
      EXPECT_NEAR(flash.slots[kVapourSlot].properties.composition[i], sat.vapour_composition[i], 1e-9);
    }
  }
}

TEST(Saturation, ImpossibleStatesAreReportedAsFailures) {
  const auto methane = testing::DatabaseMixture({"methane"});
  const auto pure = BubblePointPressure(methane, 300.0, std::vector<double>{1.0});
  EXPECT_FALSE(pure.converged());
  EXPECT_EQ(pure.status, SaturationStatus::kNoSolution);
  EXPECT_EQ(pure.pressure, 0.0);

  const auto gas = testing::DatabaseMixture({"methane", "ethane", "nitrogen"});
  const auto supercritical = PressureAtVapourFraction(gas, 350.0, 0.5, std::vector<double>{0.8, 0.1, 0.1});
  EXPECT_EQ(supercritical.status, SaturationStatus::kNoSolution);

  // Above the cricondentherm of the oil no bubble point exists either.
  const auto oil = testing::DatabaseMixture(kOilNames);
  EXPECT_FALSE(BubblePointPressure(oil, 900.0, kOilFeed).converged());

  // A volatile oil just above its critical temperature: the upper edge of the two-phase region
  // is a dew point there, so there is no bubble point although two phases exist.
  const std::vector<double> volatile_oil = {0.50, 0.08, 0.07, 0.06, 0.05, 0.06, 0.05, 0.05, 0.06, 0.02};
  const auto above_critical = BubblePointPressure(oil, 475.0, volatile_oil);
  EXPECT_EQ(above_critical.status, SaturationStatus::kNoSolution);

  EXPECT_THROW(PressureAtVapourFraction(oil, 350.0, 1.5, kOilFeed), std::invalid_argument);
}

// In a two-phase split each phase is saturated at the split's own temperature and pressure, with the
// other phase as the incipient one: the liquid is at its bubble point, the vapour at its dew point.
// The methane-rich vapour lies above its critical temperature, where the upper edge of its two-phase
// region is a dew point: it has no bubble point, and proving that takes a handful of flashes.
TEST(Saturation, EachPhaseOfASplitIsSaturatedAtTheSplitPressure) {
  const auto mixture = testing::DatabaseMixture(kOilNames);
  for (const auto& [t, p] : {std::pair{311.0, 3000.0}, std::pair{330.0, 2000.0}}) {
    const auto split = FlashTP(mixture, t, p, kOilFeed);
    ASSERT_EQ(split.phase_count, 2);
    const auto& liquid = split.slots[kHydrocarbonLiquidSlot].properties.composition;
    const auto& vapour = split.slots[kVapourSlot].properties.composition;

    const auto bubble = BubblePointPressure(mixture, t, liquid);
    ASSERT_TRUE(bubble.converged()) << t;
    EXPECT_NEAR(bubble.pressure, p, 1e-6 * p) << t;
    const auto dew = PressureAtVapourFraction(mixture, t, 1.0, vapour);
    ASSERT_TRUE(dew.converged()) << t;
    EXPECT_NEAR(dew.pressure, p, 1e-6 * p) << t;

    const auto no_bubble = BubblePointPressure(mixture, t, vapour);
    EXPECT_EQ(no_bubble.status, SaturationStatus::kNoSolution) << t;
    EXPECT_LE(no_bubble.flashes, 10) << t;  // some twenty when the bracket is only halved
  }
}

}  // namespace
}  // namespace tarvox::thermo
