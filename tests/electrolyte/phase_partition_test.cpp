#include "phase_partition.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <optional>
#include <utility>
#include <vector>

#include "bisection.hpp"
#include "davies_activity.hpp"
#include "equilibrium_constants.hpp"
#include "properties.hpp"
#include "water_vapour_pressure.hpp"

namespace tarvox::electrolyte {
namespace {

constexpr double kAtmosphere = 101325.0;
constexpr double kMolesPerKgWater = 1.0 / kWaterMolarMassKgPerMol;

std::optional<double> property_of(Property property,
                                  const std::vector<std::pair<std::int32_t, double>>& moles,
                                  double temperature_K, double pressure_Pa) {
  std::vector<std::int32_t> ids;
  std::vector<double> amounts;
  for (const auto& [id, amount] : moles) {
    ids.push_back(id);
    amounts.push_back(amount);
  }
  const auto feed = read_feed(static_cast<std::int32_t>(ids.size()), amounts.data(), ids.data());
  if (!feed) return std::nullopt;
  const auto totals = aqueous_solute_totals(*feed, temperature_K, pressure_Pa);
  if (!totals) return std::nullopt;
  return evaluate_property(property, *totals, {temperature_K, pressure_Pa});
}

// pH of water, with MDEA at a given molality, open to given fugacities (atm) of CO2 and H2S:
// m(free) = K_H f, then the charge balance H+ + MDEAH+ = OH- + HCO3- + 2 CO3-2 + HS- with Davies
// coefficients; the textbook open-system calculation.
double open_system_ph(double temperature_K, double carbon_dioxide_atm, double hydrogen_sulfide_atm,
                      double mdea_molality = 0.0) {
  const auto k = [&](Reaction r) { return std::pow(10.0, log10_equilibrium_constant(r, temperature_K)); };
  const double co2 = k(Reaction::CarbonDioxideHenry) * carbon_dioxide_atm;
  const double h2s = k(Reaction::HydrogenSulfideHenry) * hydrogen_sulfide_atm;
  double ionic_strength = 0.0;
  double ph = 0.0;
  for (int iteration = 0; iteration < 50; ++iteration) {
    const DaviesActivity davies(debye_huckel_a(temperature_K), ionic_strength);
    const double g1 = davies.gamma(1), g2 = davies.gamma(2);
    // Anions at m(H+) = h: OH-, HCO3-, CO3-2, HS-.
    const auto anions = [&](double h) {
      const double bicarbonate = k(Reaction::CarbonDioxideFirst) * co2 / (g1 * g1 * h);
      return std::array{k(Reaction::WaterIonisation) / (g1 * g1 * h), bicarbonate,
                        bicarbonate * k(Reaction::CarbonDioxideSecond) / (g2 * h),
                        k(Reaction::HydrogenSulfideFirst) * h2s / (g1 * g1 * h)};
    };
    const auto net_charge = [&](double log_h) {
      const double h = std::pow(10.0, log_h);
      const auto a = anions(h);
      const double protonated_mdea = mdea_molality * h / (h + k(Reaction::MdeaHDissociation));
      return h + protonated_mdea - a[0] - a[1] - 2.0 * a[2] - a[3];
    };
    const double h = std::pow(10.0, *bisect_increasing(net_charge, -14.0, 0.0, 1e-13));
    const auto a = anions(h);
    ionic_strength = 0.5 * (h + mdea_molality * h / (h + k(Reaction::MdeaHDissociation)) + a[0] + a[1] +
                            4.0 * a[2] + a[3]);
    ph = -std::log10(g1 * h);
  }
  return ph;
}

TEST(WaterVapourPressure, MatchesSteamTables) {
  // Wagner, Pruss, J. Phys. Chem. Ref. Data 31 (2002) 387, Table 13.1 (saturation state).
  EXPECT_NEAR(water_vapour_pressure_Pa(298.15), 3169.9, 0.5);
  EXPECT_NEAR(water_vapour_pressure_Pa(373.15), 101418.0, 20.0);
  EXPECT_NEAR(water_vapour_pressure_Pa(423.15), 476160.0, 100.0);
}

struct PublishedPh {
  const char* case_name;
  std::vector<std::pair<std::int32_t, double>> moles;
  double temperature_K;
  double pressure_Pa;
  double ph;
  double tolerance;
};

TEST(AqueousPartition, ReproducesPublishedPh) {
  const PublishedPh cases[] = {
      // pH = pKw / 2 with pKw 13.995 at 25 C and 13.535 at 40 C (Bandura, Lvov, J. Phys. Chem. Ref. Data
      // 35 (2006) 15, Table 3); nitrogen above the water changes nothing.
      {"pure water 25 C", {{host_id::kWater, 1.0}}, 298.15, kAtmosphere, 7.00, 0.01},
      {"water under nitrogen 40 C", {{host_id::kWater, 1.0}, {13, 0.5}}, 313.15, 5e5, 6.77, 0.02},
      // Water under 1 atm of CO2 at 25 C: pH 3.9 (Stumm, Morgan, Aquatic Chemistry, 3rd ed. (1996),
      // ch. 4; Butler, Carbon Dioxide Equilibria (1982)). 1 kg of water under 100 mol of gas, so that
      // what dissolves does not change the gas.
      {"water under 1 atm CO2",
       {{host_id::kWater, kMolesPerKgWater}, {host_id::kCarbonDioxide, 100.0}},
       298.15,
       kAtmosphere,
       3.9,
       0.05},
  };
  for (const auto& c : cases) {
    const auto ph = property_of(Property::Ph, c.moles, c.temperature_K, c.pressure_Pa);
    ASSERT_TRUE(ph) << c.case_name;
    EXPECT_NEAR(*ph, c.ph, c.tolerance) << c.case_name;
  }
}

TEST(AqueousPartition, WaterUnderASourGasTakesThePhOfTheGasPartialPressures) {
  // 1 kg of water under a large excess of gas (5 % CO2, 2 % H2S in methane) at 10 bar, 25 C. The gas
  // also holds water at its vapour pressure, so its dry part is at P - Psat.
  const double t = 298.15, p = 10 * kAtmosphere;
  const auto ph_with_gas = [&](double gas_moles) {
    return property_of(Property::Ph,
                       {{host_id::kWater, kMolesPerKgWater},
                        {host_id::kCarbonDioxide, 0.05 * gas_moles},
                        {host_id::kHydrogenSulfide, 0.02 * gas_moles},
                        {1, 0.93 * gas_moles}},
                       t, p);
  };
  const double dry_atm = (p - water_vapour_pressure_Pa(t)) / kAtmosphere;
  const auto ph = ph_with_gas(1000.0);
  ASSERT_TRUE(ph);
  EXPECT_NEAR(*ph, open_system_ph(t, 0.05 * dry_atm, 0.02 * dry_atm), 0.005);
  // Ten times the gas: the same partial pressures, so the same pH.
  const auto ph_more_gas = ph_with_gas(10000.0);
  ASSERT_TRUE(ph_more_gas);
  EXPECT_NEAR(*ph_more_gas, *ph, 0.002);
}

TEST(AqueousPartition, CarbonDioxideBoundByAnAmineIsNoLongerFree) {
  // 0.05 mol/kg MDEA under ten times as much gas (5 % CO2, 2 % H2S in methane) at 50 atm, 25 C: the gas
  // keeps its composition and the water stays, so the free CO2 and H2S follow Henry's law at the
  // gas's partial pressures, and the amine binds more as bicarbonate and bisulfide.
  const double t = 298.15, p = 50 * kAtmosphere, mdea = 0.05, gas = 10 * kMolesPerKgWater;
  const auto ph = property_of(Property::Ph,
                              {{host_id::kWater, kMolesPerKgWater},
                               {host_id::kMdea, mdea},
                               {host_id::kCarbonDioxide, 0.05 * gas},
                               {host_id::kHydrogenSulfide, 0.02 * gas},
                               {1, 0.93 * gas}},
                              t, p);
  ASSERT_TRUE(ph);
  const double dry_atm = (p - water_vapour_pressure_Pa(t)) / kAtmosphere;
  EXPECT_NEAR(*ph, open_system_ph(t, 0.05 * dry_atm, 0.02 * dry_atm, mdea), 0.01);
}

TEST(AqueousPartition, NoValueWithoutLiquidWater) {
  // 1 % water in methane at 1 atm and 80 C: its vapour pressure (47 kPa) keeps all of it in the gas.
  EXPECT_FALSE(property_of(Property::Ph, {{host_id::kWater, 1.0}, {1, 99.0}}, 353.15, kAtmosphere));
  EXPECT_FALSE(property_of(Property::Ph, {{host_id::kWater, 1.0}, {1, 99.0}}, 298.15, 0.0));
}

TEST(AqueousPartition, LiquidBelowItsBubblePointKeepsEverythingDissolved) {
  // 2 mol/kg MDEA loaded to 0.4 mol CO2 per mol amine at 40 C: its CO2 pressure is some tens of kPa at
  // most, far below 30 bar, so there is no gas and the molalities are those of the stream.
  const auto feed = read_feed(3, std::array{kMolesPerKgWater, 2.0, 0.8}.data(),
                              std::array{host_id::kWater, host_id::kMdea, host_id::kCarbonDioxide}.data());
  ASSERT_TRUE(feed);
  const auto totals = aqueous_solute_totals(*feed, 313.15, 3e6);
  ASSERT_TRUE(totals);
  EXPECT_NEAR(totals->mdea, 2.0, 1e-9);
  EXPECT_NEAR(totals->carbon_dioxide, 0.8, 1e-9);
}

}  // namespace
}  // namespace tarvox::electrolyte
