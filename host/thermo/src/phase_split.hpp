#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

namespace tarvox::thermo::detail {

inline constexpr std::size_t kMaxPhases = 3;

// Phase amounts for fixed fugacity coefficients, by minimising Michelsen's convex function
// Q(beta) = sum_k beta_k - sum_i z_i ln(sum_k beta_k / phi_ik) over beta >= 0 (Michelsen 1994).
// With two phases this is the Rachford-Rice problem; it handles any number of phases and lets a
// phase vanish instead of producing negative amounts.
//
// Scratch storage of SolvePhaseSplit, reused across calls so that the split allocates nothing once
// it has grown to the problem's size.
struct PhaseSplitWorkspace {
  std::vector<double> theta;  // phi_i,min / phi_ik, row-major by phase
};

// ln_phi[k] holds ln phi_i of phase k (m = ln_phi.size() phases). beta is a warm start on entry
// (entries >= 0, not all zero) and the minimiser on exit. compositions[k] receives
// z_i / (phi_ik E_i), normalised; for a phase with beta = 0 that is the composition of an incipient
// phase. Returns false when the Newton iteration did not converge.
bool SolvePhaseSplit(std::span<const double> z, std::span<const std::span<const double>> ln_phi,
                     std::span<double> beta, std::span<const std::span<double>> compositions,
                     PhaseSplitWorkspace& work);

// The same split for two phases as the Rachford-Rice problem in K_i = phi_0i / phi_1i, given as
// ln_k (entries of components absent from the feed are ignored): safeguarded Newton on the vapour
// fraction within its bracket, with no logarithm per step. The minimiser of Q is beta_1 = 0 when
// sum z_i K_i <= 1 and beta_0 = 0 when sum z_i / K_i <= 1; otherwise beta_0 + beta_1 = 1 and
// sum z_i (K_i - 1) / (1 + beta_1 (K_i - 1)) = 0. beta[1] on entry is the start. x0 and x1 receive the
// normalised compositions; their sums before normalisation go to `sums` (x_1i / x_0i is then
// K_i sums[0] / sums[1]). Returns false, leaving everything untouched, when some |ln K_i| is too large
// for K_i to be formed; SolvePhaseSplit handles that case.
bool SolveTwoPhaseSplit(std::span<const double> z, std::span<const double> ln_k, std::span<double, 2> beta,
                        std::span<double> x0, std::span<double> x1, std::span<double, 2> sums,
                        std::vector<double>& k_values);

}  // namespace tarvox::thermo::detail
