#include "davies_activity.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarvox::electrolyte {
namespace {

// s^3 sigma(s) / 3 = 1 + s - 1/(1+s) - 2 ln(1+s), the Debye-Hückel osmotic integral. Its closed form
// loses all digits to cancellation at small s, where the alternating series sum (-1)^(n+1) (n-2)/n s^n
// for n >= 3 converges fast.
double debye_huckel_osmotic_integral(double s) {
  if (s > 0.05) return 1.0 + s - 1.0 / (1.0 + s) - 2.0 * std::log1p(s);
  double sum = 0.0;
  double power = s * s * s;
  for (int n = 3; n <= 12; ++n) {
    sum += ((n % 2 == 1) ? 1.0 : -1.0) * (n - 2.0) / n * power;
    power *= s;
  }
  return sum;
}

}  // namespace

DaviesActivity::DaviesActivity(double debye_huckel_a, double ionic_strength)
    : a_(debye_huckel_a),
      effective_ionic_strength_(std::clamp(ionic_strength, 0.0, kDaviesIonicStrengthCap)) {}

double DaviesActivity::log10_gamma(int charge) const {
  const double root = std::sqrt(effective_ionic_strength_);
  return -a_ * charge * charge * (root / (1.0 + root) - 0.3 * effective_ionic_strength_);
}

double DaviesActivity::gamma(int charge) const { return std::pow(10.0, log10_gamma(charge)); }

double DaviesActivity::osmotic_coefficient(double total_solute_molality) const {
  // With ln gamma_i = z_i^2 g(I), Gibbs-Duhem along a path of constant relative composition gives
  // M (phi - 1) = 2 Int_0^I I' g'(I') dI'. For the Davies g this is
  // -2 A ln10 [s^3 sigma(s)/3 - 0.15 I^2], s = sqrt(I); g is constant beyond the cap, so the integral is too.
  if (total_solute_molality <= 0.0) return 1.0;
  const double i = effective_ionic_strength_;
  const double excess =
      -2.0 * a_ * std::numbers::ln10 * (debye_huckel_osmotic_integral(std::sqrt(i)) - 0.15 * i * i);
  return 1.0 + excess / total_solute_molality;
}

}  // namespace tarvox::electrolyte
