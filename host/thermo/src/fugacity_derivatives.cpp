#include "tarvox/thermo/fugacity_derivatives.hpp"

#include <cmath>
#include <limits>
#include <numbers>

#include "tarvox/thermo/constants.hpp"

namespace tarvox::thermo {
namespace {

constexpr double kSqrt2 = std::numbers::sqrt2;
constexpr double kDelta1 = 1.0 + kSqrt2;
constexpr double kDelta2 = 1.0 - kSqrt2;

// The compressibility factor and the logarithmic term as functions of A and B: the cubic
// F(Z, A, B) = 0 gives dZ = -(F_A dA + F_B dB) / F_Z. On a double root (F_Z = 0, the phase's
// stability limit) Z has no derivative: every derivative is then NaN, which the Newton solvers
// reject as a failed step, rather than the result of a division by zero.
struct RootSensitivity {
  double z, big_a, big_b;
  double minus_inverse_f_z, f_a, f_b;
  double g1, g2;  // 1/(Z + delta1 B), 1/(Z + delta2 B)

  RootSensitivity(double z_eos, double a, double b)
      : z(z_eos),
        big_a(a),
        big_b(b),
        minus_inverse_f_z(MinusInverse(3.0 * z * z - 2.0 * (1.0 - b) * z + a - 3.0 * b * b - 2.0 * b)),
        f_a(z - b),
        f_b(z * z - (6.0 * b + 2.0) * z - a + 2.0 * b + 3.0 * b * b),
        g1(1.0 / (z + kDelta1 * b)),
        g2(1.0 / (z + kDelta2 * b)) {}

  static double MinusInverse(double f_z) {
    return f_z != 0.0 ? -1.0 / f_z : std::numeric_limits<double>::quiet_NaN();
  }
  double DZ(double d_a, double d_b) const { return (f_a * d_a + f_b * d_b) * minus_inverse_f_z; }
  double DLogTerm(double d_z, double d_b) const {
    return (d_z + kDelta1 * d_b) * g1 - (d_z + kDelta2 * d_b) * g2;
  }
};

// N d ln phi_i / d n_j = beta_i by_beta_j + e_i by_e_j + u_i by_u_j + common_j + g_i (1 - k_ij) s_j, with
// the factors of column j and of row i below and s_j = sqrt(a_j).
struct Column {
  const double *by_beta, *by_e, *by_u, *common, *sqrt_a;
};
struct Row {
  double beta, e, u, g;
  const double* kij;
};

void FillRow(const Column& column, const Row& row, std::size_t n, double* __restrict out) {
  const double* __restrict by_beta = column.by_beta;
  const double* __restrict by_e = column.by_e;
  const double* __restrict by_u = column.by_u;
  const double* __restrict common = column.common;
  const double* __restrict sqrt_a = column.sqrt_a;
  const double* __restrict kij = row.kij;
  for (std::size_t j = 0; j < n; ++j) {
    out[j] = row.beta * by_beta[j] + row.e * by_e[j] + row.u * by_u[j] + common[j] +
             row.g * (1.0 - kij[j]) * sqrt_a[j];
  }
}

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
  const double q_log_term = q * log_term;
  const double inverse_z_minus_b = 1.0 / (z - big_b);
  const double inverse_a = 1.0 / a, inverse_b = 1.0 / b;
  const auto& psi = at.mix.a_partial;
  out.d_pressure.resize(n);
  out.d_moles.resize(n * n);
  out.per_component.resize(8 * n);
  double* const beta = out.per_component.data();  // b_i / b
  double* const e = beta + n;                     // 2 psi_i / a - beta_i
  double* const u = e + n;                        // psi_i / a
  // The column factors of FillRow; its g_i is -2 Q L sqrt(a_i) / a.
  double* const by_beta = u + n;
  double* const by_e = by_beta + n;
  double* const by_u = by_e + n;
  double* const common = by_u + n;
  double* const sqrt_a = common + n;

  const double dz_dp = root.DZ(big_a / pressure, big_b / pressure);
  const double dl_dp = root.DLogTerm(dz_dp, big_b / pressure);
  const double d_pressure_common = -(dz_dp - big_b / pressure) * inverse_z_minus_b;
  const double inverse_rt = 1.0 / rt;
  for (std::size_t i = 0; i < n; ++i) {
    beta[i] = eos.b(i) * inverse_b;
    sqrt_a[i] = eos.sqrt_a(i);
    u[i] = psi[i] * inverse_a;
    e[i] = 2.0 * u[i] - beta[i];
    out.d_pressure[i] = beta[i] * dz_dp + d_pressure_common - q * e[i] * dl_dp - eos.c(i) * inverse_rt;
  }

  // N d/dn_j: db = b_j - b, da = 2 (psi_j - a), d psi_i = a_ij - psi_i.
  for (std::size_t j = 0; j < n; ++j) {
    const double d_big_a = big_a * (2.0 * u[j] - 2.0);
    const double d_big_b = big_b * (beta[j] - 1.0);
    const double dz = root.DZ(d_big_a, d_big_b);
    const double dl = root.DLogTerm(dz, d_big_b);
    const double dq = q * (2.0 * u[j] - beta[j] - 1.0);
    by_beta[j] = dz - (beta[j] - 1.0) * (z - 1.0 + q_log_term);
    by_e[j] = -(dq * log_term + q * dl);
    by_u[j] = -2.0 * q_log_term * (1.0 - 2.0 * u[j]);
    common[j] = -(dz - d_big_b) * inverse_z_minus_b;
  }
  const double by_a = -2.0 * q_log_term * inverse_a;
  for (std::size_t i = 0; i < n; ++i) {
    FillRow(Column{by_beta, by_e, by_u, common, sqrt_a},
            Row{beta[i], e[i], u[i], by_a * sqrt_a[i], eos.mixture().kij_row(i).data()}, n,
            out.d_moles.data() + i * n);
  }
}

}  // namespace tarvox::thermo
