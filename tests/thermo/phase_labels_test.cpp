// Which phase the flash reports in which slot: vapour only when gas-like, hydrocarbon-rich liquid before
// water-rich liquid.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

// The same components without their interaction parameters.
Mixture WithoutInteractions(const std::vector<std::string>& names) {
  const Mixture database = testing::DatabaseMixture(names);
  return Mixture({database.components().begin(), database.components().end()}, {});
}

struct SlotCase {
  const char* name;
  Mixture mixture;
  std::vector<double> feed;
  double temperature_K;
  double pressure_kPa;
  std::array<bool, 3> present;  // vapour, hydrocarbon liquid, aqueous liquid
};

TEST(PhaseSlots, VapourSlotOnlyForGasAndLiquidsHydrocarbonFirst) {
  const SlotCase cases[] = {
      // Methane at 300 K is 109 K above its critical temperature, and at 30 MPa denser (187 kg/m3) than
      // at its critical point (162.7 kg/m3): a dense gas, not a liquid (Setzmann, Wagner, J. Phys. Chem.
      // Ref. Data 20 (1991) 1061).
      {"dense supercritical methane",
       testing::DatabaseMixture({"methane"}),
       {1.0},
       300.0,
       30000.0,
       {true, false, false}},
      {"dense methane over water",
       testing::DatabaseMixture({"methane", "water"}),
       {0.7, 0.3},
       300.0,
       30000.0,
       {true, false, true}},
      // Propane boils at 0.998 MPa at 300 K (Lemmon, McLinden, Wagner, J. Chem. Eng. Data 54 (2009)
      // 3141): at 3 MPa it is a liquid, lighter than water but no vapour.
      {"light liquid over water",
       testing::DatabaseMixture({"propane", "water"}),
       {0.5, 0.5},
       300.0,
       3000.0,
       {false, true, true}},
      // Without interaction parameters the equation splits CO2-loaded aqueous MDEA into a water-rich
      // liquid and a denser amine-rich one. Neither is a gas: water boils at 7.4 kPa at 313 K (Wagner,
      // Pruss, J. Phys. Chem. Ref. Data 31 (2002) 387), MDEA far lower, and the CO2 is too little to
      // raise a vapour against 3 MPa.
      {"liquid-liquid split, lighter liquid wetter",
       WithoutInteractions({"methyldiethanolamine", "water", "carbon dioxide"}),
       {0.05, 0.93, 0.02},
       313.15,
       3000.0,
       {false, true, true}},
  };
  for (const auto& c : cases) {
    const auto flash = FlashTP(c.mixture, c.temperature_K, c.pressure_kPa, c.feed);
    ASSERT_TRUE(flash.converged()) << c.name;
    for (int slot = 0; slot < kPhaseSlotCount; ++slot) {
      EXPECT_EQ(flash.slots[slot].present, c.present[slot]) << c.name << ", slot " << slot;
    }
    const auto water = c.mixture.water_index();
    if (water && flash.slots[kHydrocarbonLiquidSlot].present && flash.slots[kAqueousLiquidSlot].present) {
      EXPECT_LT(flash.slots[kHydrocarbonLiquidSlot].properties.composition[*water],
                flash.slots[kAqueousLiquidSlot].properties.composition[*water])
          << c.name;
    }
  }
}

}  // namespace
}  // namespace tarvox::thermo
