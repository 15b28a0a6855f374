#include "charge_balance.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium_constants.hpp"
#include "mixtures.hpp"

namespace tarvox::electrolyte {
namespace {

using testing::kMdeaMolarMass;
using testing::kMeaMolarMass;
using testing::molality_from_mass_fraction;

constexpr double kRoomTemperature = 298.15;

double ph(const Speciation& s) { return -std::log10(s.gamma_monovalent * s.hydrogen); }

double constant(Reaction reaction, double temperature_K) {
  return std::pow(10.0, log10_equilibrium_constant(reaction, temperature_K));
}

TEST(Speciation, PureWaterIsNeutral) {
  for (double t : {273.15, 298.15, 373.15, 423.15}) {
    const auto s = solve_speciation({}, t);
    ASSERT_TRUE(s) << t;
    EXPECT_NEAR(s->hydrogen, s->hydroxide, 1e-9 * s->hydrogen) << t;
  }
  EXPECT_NEAR(ph(*solve_speciation({}, kRoomTemperature)), 7.00, 0.01);
}

TEST(Speciation, WaterSaturatedWithCarbonDioxideAtOneAtmosphere) {
  const double dissolved = constant(Reaction::CarbonDioxideHenry, kRoomTemperature) * 1.0;
  const auto s = solve_speciation({.carbon_dioxide = dissolved}, kRoomTemperature);
  ASSERT_TRUE(s);
  EXPECT_NEAR(ph(*s), 3.9, 0.1);
}

// Every equilibrium and balance of the model at once, for a solution that contains all of its solutes.
TEST(Speciation, SatisfiesMassBalancesChargeBalanceAndEquilibria) {
  const SoluteTotals totals{
      .carbon_dioxide = 0.8, .hydrogen_sulfide = 0.2, .ammonia = 0.3, .mea = 0.5, .dea = 0.4, .mdea = 0.6};
  const double t = 323.15;
  const auto s = solve_speciation(totals, t);
  ASSERT_TRUE(s);
  const auto close = [](double actual, double expected) {
    EXPECT_NEAR(actual / expected, 1.0, 1e-8) << actual << " vs " << expected;
  };
  close(s->carbon_dioxide + s->bicarbonate + s->carbonate + s->mea.carbamate + s->dea.carbamate,
        totals.carbon_dioxide);
  close(s->hydrogen_sulfide + s->bisulfide, totals.hydrogen_sulfide);
  close(s->ammonia.free + s->ammonia.protonated, totals.ammonia);
  close(s->mea.free + s->mea.protonated + s->mea.carbamate, totals.mea);
  close(s->dea.free + s->dea.protonated + s->dea.carbamate, totals.dea);
  close(s->mdea.free + s->mdea.protonated, totals.mdea);
  EXPECT_EQ(s->ammonia.carbamate, 0.0);
  EXPECT_EQ(s->mdea.carbamate, 0.0);
  EXPECT_NEAR(s->net_charge(), 0.0, 1e-9 * s->ionic_strength_of_species());
  EXPECT_NEAR(s->ionic_strength, s->ionic_strength_of_species(), 1e-8 * s->ionic_strength);

  const double g1 = s->gamma_monovalent;
  const double g2 = s->gamma_divalent;
  const double a_h = g1 * s->hydrogen;
  close(a_h * g1 * s->hydroxide, constant(Reaction::WaterIonisation, t));
  close(a_h * g1 * s->bicarbonate / s->carbon_dioxide, constant(Reaction::CarbonDioxideFirst, t));
  close(a_h * g2 * s->carbonate / (g1 * s->bicarbonate), constant(Reaction::CarbonDioxideSecond, t));
  close(a_h * g1 * s->bisulfide / s->hydrogen_sulfide, constant(Reaction::HydrogenSulfideFirst, t));
  close(a_h * s->ammonia.free / (g1 * s->ammonia.protonated), constant(Reaction::AmmoniumDissociation, t));
  close(a_h * s->mea.free / (g1 * s->mea.protonated), constant(Reaction::MeaHDissociation, t));
  close(a_h * s->dea.free / (g1 * s->dea.protonated), constant(Reaction::DeaHDissociation, t));
  close(a_h * s->mdea.free / (g1 * s->mdea.protonated), constant(Reaction::MdeaHDissociation, t));
  close(s->mea.free * s->bicarbonate / s->mea.carbamate, constant(Reaction::MeaCarbamateReversion, t));
  close(s->dea.free * s->bicarbonate / s->dea.carbamate, constant(Reaction::DeaCarbamateReversion, t));
}

// pH of a CO2-loaded amine solvent up to the usual rich loading (mol CO2 per mol amine).
void expect_basic_and_falling_with_loading(SoluteTotals amine_only, double amine, double temperature_K) {
  double previous_ph = ph(*solve_speciation(amine_only, temperature_K));
  EXPECT_GT(previous_ph, 10.0);
  for (int step = 1; step <= 10; ++step) {
    const double loading = 0.05 * step;
    SoluteTotals loaded = amine_only;
    loaded.carbon_dioxide = loading * amine;
    const auto s = solve_speciation(loaded, temperature_K);
    ASSERT_TRUE(s) << loading;
    EXPECT_GT(ph(*s), 7.5) << loading;
    EXPECT_LT(ph(*s), previous_ph) << loading;
    previous_ph = ph(*s);
  }
}

TEST(Speciation, LoadedMeaSolventIsBasicAndAcidifiesWithLoading) {
  const double mea = molality_from_mass_fraction(0.30, kMeaMolarMass);
  expect_basic_and_falling_with_loading({.mea = mea}, mea, 313.15);
}

TEST(Speciation, LoadedMdeaSolventIsBasicAndAcidifiesWithLoading) {
  const double mdea = molality_from_mass_fraction(0.50, kMdeaMolarMass);
  expect_basic_and_falling_with_loading({.mdea = mdea}, mdea, 313.15);
}

TEST(Speciation, PrimaryAmineBindsCarbonDioxideMostlyAsCarbamateAtLowLoading) {
  const double mea = molality_from_mass_fraction(0.30, kMeaMolarMass);
  const auto s = solve_speciation({.carbon_dioxide = 0.2 * mea, .mea = mea}, 313.15);
  ASSERT_TRUE(s);
  EXPECT_GT(s->mea.carbamate, 0.5 * 0.2 * mea);
}

TEST(Speciation, AmmoniumBicarbonateIonicStrengthIsNearlyItsMolality) {
  // NH3 + CO2 + H2O = NH4+ + HCO3- goes nearly to completion (pH about 7.8, between the two pK).
  const double molality = 0.1;
  const auto s = solve_speciation({.carbon_dioxide = molality, .ammonia = molality}, kRoomTemperature);
  ASSERT_TRUE(s);
  EXPECT_GT(s->ionic_strength_of_species(), 0.9 * molality);
  EXPECT_LT(s->ionic_strength_of_species(), molality);
  EXPECT_NEAR(ph(*s), 7.8, 0.15);
}

TEST(Speciation, RefusesTemperaturesOutsideTheCorrelations) {
  EXPECT_FALSE(solve_speciation({}, 250.0));
  EXPECT_FALSE(solve_speciation({}, 500.0));
  EXPECT_FALSE(solve_speciation({}, std::nan("")));
}

}  // namespace
}  // namespace tarvox::electrolyte
