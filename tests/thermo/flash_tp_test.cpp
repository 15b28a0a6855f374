#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

const std::vector<std::string> kWellstreamNames = {
    "nitrogen",  "carbon dioxide", "hydrogen sulfide", "methane",   "ethane",   "propane",
    "isobutane", "n-butane",       "isopentane",       "n-pentane", "n-hexane", "n-heptane",
    "n-octane",  "n-nonane",       "n-decane",         "water"};
const std::vector<double> kWellstreamFeed = {0.005, 0.02, 0.005, 0.40, 0.06, 0.05, 0.01, 0.02,
                                             0.01,  0.01, 0.02,  0.03, 0.03, 0.02, 0.05, 0.25};

std::vector<const SlotResult*> PresentPhases(const FlashResult& flash) {
  std::vector<const SlotResult*> present;
  for (const auto& slot : flash.slots) {
    if (slot.present) present.push_back(&slot);
  }
  return present;
}

// Equal fugacity of every component in every phase, material balance and phase-weighted totals.
void ExpectEquilibrium(const FlashResult& flash) {
  ASSERT_TRUE(flash.converged());
  const auto phases = PresentPhases(flash);
  ASSERT_EQ(static_cast<int>(phases.size()), flash.phase_count);
  const auto& ref = phases.front()->properties;
  double beta_sum = 0.0, enthalpy = 0.0;
  for (const auto* phase : phases) {
    beta_sum += phase->phase_fraction;
    enthalpy += phase->phase_fraction * phase->properties.enthalpy;
    for (std::size_t i = 0; i < flash.feed.size(); ++i) {
      if (flash.feed[i] == 0.0) continue;
      const double ln_f =
          std::log(phase->properties.composition[i]) + phase->properties.ln_fugacity_coefficients[i];
      const double ln_f_ref = std::log(ref.composition[i]) + ref.ln_fugacity_coefficients[i];
      EXPECT_NEAR(ln_f, ln_f_ref, 1e-10) << "component " << i;
    }
  }
  EXPECT_NEAR(beta_sum, 1.0, 1e-14);
  EXPECT_NEAR(flash.enthalpy, enthalpy, 1e-9 * std::abs(enthalpy) + 1e-9);
  for (std::size_t i = 0; i < flash.feed.size(); ++i) {
    double moles = 0.0;
    for (const auto* phase : phases) moles += phase->phase_fraction * phase->properties.composition[i];
    EXPECT_NEAR(moles, flash.feed[i], 1e-14) << "component " << i;
  }
}

TEST(FlashTP, WellstreamSplitsIntoVapourOilAndWater) {
  const auto mixture = testing::DatabaseMixture(kWellstreamNames);
  const auto flash = FlashTP(mixture, 313.15, 3000.0, kWellstreamFeed);
  ExpectEquilibrium(flash);
  ASSERT_EQ(flash.phase_count, 3);
  const auto& vapour = flash.slots[kVapourSlot].properties;
  const auto& oil = flash.slots[kHydrocarbonLiquidSlot].properties;
  const auto& water = flash.slots[kAqueousLiquidSlot].properties;
  EXPECT_TRUE(vapour.gas_like);
  EXPECT_GT(vapour.composition[3], 0.5);   // methane-rich gas
  EXPECT_GT(oil.composition[14], 0.1);     // decane-rich oil
  EXPECT_GT(water.composition[15], 0.99);  // nearly pure water
  EXPECT_LT(*vapour.mass_density, *oil.mass_density);
  EXPECT_LT(*oil.mass_density, *water.mass_density);
  ASSERT_TRUE(flash.kinematic_viscosity.has_value());
}

// A caller that reads no viscosities gets the same state without them.
TEST(FlashTP, SkippingViscositiesLeavesTheStateAsItIs) {
  const auto mixture = testing::DatabaseMixture(kWellstreamNames);
  const auto full = FlashTP(mixture, 313.15, 3000.0, kWellstreamFeed);
  const auto lean = FlashTP(mixture, 313.15, 3000.0, kWellstreamFeed, FlashOptions{.viscosities = false});
  ASSERT_EQ(lean.phase_count, full.phase_count);
  EXPECT_EQ(lean.enthalpy, full.enthalpy);
  EXPECT_EQ(lean.entropy, full.entropy);
  EXPECT_FALSE(lean.kinematic_viscosity.has_value());
  for (std::size_t s = 0; s < lean.slots.size(); ++s) {
    EXPECT_EQ(lean.slots[s].phase_fraction, full.slots[s].phase_fraction);
    EXPECT_EQ(lean.slots[s].properties.composition, full.slots[s].properties.composition);
    EXPECT_FALSE(lean.slots[s].properties.kinematic_viscosity.has_value());
  }
}

TEST(FlashTP, WaterAndHexaneFormTwoLiquidsInTheirSlots) {
  const auto mixture = testing::DatabaseMixture({"n-hexane", "water"});
  const auto flash = FlashTP(mixture, 300.0, 500.0, std::vector<double>{0.4, 0.6});
  ExpectEquilibrium(flash);
  EXPECT_FALSE(flash.slots[kVapourSlot].present);
  ASSERT_TRUE(flash.slots[kHydrocarbonLiquidSlot].present);
  ASSERT_TRUE(flash.slots[kAqueousLiquidSlot].present);
  EXPECT_GT(flash.slots[kAqueousLiquidSlot].properties.composition[1], 0.99);
  EXPECT_GT(flash.slots[kHydrocarbonLiquidSlot].properties.composition[0], 0.99);
}

TEST(FlashTP, GasCondensateSplitsInTwoAtEqualFugacity) {
  const auto mixture =
      testing::DatabaseMixture({"methane", "ethane", "propane", "n-butane", "n-hexane", "n-decane"});
  const std::vector<double> feed{0.70, 0.10, 0.06, 0.04, 0.05, 0.05};
  const auto flash = FlashTP(mixture, 280.0, 5000.0, feed);
  ExpectEquilibrium(flash);
  EXPECT_EQ(flash.phase_count, 2);
  EXPECT_TRUE(flash.slots[kVapourSlot].present);
  EXPECT_TRUE(flash.slots[kHydrocarbonLiquidSlot].present);
  EXPECT_LT(flash.fugacity_residual, 1e-11);
  // Same input, same bits: no hidden state between calls.
  const auto again = FlashTP(mixture, 280.0, 5000.0, feed);
  EXPECT_EQ(again.slots[kVapourSlot].phase_fraction, flash.slots[kVapourSlot].phase_fraction);
  EXPECT_EQ(again.enthalpy, flash.enthalpy);
}

TEST(FlashTP, SinglePhasesAreLabelledByVolumeAndWaterContent) {
  const auto gas =
      FlashTP(testing::DatabaseMixture({"methane", "ethane"}), 350.0, 10000.0, std::vector<double>{0.9, 0.1});
  ASSERT_EQ(gas.phase_count, 1);
  EXPECT_TRUE(gas.slots[kVapourSlot].present);
  EXPECT_EQ(gas.slots[kVapourSlot].phase_fraction, 1.0);

  const auto oil = FlashTP(testing::DatabaseMixture({"propane", "n-decane"}), 300.0, 5000.0,
                           std::vector<double>{0.5, 0.5});
  ASSERT_EQ(oil.phase_count, 1);
  EXPECT_TRUE(oil.slots[kHydrocarbonLiquidSlot].present);

  const auto water =
      FlashTP(testing::DatabaseMixture({"water", "methanol"}), 300.0, 1000.0, std::vector<double>{0.9, 0.1});
  ASSERT_EQ(water.phase_count, 1);
  EXPECT_TRUE(water.slots[kAqueousLiquidSlot].present);
  EXPECT_EQ(water.enthalpy, water.slots[kAqueousLiquidSlot].properties.enthalpy);
}

TEST(FlashTP, ComponentsAbsentFromTheFeedStayAbsent) {
  const auto mixture = testing::DatabaseMixture(kWellstreamNames);
  auto feed = kWellstreamFeed;
  feed[0] = feed[2] = 0.0;  // no nitrogen, no H2S
  const auto flash = FlashTP(mixture, 313.15, 3000.0, feed);
  ExpectEquilibrium(flash);
  for (const auto* phase : PresentPhases(flash)) {
    EXPECT_EQ(phase->properties.composition[0], 0.0);
    EXPECT_EQ(phase->properties.composition[2], 0.0);
  }
}

// Nonane and an aqueous amine solution do not mix (a liquid hydrocarbon over the amine solution, as in
// any amine contactor), and at 223 kPa the light gases form a vapour: three phases at equilibrium. An
// earlier split of this feed stopped at vapour and one liquid, 0.31 RT above the equilibrium Gibbs energy.
TEST(FlashTP, AmineSolutionSeparatesFromOilAndGas) {
  const auto mixture = testing::DatabaseMixture(
      {"nitrogen", "methane", "monoethanolamine", "isopentane", "water", "n-nonane"});
  const auto flash =
      FlashTP(mixture, 342.97, 222.88, std::vector<double>{0.096, 0.469, 0.875, 0.332, 0.874, 0.526});
  ExpectEquilibrium(flash);
  ASSERT_EQ(flash.phase_count, 3);
  EXPECT_GT(flash.slots[kAqueousLiquidSlot].properties.composition[2], 0.1);  // the amine stays in the water
}

// With substitution cut short, the Newton stage has to finish both splits and must land on the
// same three-phase state.
TEST(FlashTP, NewtonStageReachesTheSameEquilibrium) {
  const auto mixture = testing::DatabaseMixture(kWellstreamNames);
  FlashOptions newton_only;
  newton_only.max_iterations = 2;
  const auto reference = FlashTP(mixture, 313.15, 3000.0, kWellstreamFeed);
  const auto flash = FlashTP(mixture, 313.15, 3000.0, kWellstreamFeed, newton_only);
  ExpectEquilibrium(flash);
  ASSERT_EQ(flash.phase_count, 3);
  for (int s = 0; s < kPhaseSlotCount; ++s) {
    EXPECT_NEAR(flash.slots[s].phase_fraction, reference.slots[s].phase_fraction, 1e-10);
  }
  EXPECT_NEAR(flash.enthalpy, reference.enthalpy, 1e-6);
  // With its exact Hessian Newton converges quadratically (13 steps over both splits); a wrong Hessian
  // still reaches the state, through substitution, but in 40 or more.
  EXPECT_LE(flash.iterations, 20);
}

// Where the third-phase check is skipped (no polar component, above the critical temperature of
// ethane), testing every converged split anyway never finds a third phase: dry streams with CO2,
// H2S, nitrogen and light gases against heavy hydrocarbons, over 305-600 K and 10 kPa-50 MPa.
TEST(FlashTP, NoThirdPhaseWhereTheCheckIsSkipped) {
  struct Stream {
    std::vector<std::string> names;
    std::vector<double> feed;
  };
  const std::vector<Stream> streams = {
      {{kWellstreamNames.begin(), kWellstreamNames.end() - 1},
       {0.5, 2, 1, 30, 6, 4, 1, 2, 1, 1, 2, 4, 4, 3, 8}},
      {{"carbon dioxide", "n-decane", "n-dodecane"}, {0.8, 0.1, 0.1}},
      {{"hydrogen sulfide", "n-decane", "n-dodecane"}, {0.7, 0.15, 0.15}},
      {{"ethane", "propane", "n-dodecane"}, {0.8, 0.05, 0.15}},
      {{"nitrogen", "methane", "n-decane"}, {0.3, 0.3, 0.4}},
      {{"hydrogen", "carbon monoxide", "methane", "benzene", "toluene"}, {0.4, 0.1, 0.2, 0.15, 0.15}},
  };
  FlashOptions always;
  always.third_phase = ThirdPhaseCheck::kAlways;
  int two_phase = 0;
  for (const auto& stream : streams) {
    const auto mixture = testing::DatabaseMixture(stream.names);
    for (double t = kSecondLiquidTemperature; t < 600.0; t += 15.0) {
      for (double log_p = 1.0; log_p < 4.75; log_p += 0.25) {
        const double p = std::pow(10.0, log_p);
        const auto checked = FlashTP(mixture, t, p, stream.feed, always);
        ASSERT_TRUE(checked.converged());
        EXPECT_LT(checked.phase_count, 3) << stream.names.front() << " at " << t << " K, " << p << " kPa";
        two_phase += checked.phase_count == 2;
        EXPECT_EQ(FlashTP(mixture, t, p, stream.feed).phase_count, checked.phase_count);
      }
    }
  }
  EXPECT_GT(two_phase, 100);  // the grid crosses the two-phase regions, so the check had splits to test
}

// A pressure sweep of one feed (as the Reid iteration makes) with warm starts from the last split
// gives the cold flash's state, also where the sweep leaves the two-phase region.
TEST(FlashEngine, WarmStartsAgreeWithColdFlashes) {
  const auto mixture =
      testing::DatabaseMixture({"methane", "ethane", "propane", "n-butane", "n-hexane", "n-decane"});
  const std::vector<double> feed{0.70, 0.10, 0.06, 0.04, 0.05, 0.05};
  FlashEngine engine(mixture);
  int single_phase = 0, shorter = 0;
  for (double p : {3000.0, 5000.0, 5100.0, 12000.0, 40000.0, 5000.0, 300.0}) {
    const auto cold = FlashTP(mixture, 280.0, p, feed);
    const auto warm = engine.Flash(280.0, p, feed, {}, /*warm_start=*/true);
    ExpectEquilibrium(warm);
    ASSERT_EQ(warm.phase_count, cold.phase_count) << p;
    single_phase += warm.phase_count == 1;
    shorter += warm.iterations < cold.iterations;
    for (int s = 0; s < kPhaseSlotCount; ++s) {
      EXPECT_NEAR(warm.slots[s].phase_fraction, cold.slots[s].phase_fraction, 1e-10) << p;
    }
    EXPECT_NEAR(warm.enthalpy, cold.enthalpy, 1e-7 * std::abs(cold.enthalpy)) << p;
  }
  EXPECT_EQ(single_phase, 1);  // 40 MPa lies above the dew point
  EXPECT_GE(shorter, 2);       // warm starts were taken (a cold start repeats the cold count)
}

TEST(FlashTP, RejectsNonPhysicalInput) {
  const auto mixture = testing::DatabaseMixture({"methane", "ethane"});
  EXPECT_THROW(FlashTP(mixture, 300.0, 0.0, std::vector<double>{0.5, 0.5}), std::invalid_argument);
  EXPECT_THROW(FlashTP(mixture, -1.0, 100.0, std::vector<double>{0.5, 0.5}), std::invalid_argument);
  EXPECT_THROW(FlashTP(mixture, 300.0, 100.0, std::vector<double>{0.5}), std::invalid_argument);
}

}  // namespace
}  // namespace tarvox::thermo
