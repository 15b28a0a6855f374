#pragma once

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
// ln_phi[k] holds ln phi_i of phase k. beta is a warm start on entry (entries >= 0, not all zero)
// and the minimiser on exit. compositions[k] receives z_i / (phi_ik E_i), normalised; for a phase
// with beta = 0 that is the composition of an incipient phase.
// Returns false when the Newton iteration did not converge.
bool SolvePhaseSplit(std::span<const double> z, const std::vector<std::vector<double>>& ln_phi,
                     std::vector<double>& beta, std::vector<std::vector<double>>& compositions);

}  // namespace tarvox::thermo::detail
