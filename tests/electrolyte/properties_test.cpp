#include "properties.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "equilibrium_constants.hpp"
#include "feed.hpp"

namespace tarvox::electrolyte {
namespace {

constexpr State kRoomConditions{298.15, 101325.0};

TEST(PropertyKey, ReadsPaddedCaseInsensitiveKeysOfEightCharacters) {
  EXPECT_EQ(parse_property_key("PH      "), Property::Ph);
  EXPECT_EQ(parse_property_key("POH     "), Property::Poh);
  EXPECT_EQ(parse_property_key("OSMOT   "), Property::OsmoticCoefficient);
  EXPECT_EQ(parse_property_key("IONSX   "), Property::IonicStrength);
  EXPECT_EQ(parse_property_key("SOLINDEX"), Property::AcidGasSaturationIndex);
  EXPECT_EQ(parse_property_key("ph"), Property::Ph);
  // Only eight characters belong to the key; whatever follows them is not read.
  const char unterminated[8] = {'I', 'O', 'N', 'S', 'X', ' ', ' ', ' '};
  EXPECT_EQ(parse_property_key(unterminated), Property::IonicStrength);
}

TEST(PropertyKey, RejectsUnknownKeys) {
  EXPECT_FALSE(parse_property_key(nullptr));
  EXPECT_FALSE(parse_property_key(""));
  EXPECT_FALSE(parse_property_key("        "));
  EXPECT_FALSE(parse_property_key(" PH     "));
  EXPECT_FALSE(parse_property_key("PHX     "));
}

TEST(Properties, PohAndPhAddUpToPkwAtEveryTemperature) {
  const SoluteTotals loaded_mdea{.carbon_dioxide = 1.0, .hydrogen_sulfide = 0.2, .mdea = 3.0};
  for (double t : {273.15, 298.15, 333.15, 373.15, 423.15}) {
    const State state{t, 2e5};
    const auto ph = evaluate_property(Property::Ph, loaded_mdea, state);
    const auto poh = evaluate_property(Property::Poh, loaded_mdea, state);
    ASSERT_TRUE(ph && poh) << t;
    EXPECT_NEAR(*ph + *poh, -log10_equilibrium_constant(Reaction::WaterIonisation, t), 1e-9) << t;
  }
}

TEST(Properties, OsmoticCoefficientOfDiluteElectrolyteIsJustBelowOne) {
  const auto phi = evaluate_property(Property::OsmoticCoefficient, {.carbon_dioxide = 0.01, .ammonia = 0.01},
                                     kRoomConditions);
  ASSERT_TRUE(phi);
  EXPECT_LT(*phi, 1.0);
  EXPECT_GT(*phi, 0.95);
}

TEST(Properties, SaturationIndexIsZeroForWaterSaturatedWithCarbonDioxide) {
  const double dissolved = std::pow(10.0, log10_equilibrium_constant(Reaction::CarbonDioxideHenry, 298.15));
  const SoluteTotals saturated{.carbon_dioxide = dissolved};
  const auto index = evaluate_property(Property::AcidGasSaturationIndex, saturated, kRoomConditions);
  ASSERT_TRUE(index);
  EXPECT_NEAR(*index, 0.0, 0.01);
  // Ten times the pressure: one decade undersaturated.
  const auto at_ten_atmospheres =
      evaluate_property(Property::AcidGasSaturationIndex, saturated, {298.15, 10 * 101325.0});
  ASSERT_TRUE(at_ten_atmospheres);
  EXPECT_NEAR(*at_ten_atmospheres - *index, -1.0, 1e-9);
}

TEST(Properties, NoValueWhereThePropertyHasNoMeaning) {
  const SoluteTotals pure_water{};
  EXPECT_FALSE(evaluate_property(Property::OsmoticCoefficient, pure_water, kRoomConditions));
  EXPECT_FALSE(evaluate_property(Property::AcidGasSaturationIndex, pure_water, kRoomConditions));
  EXPECT_FALSE(evaluate_property(Property::AcidGasSaturationIndex, {.ammonia = 1.0}, kRoomConditions));
  EXPECT_FALSE(evaluate_property(Property::AcidGasSaturationIndex, {.carbon_dioxide = 0.1}, {298.15, 0.0}));
  EXPECT_FALSE(evaluate_property(Property::Ph, pure_water, {std::nan(""), 1e5}));
  EXPECT_TRUE(evaluate_property(Property::IonicStrength, pure_water, kRoomConditions));
}

TEST(Feed, SortsComponentsByTheirPartInTheWater) {
  const std::int32_t ids[] = {host_id::kWater, host_id::kMdea, 1, host_id::kMethanol, host_id::kWater, 99};
  const double fractions[] = {2.0, 1.0, 3.0, 1.0, 2.0, 1.0};
  const auto feed = read_feed(6, fractions, ids);
  ASSERT_TRUE(feed);
  EXPECT_DOUBLE_EQ(feed->water, 0.4);
  EXPECT_DOUBLE_EQ(feed->solutes.mdea, 0.1);
  EXPECT_DOUBLE_EQ(feed->neutral_solvents, 0.1);
  ASSERT_EQ(feed->non_aqueous.size(), 2u);
  EXPECT_EQ(feed->non_aqueous[1].host_id, 99);
}

// Null pointers, empty counts and NaN are checked through the entry point.
TEST(Feed, RejectsFractionsThatLeaveNoAqueousSolution) {
  const std::int32_t ids[] = {host_id::kWater, host_id::kCarbonDioxide};
  for (double bad : {-0.1, std::numeric_limits<double>::infinity()}) {
    const double fractions[] = {0.9, bad};
    EXPECT_FALSE(read_feed(2, fractions, ids)) << bad;
  }
  const double no_water[] = {0.0, 1.0};
  EXPECT_FALSE(read_feed(2, no_water, ids));
  const double nothing[] = {0.0, 0.0};
  EXPECT_FALSE(read_feed(2, nothing, ids));
}

}  // namespace
}  // namespace tarvox::electrolyte
