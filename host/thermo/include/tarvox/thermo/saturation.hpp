#pragma once

#include <span>
#include <vector>

#include "tarvox/thermo/mixture.hpp"

namespace tarvox::thermo {

enum class SaturationStatus {
  kConverged,
  kNoSolution,    // no two-phase state with this vapour fraction exists at T (e.g. T above the
                  // cricondentherm, a supercritical pure component)
  kNotConverged,  // a bracket was found but Newton did not converge inside it
};

struct SaturationResult {
  SaturationStatus status = SaturationStatus::kNotConverged;
  double pressure = 0.0;  // kPa, valid only when converged
  std::vector<double> liquid_composition;
  std::vector<double> vapour_composition;
  int iterations = 0;
  int flashes = 0;  // TP flashes of the bracket search

  bool converged() const { return status == SaturationStatus::kConverged; }
};

// Pressure at which a feed at temperature T (K) splits into a liquid (smallest-volume root) and a
// vapour (largest-volume root) with vapour mole fraction beta, 0 <= beta <= 1 (0: bubble point,
// 1: dew point). Newton on (ln K, ln P) with the analytic Jacobian to 1e-12, started by successive
// substitution from Wilson K-values; when that falls onto the trivial solution (typical near critical
// points), TP flashes bracket the state from the substitution's last pressure and Newton starts from
// the bracket's two-phase flash. Only vapour-liquid: an aqueous third liquid is not part of the
// equations. Throws std::invalid_argument for bad arguments.
SaturationResult PressureAtVapourFraction(const Mixture& mixture, double temperature, double beta,
                                          std::span<const double> feed);

SaturationResult BubblePointPressure(const Mixture& mixture, double temperature,
                                     std::span<const double> feed);

}  // namespace tarvox::thermo
