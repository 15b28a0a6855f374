#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <vector>

#include "phase_split.hpp"
#include "tarvox/thermo/cubic_eos.hpp"

namespace tarvox::thermo::detail {

// One phase of a split being converged: composition, amount (moles per mole of feed) and its ln phi.
struct WorkingPhase {
  std::vector<double> x;
  FugacityEvaluation fugacity;
  double beta = 0.0;
};

// Up to three phases in storage that keeps its capacity from flash to flash.
class WorkingPhases {
 public:
  std::size_t size() const { return count_; }
  WorkingPhase& operator[](std::size_t k) { return phases_[k]; }
  const WorkingPhase& operator[](std::size_t k) const { return phases_[k]; }
  std::span<WorkingPhase> all() { return {phases_.data(), count_}; }
  std::span<const WorkingPhase> all() const { return {phases_.data(), count_}; }

  // Appends a phase of composition x and amount beta with ln phi on its minimum-Gibbs root.
  void Add(const PengRobinsonAtTemperature& eos, double pressure, std::span<const double> x, double beta) {
    WorkingPhase& phase = phases_[count_++];
    phase.x.assign(x.begin(), x.end());
    phase.beta = beta;
    EvaluateLnPhi(eos, pressure, phase.x, RootChoice::kMinimumGibbs, phase.fugacity);
  }
  // The same for a composition whose ln phi is known already.
  void Add(std::span<const double> x, double beta, const FugacityEvaluation& fugacity) {
    WorkingPhase& phase = phases_[count_++];
    phase.x.assign(x.begin(), x.end());
    phase.beta = beta;
    phase.fugacity = fugacity;
  }
  void Clear() { count_ = 0; }
  // m phases of n components whose compositions and ln phi the caller fills in.
  void Resize(std::size_t m, std::size_t n) {
    count_ = m;
    for (std::size_t k = 0; k < m; ++k) phases_[k].x.resize(n);
  }
  // Removes phase k, keeping the order of the others.
  void Remove(std::size_t k) {
    for (std::size_t j = k; j + 1 < count_; ++j) std::swap(phases_[j], phases_[j + 1]);
    --count_;
  }
  void RemoveEmpty() {
    for (std::size_t k = count_; k-- > 0;) {
      if (phases_[k].beta <= 0.0) Remove(k);
    }
  }
  // The most abundant phase.
  std::size_t Reference() const {
    std::size_t ref = 0;
    for (std::size_t k = 1; k < count_; ++k) {
      if (phases_[k].beta > phases_[ref].beta) ref = k;
    }
    return ref;
  }

 private:
  std::array<WorkingPhase, kMaxPhases> phases_;
  std::size_t count_ = 0;
};

// max |ln f_ik - ln f_i,ref| over the present phases and the components of the feed.
double FugacityResidual(std::span<const double> z, const WorkingPhases& phases);

}  // namespace tarvox::thermo::detail
