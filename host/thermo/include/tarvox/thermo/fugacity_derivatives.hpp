#pragma once

#include <span>
#include <vector>

#include "tarvox/thermo/cubic_eos.hpp"

namespace tarvox::thermo {

// Analytic derivatives of ln phi_i of one phase at fixed temperature, for second-order solvers.
struct LnPhiDerivatives {
  std::vector<double> d_pressure;  // d ln phi_i / dP at fixed composition, 1/kPa
  // Row-major n x n: N d ln phi_i / d n_j at fixed T and P, with N the phase's total moles.
  // Symmetric, and sum_i x_i (N d ln phi_i / d n_j) = 0 (Gibbs-Duhem).
  std::vector<double> d_moles;
  std::vector<double> per_component;  // scratch: the factors of each column of d_moles
};

// Derivatives at the state `at` that EvaluateLnPhi computed for the same eos and pressure (on the
// root it chose). Reuses the storage of `out`: allocates nothing once it has its size.
void EvaluateLnPhiDerivatives(const PengRobinsonAtTemperature& eos, double pressure,
                              const FugacityEvaluation& at, LnPhiDerivatives& out);

}  // namespace tarvox::thermo
