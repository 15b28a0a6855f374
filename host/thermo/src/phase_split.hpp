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

}  // namespace tarvox::thermo::detail
