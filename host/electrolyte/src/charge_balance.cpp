#include "charge_balance.hpp"

#include <array>
#include <cmath>

#include "bisection.hpp"
#include "davies_activity.hpp"
#include "equilibrium_constants.hpp"

namespace tarvox::electrolyte {
namespace {

double constant(Reaction reaction, double temperature_K) {
  return std::pow(10.0, log10_equilibrium_constant(reaction, temperature_K));
}

// A base B with B + H+ = BH+ and, for primary and secondary amines, B + HCO3- = BCOO- + H2O.
struct Base {
  double total;
  double acid_dissociation;    // Ka of BH+
  double carbamate_formation;  // 1 / K of the carbamate reversion; 0 where none forms
};

struct Constants {
  double water, carbonic_first, carbonic_second, sulfide_first;
  Base ammonia, mea, dea, mdea;
};

Constants constants_at(const SoluteTotals& totals, double t) {
  return {
      .water = constant(Reaction::WaterIonisation, t),
      .carbonic_first = constant(Reaction::CarbonDioxideFirst, t),
      .carbonic_second = constant(Reaction::CarbonDioxideSecond, t),
      .sulfide_first = constant(Reaction::HydrogenSulfideFirst, t),
      .ammonia = {totals.ammonia, constant(Reaction::AmmoniumDissociation, t), 0.0},
      .mea = {totals.mea, constant(Reaction::MeaHDissociation, t),
              1.0 / constant(Reaction::MeaCarbamateReversion, t)},
      .dea = {totals.dea, constant(Reaction::DeaHDissociation, t),
              1.0 / constant(Reaction::DeaCarbamateReversion, t)},
      .mdea = {totals.mdea, constant(Reaction::MdeaHDissociation, t), 0.0},
  };
}

// Distribution of a base at given m(H+) and m(HCO3-). The activity coefficients cancel: BH+/H+ and
// BCOO-/HCO3- carry equal charges.
AmineSpecies distribute(const Base& base, double hydrogen, double bicarbonate) {
  const double protonation = hydrogen / base.acid_dissociation;
  const double carbamation = base.carbamate_formation * bicarbonate;
  const double free = base.total / (1.0 + protonation + carbamation);
  return {.free = free, .protonated = free * protonation, .carbamate = free * carbamation};
}

class ChargeBalance {
 public:
  ChargeBalance(const SoluteTotals& totals, const Constants& k, double gamma_1, double gamma_2)
      : totals_(totals), k_(k), gamma_1_(gamma_1), gamma_2_(gamma_2) {}

  Speciation species_at(double log10_hydrogen) const {
    Speciation s;
    s.hydrogen = std::pow(10.0, log10_hydrogen);
    const double h = s.hydrogen;
    const double g1_squared = gamma_1_ * gamma_1_;
    s.hydroxide = k_.water / (g1_squared * h);

    const double bisulfide_ratio = k_.sulfide_first / (g1_squared * h);
    s.hydrogen_sulfide = totals_.hydrogen_sulfide / (1.0 + bisulfide_ratio);
    s.bisulfide = s.hydrogen_sulfide * bisulfide_ratio;

    s.bicarbonate = bicarbonate_at(h);
    s.carbon_dioxide = s.bicarbonate * g1_squared * h / k_.carbonic_first;
    s.carbonate = s.bicarbonate * k_.carbonic_second / (gamma_2_ * h);
    s.ammonia = distribute(k_.ammonia, h, s.bicarbonate);
    s.mea = distribute(k_.mea, h, s.bicarbonate);
    s.dea = distribute(k_.dea, h, s.bicarbonate);
    s.mdea = distribute(k_.mdea, h, s.bicarbonate);
    return s;
  }

 private:
  // Carbon balance CO2 + HCO3- + CO3-2 + sum BCOO- = total, solved for m(HCO3-). The left side increases
  // with m(HCO3-), and dropping the saturation of the carbamate terms gives a lower bound for the root.
  double bicarbonate_at(double h) const {
    const double total = totals_.carbon_dioxide;
    if (total <= 0.0) return 0.0;
    const double per_bicarbonate =
        gamma_1_ * gamma_1_ * h / k_.carbonic_first + 1.0 + k_.carbonic_second / (gamma_2_ * h);
    const std::array bases{&k_.ammonia, &k_.mea, &k_.dea, &k_.mdea};
    double unsaturated_carbamate = 0.0;
    for (const Base* base : bases) {
      unsaturated_carbamate += base->carbamate_formation * base->total / (1.0 + h / base->acid_dissociation);
    }
    const double upper = total / per_bicarbonate;
    if (unsaturated_carbamate <= 0.0) return upper;
    const double lower = total / (per_bicarbonate + unsaturated_carbamate);

    const auto excess_carbon = [&](double log_bicarbonate) {
      const double bicarbonate = std::exp(log_bicarbonate);
      double carbon = bicarbonate * per_bicarbonate;
      for (const Base* base : bases) carbon += distribute(*base, h, bicarbonate).carbamate;
      return carbon - total;
    };
    // The bounds bracket the root exactly; only rounding can put it outside, and then at that bound.
    const double log_lower = std::log(lower);
    const double log_upper = std::log(upper);
    if (excess_carbon(log_lower) >= 0.0) return lower;
    if (excess_carbon(log_upper) <= 0.0) return upper;
    return std::exp(bisect_increasing(excess_carbon, log_lower, log_upper, 1e-13).value_or(log_upper));
  }

  const SoluteTotals& totals_;
  const Constants& k_;
  double gamma_1_;
  double gamma_2_;
};

// m(H+) between 1e-20 and 1e3 mol/kg covers every solution within kMaxSoluteMolality.
constexpr double kLowestLog10Hydrogen = -20.0;
constexpr double kHighestLog10Hydrogen = 3.0;
constexpr int kMaxIonicStrengthIterations = 200;

}  // namespace

double Speciation::ionic_strength_of_species() const {
  const double monovalent = hydrogen + hydroxide + bicarbonate + bisulfide + ammonia.protonated +
                            mea.protonated + dea.protonated + mdea.protonated + mea.carbamate + dea.carbamate;
  return 0.5 * (monovalent + 4.0 * carbonate);
}

double Speciation::total_solute_molality() const {
  double sum = hydrogen + hydroxide + carbon_dioxide + bicarbonate + carbonate + hydrogen_sulfide + bisulfide;
  for (const AmineSpecies* a : {&ammonia, &mea, &dea, &mdea}) sum += a->free + a->protonated + a->carbamate;
  return sum;
}

double Speciation::net_charge() const {
  const double positive = hydrogen + ammonia.protonated + mea.protonated + dea.protonated + mdea.protonated;
  const double negative =
      hydroxide + bicarbonate + 2.0 * carbonate + bisulfide + mea.carbamate + dea.carbamate;
  return positive - negative;
}

std::optional<Speciation> solve_speciation(const SoluteTotals& totals, double temperature_K) {
  if (!(temperature_K >= kMinTemperatureK && temperature_K <= kMaxTemperatureK)) return std::nullopt;
  const Constants k = constants_at(totals, temperature_K);
  const double a = debye_huckel_a(temperature_K);

  double ionic_strength = 0.0;
  for (int iteration = 0; iteration < kMaxIonicStrengthIterations; ++iteration) {
    const DaviesActivity activity(a, ionic_strength);
    const ChargeBalance balance(totals, k, activity.gamma(1), activity.gamma(2));
    const auto log10_hydrogen =
        bisect_increasing([&](double log10_h) { return balance.species_at(log10_h).net_charge(); },
                          kLowestLog10Hydrogen, kHighestLog10Hydrogen, 1e-12);
    if (!log10_hydrogen) return std::nullopt;

    Speciation species = balance.species_at(*log10_hydrogen);
    species.gamma_monovalent = activity.gamma(1);
    species.gamma_divalent = activity.gamma(2);
    species.ionic_strength = ionic_strength;
    const double updated = species.ionic_strength_of_species();
    if (std::abs(updated - ionic_strength) <= 1e-10 * updated) return species;
    ionic_strength = updated;
  }
  return std::nullopt;
}

}  // namespace tarvox::electrolyte
