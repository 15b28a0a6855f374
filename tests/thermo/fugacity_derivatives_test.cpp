#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tarvox/thermo/fugacity_derivatives.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

// The analytic derivatives against central differences of ln phi itself, on both roots of a
// mixture with non-zero k_ij (CO2, H2S, N2 and water against hydrocarbons).
TEST(FugacityDerivatives, AgreeWithCentralDifferencesOfLnPhi) {
  const auto mixture = testing::DatabaseMixture(
      {"nitrogen", "carbon dioxide", "hydrogen sulfide", "methane", "propane", "n-heptane", "water"});
  const std::vector<double> x{0.02, 0.05, 0.03, 0.45, 0.15, 0.20, 0.10};
  const std::size_t n = x.size();
  struct Case {
    double temperature, pressure;
    RootChoice root;
  };
  for (const Case c : {Case{300.0, 5000.0, RootChoice::kLiquid}, Case{300.0, 5000.0, RootChoice::kVapour},
                       Case{450.0, 200.0, RootChoice::kVapour}}) {
    const PengRobinsonAtTemperature eos(mixture, c.temperature);
    FugacityEvaluation at, plus, minus;
    LnPhiDerivatives derivatives;
    EvaluateLnPhi(eos, c.pressure, x, c.root, at);
    EvaluateLnPhiDerivatives(eos, c.pressure, at, derivatives);

    const double dp = 1e-6 * c.pressure;
    EvaluateLnPhi(eos, c.pressure + dp, x, c.root, plus);
    EvaluateLnPhi(eos, c.pressure - dp, x, c.root, minus);
    for (std::size_t i = 0; i < n; ++i) {
      const double numeric = (plus.ln_phi[i] - minus.ln_phi[i]) / (2.0 * dp);
      EXPECT_NEAR(derivatives.d_pressure[i], numeric, 1e-6 * std::abs(numeric) + 1e-12) << i;
    }
    // N d ln phi_i / d n_j: add and remove h moles of j from one mole of phase.
    for (std::size_t j = 0; j < n; ++j) {
      const double h = 1e-6;
      std::vector<double> up = x, down = x;
      up[j] += h;
      down[j] -= h;
      for (auto* v : {&up, &down}) {
        for (double& xi : *v) xi /= 1.0 + (v == &up ? h : -h);
      }
      EvaluateLnPhi(eos, c.pressure, up, c.root, plus);
      EvaluateLnPhi(eos, c.pressure, down, c.root, minus);
      for (std::size_t i = 0; i < n; ++i) {
        const double numeric = (plus.ln_phi[i] - minus.ln_phi[i]) / (2.0 * h);
        EXPECT_NEAR(derivatives.d_moles[i * n + j], numeric, 1e-6 * std::abs(numeric) + 1e-7)
            << i << "," << j;
        EXPECT_NEAR(derivatives.d_moles[i * n + j], derivatives.d_moles[j * n + i], 1e-9) << i << "," << j;
      }
    }
  }
}

}  // namespace
}  // namespace tarvox::thermo
