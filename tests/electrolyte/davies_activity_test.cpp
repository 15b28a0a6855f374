#include "davies_activity.hpp"

#include <gtest/gtest.h>

#include <cmath>

namespace tarvox::electrolyte {
namespace {

constexpr double kA = 0.51;

TEST(DaviesActivity, ApproachesLimitingLawAndScalesWithChargeSquared) {
  const double ionic_strength = 1e-8;
  const DaviesActivity activity(kA, ionic_strength);
  const double limiting_law = -kA * std::sqrt(ionic_strength);
  EXPECT_NEAR(activity.log10_gamma(1), limiting_law, 2e-4 * std::abs(limiting_law));
  EXPECT_DOUBLE_EQ(activity.log10_gamma(2), 4.0 * activity.log10_gamma(1));
  EXPECT_DOUBLE_EQ(activity.gamma(0), 1.0);
}

TEST(DaviesActivity, HeldAtItsCapBeyondItsRange) {
  const DaviesActivity at_cap(kA, kDaviesIonicStrengthCap);
  const DaviesActivity beyond(kA, 4.0);
  EXPECT_DOUBLE_EQ(beyond.gamma(1), at_cap.gamma(1));
  EXPECT_LT(beyond.gamma(1), 1.0);
}

// (phi - 1) M for a 1:1 electrolyte of molality m, where M = 2 m and I = m.
double osmotic_excess(double m) {
  return 2.0 * m * (DaviesActivity(kA, m).osmotic_coefficient(2.0 * m) - 1.0);
}

TEST(DaviesActivity, OsmoticCoefficientSatisfiesGibbsDuhem) {
  // d[M (phi - 1)]/dm = sum_i m_i d ln(gamma_i)/dm = 2 m d ln(gamma+-)/dm for a 1:1 electrolyte.
  for (double m : {1e-4, 2.5e-3, 0.01, 0.1, 0.3, 1.0}) {
    const double step = 1e-4 * m;
    const double lhs = (osmotic_excess(m + step) - osmotic_excess(m - step)) / (2.0 * step);
    const double ln_gamma_slope =
        (std::log(DaviesActivity(kA, m + step).gamma(1)) - std::log(DaviesActivity(kA, m - step).gamma(1))) /
        (2.0 * step);
    EXPECT_NEAR(lhs, 2.0 * m * ln_gamma_slope, 1e-6 * (1.0 + std::abs(lhs))) << "m = " << m;
  }
}

TEST(DaviesActivity, OsmoticCoefficientApproachesLimitingLaw) {
  // phi - 1 = -(A ln10 / 3) sqrt(I) for a 1:1 electrolyte at high dilution.
  const double m = 1e-8;
  const double expected = -kA * std::log(10.0) / 3.0 * std::sqrt(m);
  EXPECT_NEAR(DaviesActivity(kA, m).osmotic_coefficient(2.0 * m) - 1.0, expected, 1e-3 * std::abs(expected));
}

TEST(DaviesActivity, NeutralSolutesDiluteTheOsmoticDeficit) {
  const double ions_only = DaviesActivity(kA, 0.1).osmotic_coefficient(0.2);
  const double with_neutral = DaviesActivity(kA, 0.1).osmotic_coefficient(0.4);
  EXPECT_LT(ions_only, with_neutral);
  EXPECT_LT(with_neutral, 1.0);
}

}  // namespace
}  // namespace tarvox::electrolyte
