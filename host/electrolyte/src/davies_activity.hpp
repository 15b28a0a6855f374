#pragma once

namespace tarvox::electrolyte {

// Davies equation: log10 gamma = -A z^2 (sqrt(I)/(1 + sqrt(I)) - 0.3 I); neutral solutes have gamma = 1.
// Beyond kDaviesIonicStrengthCap the linear term would drive gamma above one without bound, so the
// coefficients are held at their value at the cap (the model is only semi-quantitative there anyway).
inline constexpr double kDaviesIonicStrengthCap = 0.5;

class DaviesActivity {
 public:
  DaviesActivity(double debye_huckel_a, double ionic_strength);

  double log10_gamma(int charge) const;
  double gamma(int charge) const;

  // Osmotic coefficient of the solvent for a solution of total solute molality total_solute_molality
  // (ions and neutral solutes), consistent with the activity coefficients through the Gibbs-Duhem equation.
  double osmotic_coefficient(double total_solute_molality) const;

 private:
  double a_;
  double effective_ionic_strength_;
};

}  // namespace tarvox::electrolyte
