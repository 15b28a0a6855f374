#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/stability.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

struct StabilityCase {
  const char* label;
  std::vector<std::string> names;
  std::vector<double> x;
  double temperature, pressure;
  bool test_split_vapour;  // test the vapour of the feed's split, its liquid a known phase
  bool stable;
};

// One workspace carried through tests of mixtures of other sizes, with and without known phases, gives
// what a fresh workspace gives, to the bit: no array keeps the size or the values of the test before.
TEST(TestStability, WorkspaceReusedAcrossMixturesGivesAFreshWorkspacesAnswer) {
  const std::vector<std::string> condensate{"nitrogen",  "carbon dioxide", "methane",   "ethane",
                                            "propane",   "n-butane",       "n-pentane", "n-hexane",
                                            "n-heptane", "n-decane"};
  const std::vector<double> condensate_feed{0.01, 0.02, 0.60, 0.08, 0.06, 0.05, 0.04, 0.04, 0.05, 0.05};
  const std::vector<StabilityCase> cases = {
      {"condensate feed", condensate, condensate_feed, 300.0, 4000.0, false, false},
      {"lean gas", {"methane", "ethane"}, {0.9, 0.1}, 300.0, 100.0, false, true},
      {"condensate split", condensate, condensate_feed, 300.0, 4000.0, true, true},
      {"ethane and decane", {"ethane", "n-decane"}, {0.5, 0.5}, 300.0, 300.0, false, false},
      {"condensate split again", condensate, condensate_feed, 300.0, 4000.0, true, true},
  };
  StabilityWorkspace reused;
  StabilityResult reused_result;
  for (const auto& c : cases) {
    const auto mixture = testing::DatabaseMixture(c.names);
    const PengRobinsonAtTemperature eos(mixture, c.temperature);
    std::vector<double> x = c.x, liquid;
    FugacityEvaluation tested;
    if (c.test_split_vapour) {
      const auto flash = FlashTP(mixture, c.temperature, c.pressure, c.x);
      ASSERT_EQ(flash.phase_count, 2) << c.label;
      x = flash.slots[kVapourSlot].properties.composition;
      liquid = flash.slots[kHydrocarbonLiquidSlot].properties.composition;
    }
    EvaluateLnPhi(eos, c.pressure, x, RootChoice::kMinimumGibbs, tested);
    std::vector<std::span<const double>> known;
    if (!liquid.empty()) known.push_back(liquid);

    StabilityWorkspace fresh;
    StabilityResult fresh_result;
    TestStability(eos, c.pressure, x, tested.ln_phi, -1e-10, fresh, fresh_result, known);
    TestStability(eos, c.pressure, x, tested.ln_phi, -1e-10, reused, reused_result, known);
    EXPECT_EQ(fresh_result.stable, c.stable) << c.label;
    EXPECT_EQ(reused_result.stable, fresh_result.stable) << c.label;
    EXPECT_EQ(reused_result.min_tangent_plane_distance, fresh_result.min_tangent_plane_distance) << c.label;
    EXPECT_EQ(reused_result.trial_composition, fresh_result.trial_composition) << c.label;
  }
}

}  // namespace
}  // namespace tarvox::thermo
