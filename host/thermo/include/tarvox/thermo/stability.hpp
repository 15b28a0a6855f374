#pragma once

#include <span>
#include <vector>

#include "tarvox/thermo/cubic_eos.hpp"

namespace tarvox::thermo {

// Outcome of Michelsen's tangent-plane-distance test of a phase at fixed T and P.
struct StabilityResult {
  bool stable = true;
  double min_tangent_plane_distance = 0.0;  // lowest modified TPD met (0 if no trial went below 0)
  std::vector<double> trial_composition;    // mole fractions of that trial when unstable
  FugacityEvaluation trial_fugacity;        // ln phi of that trial (minimum-Gibbs root) when unstable
};

// Wilson's K-value estimate, (Pc/P) exp(5.373 (1 + w)(1 - Tc/T)).
std::vector<double> WilsonKValues(const Mixture& mixture, double temperature, double pressure);

// Tests the phase of composition x (ln phi on its minimum-Gibbs root) for instability. Trial phases,
// in this order: Wilson vapour-like and liquid-like, an almost pure water phase when water is a
// component, and the cube-root variants of the Wilson trials. Each trial is iterated by successive
// substitution with dominant-eigenvalue acceleration to its stationary point, or until its distance is
// clearly negative (-1e-2: the split converges the rest) or it collapses onto the tested phase; the
// first trial whose tangent-plane distance lies below the threshold ends the test and is returned.
StabilityResult TestStability(const PengRobinsonAtTemperature& eos, double pressure,
                              std::span<const double> x, std::span<const double> ln_phi,
                              double threshold = -1e-10);

// Scratch storage of the test, reused across calls so that a test allocates nothing once it has grown
// to the mixture's size. The arrays are views of one block (a fresh workspace allocates it once), so a
// workspace moves but is not copied.
struct StabilityWorkspace {
  StabilityWorkspace() = default;
  StabilityWorkspace(const StabilityWorkspace&) = delete;
  StabilityWorkspace& operator=(const StabilityWorkspace&) = delete;
  StabilityWorkspace(StabilityWorkspace&&) noexcept = default;
  StabilityWorkspace& operator=(StabilityWorkspace&&) noexcept = default;

  std::vector<double> storage;
  // n values each; ln_known n per known phase.
  std::span<double> d, ln_k, ln_x, ln_w, w, amounts, previous, delta, previous_delta, ln_known;
  FugacityEvaluation fugacity;
};

// The same test writing into `result` (whose storage is reused). `known_phases` are compositions in
// equilibrium with x (the other phases of a converged split): stationary points at zero distance, so
// a trial that collapses onto one of them is abandoned as one collapsing onto x is.
void TestStability(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x,
                   std::span<const double> ln_phi, double threshold, StabilityWorkspace& work,
                   StabilityResult& result, std::span<const std::span<const double>> known_phases = {});

}  // namespace tarvox::thermo
