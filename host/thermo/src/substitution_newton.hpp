#pragma once

#include <span>

#include "working_phase.hpp"

namespace tarvox::thermo::detail {

// The last resort of a split that neither substitution nor the Newton step in mole numbers has
// converged (a phase about to vanish in a strongly non-ideal system): Newton on the fixed point of
// substitution, u - G(u) = 0 in u = ln K of phases 1..m-1 against phase 0, with a forward-difference
// Jacobian (at most 50 steps). Phases whose amount ends at zero are removed. Returns the number of
// steps and whether the residual fell below the tolerance.
struct SubstitutionNewtonOutcome {
  bool converged = false;
  int steps = 0;
};

SubstitutionNewtonOutcome ConvergeByFixedPointNewton(const PengRobinsonAtTemperature& eos, double pressure,
                                                     std::span<const double> z, WorkingPhases& phases,
                                                     double tolerance);

}  // namespace tarvox::thermo::detail
