#include "tarvox/thermo/cubic_eos.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "tarvox/thermo/constants.hpp"

namespace tarvox::thermo {
namespace {

// Exact Peng-Robinson constants (roots of the critical-point conditions), not the rounded 0.45724.
constexpr double kOmegaA = 0.457235528921382;
constexpr double kOmegaB = 0.0777960739038885;
constexpr double kSqrt2 = std::numbers::sqrt2;
constexpr double kDelta1 = 1.0 + kSqrt2;
constexpr double kDelta2 = 1.0 - kSqrt2;

double CubicValue(double a2, double a1, double a0, double z) { return ((z + a2) * z + a1) * z + a0; }

// Newton polish of a root found in closed form; the closed form loses digits when roots are close.
double Polish(double a2, double a1, double a0, double z) {
  for (int k = 0; k < 3; ++k) {
    const double slope = (3.0 * z + 2.0 * a2) * z + a1;
    if (slope == 0.0) break;
    const double step = CubicValue(a2, a1, a0, z) / slope;
    z -= step;
    if (std::abs(step) <= 1e-16 * std::abs(z)) break;
  }
  return z;
}

// Residual Gibbs energy / RT of the untranslated equation (the shift adds the same to every root).
double ResidualGibbs(double z, double a, double b) {
  return z - 1.0 - std::log(z - b) - a / (2.0 * kSqrt2 * b) * PengRobinsonLogTerm(z, b);
}

}  // namespace

PengRobinsonAtTemperature::PengRobinsonAtTemperature(const Mixture& mixture, double temperature)
    : mixture_(&mixture), temperature_(temperature) {
  if (!(temperature > 0.0) || !std::isfinite(temperature))
    throw std::invalid_argument("temperature must be > 0");
  const std::size_t n = mixture.size();
  b_.resize(n);
  c_.resize(n);
  sqrt_a_.resize(n);
  d_sqrt_a_dt_.resize(n);
  d2_sqrt_a_dt2_.resize(n);
  row_start_.assign(n + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    const auto& comp = mixture.component(i);
    const double tc = comp.critical_temperature;
    const double pc = comp.critical_pressure;
    const double sqrt_ac = std::sqrt(kOmegaA) * kGasConstant * tc / std::sqrt(pc);
    const double kappa = mixture.kappa(i);
    const double sqrt_tr = std::sqrt(temperature / tc);
    sqrt_a_[i] = sqrt_ac * (1.0 + kappa * (1.0 - sqrt_tr));
    d_sqrt_a_dt_[i] = -sqrt_ac * kappa / (2.0 * std::sqrt(temperature * tc));
    d2_sqrt_a_dt2_[i] = sqrt_ac * kappa / (4.0 * std::sqrt(tc) * temperature * std::sqrt(temperature));
    b_[i] = kOmegaB * kGasConstant * tc / pc;
    c_[i] = comp.volume_shift;
    row_start_[i] = interactions_.size();
    for (std::size_t j = 0; j < n; ++j) {
      if (mixture.kij(i, j) != 0.0) interactions_.push_back({j, mixture.kij(i, j)});
    }
  }
  row_start_[n] = interactions_.size();
}

// a_ij = (1 - k_ij) s_i s_j with s = sqrt(a_i), so sum_j x_j a_ij = s_i (sum_j x_j s_j - sum over the
// non-zero k_ij of k_ij x_j s_j), and likewise for the temperature derivatives.
void PengRobinsonAtTemperature::Mix(std::span<const double> x, bool with_temperature_derivatives,
                                    MixingParameters& out) const {
  const std::size_t n = size();
  out.a_partial.resize(n);
  out.a = out.da_dt = out.d2a_dt2 = out.b = out.c = 0.0;
  const bool t = with_temperature_derivatives;
  double s0 = 0.0, s1 = 0.0, s2 = 0.0;
  for (std::size_t j = 0; j < n; ++j) s0 += x[j] * sqrt_a_[j];
  if (t) {
    for (std::size_t j = 0; j < n; ++j) {
      s1 += x[j] * d_sqrt_a_dt_[j];
      s2 += x[j] * d2_sqrt_a_dt2_[j];
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    double r0 = s0, r1 = s1, r2 = s2;
    for (std::size_t k = row_start_[i]; k < row_start_[i + 1]; ++k) {
      const auto [j, kij] = interactions_[k];
      r0 -= kij * x[j] * sqrt_a_[j];
      if (t) {
        r1 -= kij * x[j] * d_sqrt_a_dt_[j];
        r2 -= kij * x[j] * d2_sqrt_a_dt2_[j];
      }
    }
    const double psi = sqrt_a_[i] * r0;
    out.a_partial[i] = psi;
    out.a += x[i] * psi;
    out.b += x[i] * b_[i];
    out.c += x[i] * c_[i];
    if (t) {
      out.da_dt += x[i] * (d_sqrt_a_dt_[i] * r0 + sqrt_a_[i] * r1);
      out.d2a_dt2 += x[i] * (d2_sqrt_a_dt2_[i] * r0 + 2.0 * d_sqrt_a_dt_[i] * r1 + sqrt_a_[i] * r2);
    }
  }
}

double PengRobinsonLogTerm(double z, double b) { return std::log((z + kDelta1 * b) / (z + kDelta2 * b)); }

double SolveCompressibility(double a, double b, RootChoice choice) {
  const double a2 = -(1.0 - b);
  const double a1 = a - 3.0 * b * b - 2.0 * b;
  const double a0 = -(a * b - b * b - b * b * b);
  const double q = (a2 * a2 - 3.0 * a1) / 9.0;
  const double r = (2.0 * a2 * a2 * a2 - 9.0 * a2 * a1 + 27.0 * a0) / 54.0;
  double roots[3];
  int count = 0;
  if (r * r < q * q * q) {
    const double theta = std::acos(std::clamp(r / std::sqrt(q * q * q), -1.0, 1.0));
    const double m = -2.0 * std::sqrt(q);
    for (int k = 0; k < 3; ++k) {
      roots[count++] = m * std::cos((theta + 2.0 * std::numbers::pi * (k - 1)) / 3.0) - a2 / 3.0;
    }
  } else {
    const double big = -std::copysign(std::cbrt(std::abs(r) + std::sqrt(r * r - q * q * q)), r);
    roots[count++] = big + (big != 0.0 ? q / big : 0.0) - a2 / 3.0;
  }
  double smallest = 0.0, largest = 0.0;
  bool found = false;
  for (int k = 0; k < count; ++k) {
    const double z = Polish(a2, a1, a0, roots[k]);
    if (!(z > b)) continue;
    if (!found) {
      smallest = largest = z;
      found = true;
    } else {
      smallest = std::min(smallest, z);
      largest = std::max(largest, z);
    }
  }
  if (!found) {
    // Rounding can push a dense-liquid root onto B; the root exists, so step just above B and polish.
    smallest = largest = Polish(a2, a1, a0, b * (1.0 + 1e-12) + 1e-300);
    if (!(smallest > b)) smallest = largest = std::nextafter(b, 2.0 * b + 1.0);
  }
  switch (choice) {
    case RootChoice::kLiquid:
      return smallest;
    case RootChoice::kVapour:
      return largest;
    case RootChoice::kMinimumGibbs:
      break;
  }
  if (smallest == largest) return smallest;
  return ResidualGibbs(smallest, a, b) < ResidualGibbs(largest, a, b) ? smallest : largest;
}

void EvaluateLnPhi(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                   RootChoice choice, FugacityEvaluation& out) {
  eos.Mix(x, false, out.mix);
  const double rt = kGasConstant * eos.temperature();
  const double big_a = out.mix.a * pressure / (rt * rt);
  const double big_b = out.mix.b * pressure / rt;
  const double z = SolveCompressibility(big_a, big_b, choice);
  out.z_eos = z;
  const double log_term = PengRobinsonLogTerm(z, big_b);
  const double ln_z_minus_b = std::log(z - big_b);
  const double factor = log_term / (2.0 * kSqrt2 * big_b);
  const std::size_t n = eos.size();
  out.ln_phi.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double b_ratio = eos.b(i) / out.mix.b;
    const double a_i = 2.0 * out.mix.a_partial[i] * pressure / (rt * rt);
    out.ln_phi[i] =
        b_ratio * (z - 1.0) - ln_z_minus_b - (a_i - big_a * b_ratio) * factor - eos.c(i) * pressure / rt;
  }
}

}  // namespace tarvox::thermo
