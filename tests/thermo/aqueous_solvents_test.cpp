// Aqueous solutions of the gas-treating and hydrate-inhibiting solvents: one liquid, and water at about
// its Raoult's-law pressure, with the interaction parameters of data/kij_pr.csv.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/saturation.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

// Vapour pressure of water at 313.15 K (Wagner, Pruss, J. Phys. Chem. Ref. Data 31 (2002) 387, Table 13.1).
constexpr double kWaterVapourPressureAt40C = 7.3849;  // kPa

const char* const kSolvents[] = {"methyldiethanolamine", "monoethanolamine", "diethanolamine",
                                 "monoethylene glycol",  "methanol",         "sulfolane"};

std::vector<double> MoleFractions(const Mixture& water_and_solvent, double solvent_mass_fraction) {
  const double water = (1.0 - solvent_mass_fraction) / water_and_solvent.component(0).molar_mass;
  const double solvent = solvent_mass_fraction / water_and_solvent.component(1).molar_mass;
  return {water / (water + solvent), solvent / (water + solvent)};
}

TEST(AqueousSolvents, SolutionsUpToSixtyPercentStayOneLiquid) {
  for (const char* solvent : kSolvents) {
    const auto mixture = testing::DatabaseMixture({"water", solvent});
    for (int percent = 5; percent <= 60; percent += 5) {
      for (double celsius = 0.0; celsius <= 150.0; celsius += 25.0) {
        for (double pressure : {100.0, 1000.0, 10000.0}) {
          const auto flash =
              FlashTP(mixture, celsius + 273.15, pressure, MoleFractions(mixture, percent / 100.0));
          ASSERT_TRUE(flash.converged())
              << solvent << " " << percent << " % " << celsius << " C " << pressure;
          EXPECT_FALSE(flash.slots[kHydrocarbonLiquidSlot].present && flash.slots[kAqueousLiquidSlot].present)
              << solvent << " splits at " << percent << " % " << celsius << " C " << pressure << " kPa";
        }
      }
    }
  }
}

TEST(AqueousSolvents, WaterOverHalfAndHalfSolutionIsNearItsMoleFractionTimesVapourPressure) {
  for (const char* solvent : kSolvents) {
    const auto mixture = testing::DatabaseMixture({"water", solvent});
    const auto x = MoleFractions(mixture, 0.5);
    const auto bubble = BubblePointPressure(mixture, 313.15, x);
    ASSERT_TRUE(bubble.converged()) << solvent;
    const double water_pressure = bubble.pressure * bubble.vapour_composition[0];
    EXPECT_NEAR(water_pressure / (x[0] * kWaterVapourPressureAt40C), 1.0, 0.15) << solvent;
  }
}

}  // namespace
}  // namespace tarvox::thermo
