// Prints the outcome of some 17 000 TP flashes, one line each, so that two builds of the engine can be
// compared flash by flash (tools/compare_flash_sweeps.py): random feeds of 2 to 9 components drawn from
// the whole component table over 150-900 K and 0.1 kPa-100 MPa, with and without the third-phase check
// forced; feeds with absent and single components over 60-1060 K and 0.01 kPa-316 MPa; a lean gas over
// a grid around its critical region; dry streams of light solvents and heavy hydrocarbons below 305 K,
// where a second liquid can appear; and the three-phase wellstream over a 41 x 47 T-P grid, through
// FlashTP and through one reused FlashEngine. The random draws are seeded, so every build flashes the
// same cases.
//
// Line: tag index converged phase_count fraction_vapour fraction_oil fraction_water enthalpy
// molar_volume gibbs, with -1 for an absent slot and gibbs = sum over phases of
// beta sum_i x_i (ln x_i + ln phi_i), the Gibbs energy / RT less the ideal-gas reference, which the
// equilibrium state minimises.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <random>
#include <string>
#include <vector>

#include "tarvox/thermo/flash_tp.hpp"

namespace tarvox::thermo {
namespace {

double ReducedGibbsEnergy(const FlashResult& flash) {
  double g = 0.0;
  for (const auto& slot : flash.slots) {
    if (!slot.present) continue;
    const auto& p = slot.properties;
    for (std::size_t i = 0; i < flash.feed.size(); ++i) {
      if (flash.feed[i] > 0.0) {
        g += slot.phase_fraction * p.composition[i] *
             (std::log(p.composition[i]) + p.ln_fugacity_coefficients[i]);
      }
    }
  }
  return g;
}

void Print(const char* tag, int index, const FlashResult& flash) {
  std::printf("%s %d %d %d", tag, index, flash.converged() ? 1 : 0, flash.phase_count);
  for (const auto& slot : flash.slots) std::printf(" %.15g", slot.present ? slot.phase_fraction : -1.0);
  std::printf(" %.15g %.15g %.15g\n", flash.enthalpy, flash.molar_volume, ReducedGibbsEnergy(flash));
}

// Flashes the case and prints it, or the exception it throws.
template <typename Flash>
void Run(const char* tag, int index, Flash flash) {
  try {
    Print(tag, index, flash());
  } catch (const std::exception& e) {
    std::printf("%s %d exception %s\n", tag, index, e.what());
  }
}

struct RandomFeed {
  std::vector<std::string> names;
  std::vector<double> amounts;
};

// `count` distinct components of the table with amounts in [low, 1], a third of them absent when
// `with_absent` (the first made present when all are).
RandomFeed DrawFeed(const ComponentDatabase& database, int count, double low, bool with_absent,
                    std::mt19937& rng) {
  std::vector<std::size_t> order(database.components().size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::shuffle(order.begin(), order.end(), rng);
  RandomFeed feed;
  for (int i = 0; i < count; ++i) {
    feed.names.push_back(database.components()[order[i]].name);
    const bool absent = with_absent && rng() % 3 == 0;
    feed.amounts.push_back(absent ? 0.0 : std::uniform_real_distribution<>(low, 1.0)(rng));
  }
  if (std::all_of(feed.amounts.begin(), feed.amounts.end(), [](double v) { return v == 0.0; })) {
    feed.amounts[0] = 1.0;
  }
  return feed;
}

double Uniform(std::mt19937& rng) { return std::uniform_real_distribution<>(0.0, 1.0)(rng); }

}  // namespace
}  // namespace tarvox::thermo

int main() {
  using namespace tarvox::thermo;
  const auto database = ComponentDatabase::Load(std::string(TARVOX_THERMO_DATA_DIR) + "/components.csv",
                                                std::string(TARVOX_THERMO_DATA_DIR) + "/kij_pr.csv");
  FlashOptions always;
  always.third_phase = ThirdPhaseCheck::kAlways;

  std::mt19937 rng(12345);
  for (int k = 0; k < 1500; ++k) {
    const auto feed = DrawFeed(database, 2 + static_cast<int>(rng() % 8), 0.01, false, rng);
    const double t = 150.0 + 750.0 * Uniform(rng), p = std::pow(10.0, -1.0 + 6.0 * Uniform(rng));
    const auto mixture = MakeMixture(database, feed.names);
    Run("random", k, [&] { return FlashTP(mixture, t, p, feed.amounts); });
    Run("random-checked", k, [&] { return FlashTP(mixture, t, p, feed.amounts, always); });
  }

  std::mt19937 odd_rng(777);
  for (int k = 0; k < 1500; ++k) {
    const auto feed = DrawFeed(database, 1 + static_cast<int>(odd_rng() % 6), 1e-6, true, odd_rng);
    const double t = 60.0 + 1000.0 * Uniform(odd_rng), p = std::pow(10.0, -2.0 + 7.5 * Uniform(odd_rng));
    const auto mixture = MakeMixture(database, feed.names);
    Run("sparse", k, [&] { return FlashTP(mixture, t, p, feed.amounts); });
  }

  const auto gas = MakeMixture(database, std::vector<std::string>{"methane", "ethane", "propane", "n-butane",
                                                                  "n-pentane", "n-hexane"});
  const std::vector<double> gas_feed{0.75, 0.10, 0.06, 0.04, 0.03, 0.02};
  int k = 0;
  for (int a = 0; a <= 40; ++a) {
    for (int b = 0; b <= 110; ++b, ++k) {
      const double t = 200.0 + 2.5 * a, p = 1000.0 + 100.0 * b;
      Run("near-critical", k, [&] { return FlashTP(gas, t, p, gas_feed); });
      Run("near-critical-checked", k, [&] { return FlashTP(gas, t, p, gas_feed, always); });
    }
  }

  // Dry streams below the critical temperature of ethane, where liquids rich in CO2, H2S, ethane or
  // methane can separate from heavier hydrocarbons: the third-phase check runs on every split here.
  const std::vector<std::vector<std::string>> cold_streams{
      {"carbon dioxide", "n-decane", "n-dodecane"}, {"hydrogen sulfide", "n-decane", "n-dodecane"},
      {"ethane", "propane", "n-dodecane"},          {"methane", "n-hexane"},
      {"methane", "n-heptane", "n-decane"},         {"nitrogen", "methane", "ethane", "n-decane"},
      {"carbon dioxide", "methane", "n-decane"},    {"carbon dioxide", "ethane", "n-hexane", "n-dodecane"}};
  std::mt19937 cold_rng(4242);
  k = 0;
  for (const auto& names : cold_streams) {
    const auto cold = MakeMixture(database, names);
    for (int draw = 0; draw < 250; ++draw, ++k) {
      std::vector<double> amounts(names.size());
      for (double& amount : amounts) amount = 0.02 + Uniform(cold_rng);
      amounts[0] += 2.0 * Uniform(cold_rng);  // mostly the light solvent, as where its liquid separates
      const double t = 150.0 + 155.0 * Uniform(cold_rng), p = std::pow(10.0, 1.5 + 3.0 * Uniform(cold_rng));
      Run("cold-dry", k, [&] { return FlashTP(cold, t, p, amounts); });
    }
  }

  const std::vector<std::string> wellstream{"nitrogen",   "carbon dioxide", "hydrogen sulfide", "methane",
                                            "ethane",     "propane",        "isobutane",        "n-butane",
                                            "isopentane", "n-pentane",      "n-hexane",         "n-heptane",
                                            "n-octane",   "n-nonane",       "n-decane",         "water"};
  const std::vector<double> wellstream_feed{0.005, 0.02, 0.005, 0.40, 0.06, 0.05, 0.01, 0.02,
                                            0.01,  0.01, 0.02,  0.03, 0.03, 0.02, 0.05, 0.25};
  const auto mixture = MakeMixture(database, wellstream);
  FlashEngine engine(mixture);
  k = 0;
  for (int a = 0; a <= 40; ++a) {
    for (int b = 0; b <= 46; ++b, ++k) {
      const double t = 250.0 + 10.0 * a, p = std::pow(10.0, 1.0 + 3.7 * b / 46.0);
      Run("wellstream", k, [&] { return FlashTP(mixture, t, p, wellstream_feed); });
      Run("wellstream-engine", k, [&] { return engine.Flash(t, p, wellstream_feed); });
    }
  }
}
