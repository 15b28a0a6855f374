#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "tarvox/thermo/mixture.hpp"

namespace tarvox::thermo {

// Which real root of the cubic to use when there are two physically meaningful ones.
enum class RootChoice {
  kLiquid,        // smallest volume
  kVapour,        // largest volume
  kMinimumGibbs,  // the root of lower molar Gibbs energy (the stable one)
};

// van der Waals one-fluid parameters of one composition at one temperature.
// a in kPa m6/kmol2, b and the Peneloux shift c in m3/kmol.
struct MixingParameters {
  double a = 0.0;
  double da_dt = 0.0;
  double d2a_dt2 = 0.0;
  double b = 0.0;
  double c = 0.0;
  std::vector<double> a_partial;  // sum_j x_j a_ij, needed by the fugacity coefficients
  std::vector<double> weighted;   // scratch of Mix: x_j sqrt(a_j) and x_j d sqrt(a_j)/dT
};

// Peng-Robinson parameters of a mixture at a fixed temperature. a_ij = sqrt(a_i a_j)(1 - k_ij) is
// kept as sqrt(a_i) and the k_ij, so that sum_j x_j a_ij = sqrt(a_i) (sum_j w_j - sum_j k_ij w_j) with
// w_j = x_j sqrt(a_j). The k_ij sum runs over the non-zero k_ij of each row when they are few (a
// characterised oil: k_ij only among its light components), and over the whole contiguous row,
// which the compiler vectorises, when they are a sizeable share (see UsesDenseKij).
// Keeps a pointer to the mixture, which must outlive it.
class PengRobinsonAtTemperature {
 public:
  PengRobinsonAtTemperature(const Mixture& mixture, double temperature);

  const Mixture& mixture() const { return *mixture_; }
  double temperature() const { return temperature_; }
  std::size_t size() const { return b_.size(); }
  double b(std::size_t i) const { return b_[i]; }
  double c(std::size_t i) const { return c_[i]; }
  double sqrt_a(std::size_t i) const { return sqrt_a_[i]; }
  double a(std::size_t i, std::size_t j) const {
    return (1.0 - mixture_->kij(i, j)) * sqrt_a_[i] * sqrt_a_[j];
  }

  // x must have size() entries summing to one. Temperature derivatives are skipped when not asked
  // for, which halves the cost inside flash iterations. Allocates nothing once `out` has its size.
  void Mix(std::span<const double> x, bool with_temperature_derivatives, MixingParameters& out) const;

  // True when the k_ij sums run over whole rows rather than over the list of non-zero k_ij.
  bool UsesDenseKij() const { return dense_kij_; }

 private:
  const Mixture* mixture_;
  double temperature_;
  std::vector<double> b_, c_;
  std::vector<double> sqrt_a_, d_sqrt_a_dt_, d2_sqrt_a_dt2_;
  bool dense_kij_ = false;
};

// Compressibility factor of the untranslated equation for A = a P/(R T)^2 and B = b P/(R T).
// Always returns a root above B (one exists for every P > 0).
double SolveCompressibility(double a_dimensionless, double b_dimensionless, RootChoice choice);

// ln((Z + (1 + sqrt2) B) / (Z + (1 - sqrt2) B)), the logarithm common to all Peng-Robinson departures.
double PengRobinsonLogTerm(double z, double b_dimensionless);

// Fugacity coefficients of one phase, reusable across calls to avoid allocation.
struct FugacityEvaluation {
  MixingParameters mix;
  double z_eos = 0.0;          // compressibility of the untranslated equation
  std::vector<double> ln_phi;  // volume-translated (shifted by -c_i P / (R T))
};

// Evaluates ln phi_i at pressure (kPa) for mole fractions x (summing to one).
void EvaluateLnPhi(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                   RootChoice choice, FugacityEvaluation& out);
// Same, with out.mix also holding the temperature derivatives of a, for the caloric properties.
void EvaluateLnPhi(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                   RootChoice choice, bool with_temperature_derivatives, FugacityEvaluation& out);

}  // namespace tarvox::thermo
