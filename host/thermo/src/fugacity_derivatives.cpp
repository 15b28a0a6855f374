#include "tarvox/thermo/fugacity_derivatives.hpp"

#include <cmath>
#include <numbers>

#include "tarvox/thermo/constants.hpp"

namespace tarvox::thermo {
namespace {

constexpr double kSqrt2 = std::numbers::sqrt2;
constexpr double kDelta1 = 1.0 + kSqrt2;
constexpr double kDelta2 = 1.0 - kSqrt2;

// The compressibility factor and the logarithmic term as functions of A and B: the cubic
// F(Z, A, B) = 0 gives dZ = -(F_A dA + F_B dB) / F_Z.
struct RootSensitivity {
  double z, big_a, big_b;
  double f_z, f_a, f_b;
  double g1, g2;  // 1/(Z + delta1 B), 1/(Z + delta2 B)

  RootSensitivity(double z_eos, double a, double b)
      : z(z_eos),
        big_a(a),
        big_b(b),
        f_z(3.0 * z * z - 2.0 * (1.0 - b) * z + a - 3.0 * b * b - 2.0 * b),
        f_a(z - b),
        f_b(z * z - (6.0 * b + 2.0) * z - a + 2.0 * b + 3.0 * b * b),
        g1(1.0 / (z + kDelta1 * b)),
        g2(1.0 / (z + kDelta2 * b)) {}

  double DZ(double d_a, double d_b) const { return -(f_a * d_a + f_b * d_b) / f_z; }
  double DLogTerm(double d_z, double d_b) const {
    return (d_z + kDelta1 * d_b) * g1 - (d_z + kDelta2 * d_b) * g2;
  }
};

}  // namespace

// ln phi_i = beta_i (Z - 1) - ln(Z - B) - Q e_i L - c_i P/(R T), with beta_i = b_i/b,
// e_i = 2 psi_i/a - beta_i, Q = A/(2 sqrt2 B) and L the Peng-Robinson logarithmic term.
void EvaluateLnPhiDerivatives(const PengRobinsonAtTemperature& eos, double pressure,
                              const FugacityEvaluation& at, LnPhiDerivatives& out) {
  const std::size_t n = eos.size();
  const double rt = kGasConstant * eos.temperature();
  const double a = at.mix.a, b = at.mix.b;
  const double big_a = a * pressure / (rt * rt), big_b = b * pressure / rt;
  const RootSensitivity root(at.z_eos, big_a, big_b);
  const double z = at.z_eos;
  const double log_term = PengRobinsonLogTerm(z, big_b);
  const double q = big_a / (2.0 * kSqrt2 * big_b);
  const double z_minus_b = z - big_b;
  const auto& psi = at.mix.a_partial;
  out.d_pressure.resize(n);
  out.d_moles.resize(n * n);

  const double dz_dp = root.DZ(big_a / pressure, big_b / pressure);
  const double dl_dp = root.DLogTerm(dz_dp, big_b / pressure);
  for (std::size_t i = 0; i < n; ++i) {
    const double beta_i = eos.b(i) / b;
    const double e_i = 2.0 * psi[i] / a - beta_i;
    out.d_pressure[i] =
        beta_i * dz_dp - (dz_dp - big_b / pressure) / z_minus_b - q * e_i * dl_dp - eos.c(i) / rt;
  }

  // N d/dn_j: db = b_j - b, da = 2 (psi_j - a), d psi_i = a_ij - psi_i.
  for (std::size_t j = 0; j < n; ++j) {
    const double beta_j = eos.b(j) / b;
    const double d_big_a = big_a * (2.0 * psi[j] / a - 2.0);
    const double d_big_b = big_b * (beta_j - 1.0);
    const double dz = root.DZ(d_big_a, d_big_b);
    const double dl = root.DLogTerm(dz, d_big_b);
    const double dq = q * (2.0 * psi[j] / a - beta_j - 1.0);
    const double common = -(dz - d_big_b) / z_minus_b;
    for (std::size_t i = 0; i < n; ++i) {
      const double beta_i = eos.b(i) / b;
      const double e_i = 2.0 * psi[i] / a - beta_i;
      const double d_beta_i = -beta_i * (beta_j - 1.0);
      const double d_e_i =
          2.0 * eos.a(i, j) / a + 2.0 * psi[i] / a - 4.0 * psi[i] * psi[j] / (a * a) - d_beta_i;
      out.d_moles[i * n + j] = d_beta_i * (z - 1.0) + beta_i * dz + common - dq * e_i * log_term -
                               q * d_e_i * log_term - q * e_i * dl;
    }
  }
}

}  // namespace tarvox::thermo
