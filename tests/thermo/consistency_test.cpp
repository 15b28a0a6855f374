// Thermodynamic consistency of the single-phase properties by numerical differentiation.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

#include "tarvox/thermo/phase_properties.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

struct ConsistencyCase {
  const char* label;
  std::vector<std::string> names;
  std::vector<double> z;
  double t, p;
  RootChoice root;
};

// Printed by its label: gtest's fallback prints the bytes of the struct, padding included, which
// are not initialised.
void PrintTo(const ConsistencyCase& c, std::ostream* out) { *out << c.label; }

class Consistency : public ::testing::TestWithParam<ConsistencyCase> {
 protected:
  Consistency() : mixture_(testing::DatabaseMixture(GetParam().names)) {}

  PhaseProperties At(double t, double p) const {
    return EvaluatePhase(mixture_, t, p, GetParam().z, GetParam().root);
  }

  // Pressure at which the phase has molar volume v at temperature t, matched to 1e-10 m3/kmol.
  double PressureForVolume(double t, double v, double p) const {
    for (int i = 0; i < 50; ++i) {
      const double dv_dp =
          (At(t, p * (1 + 1e-7)).molar_volume - At(t, p * (1 - 1e-7)).molar_volume) / (2e-7 * p);
      const double error = At(t, p).molar_volume - v;
      if (std::abs(error) < 1e-10 * std::abs(v) + 1e-13) break;
      p -= error / dv_dp;
    }
    EXPECT_NEAR(At(t, p).molar_volume, v, 1e-10);
    return p;
  }

  Mixture mixture_;
};

TEST_P(Consistency, HeatCapacitiesAndVolumeFollowFromEnthalpyAndEntropy) {
  const auto& c = GetParam();
  const double h = 0.01;  // K
  const auto base = At(c.t, c.p);
  const auto hot = At(c.t + h, c.p);
  const auto cold = At(c.t - h, c.p);
  const double tds_dt = c.t * (hot.entropy - cold.entropy) / (2 * h);
  const double dh_dt = (hot.enthalpy - cold.enthalpy) / (2 * h);
  EXPECT_NEAR(tds_dt / base.cp, 1.0, 1e-6) << "Cp = T (dS/dT)p";
  EXPECT_NEAR(dh_dt / base.cp, 1.0, 1e-6) << "Cp = (dH/dT)p, i.e. dH = T dS at constant P";

  const double dp = 1e-4 * c.p;
  const auto gibbs = [this, &c](double p) {
    const auto s = At(c.t, p);
    return s.enthalpy - c.t * s.entropy;
  };
  EXPECT_NEAR((gibbs(c.p + dp) - gibbs(c.p - dp)) / (2 * dp) / base.molar_volume, 1.0, 1e-6)
      << "V = (dG/dP)T";

  const double p_hot = PressureForVolume(c.t + h, base.molar_volume, c.p);
  const double p_cold = PressureForVolume(c.t - h, base.molar_volume, c.p);
  const double cv = c.t * (At(c.t + h, p_hot).entropy - At(c.t - h, p_cold).entropy) / (2 * h);
  EXPECT_NEAR(cv / base.cv, 1.0, 1e-5) << "Cv = T (dS/dT)v";
}

INSTANTIATE_TEST_SUITE_P(
    States, Consistency,
    ::testing::Values(
        ConsistencyCase{"natural_gas",
                        {"methane", "ethane", "propane", "carbon dioxide", "nitrogen"},
                        {0.85, 0.06, 0.03, 0.04, 0.02},
                        280.0,
                        7000.0,
                        RootChoice::kMinimumGibbs},
        ConsistencyCase{"light_oil",
                        {"n-heptane", "n-decane", "methane"},
                        {0.5, 0.4, 0.1},
                        350.0,
                        3000.0,
                        RootChoice::kLiquid},
        ConsistencyCase{"water_liquid", {"water"}, {1.0}, 330.0, 500.0, RootChoice::kLiquid},
        ConsistencyCase{
            "heavy_vapour", {"n-dodecane", "methane"}, {0.2, 0.8}, 600.0, 800.0, RootChoice::kVapour}),
    [](const ::testing::TestParamInfo<ConsistencyCase>& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace tarvox::thermo
