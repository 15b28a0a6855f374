// CPropertyCalculator: the module's single property calculator. The evaluation cycle binds a
// stream's fluid into it; its evaluators (one per correlation class, defined with their
// families in correlations/) read the stream through it.
#pragma once

#include <cstdint>
#include <optional>

#include "calculator/fluid_state.h"
#include "calculator/host_fluid.h"
#include "common/com_ptr.h"
#include "common/task_memory.h"

namespace tarvox {

class CPropertyCalculator {
 public:
  CPropertyCalculator();
  CPropertyCalculator(const CPropertyCalculator&) = delete;
  CPropertyCalculator& operator=(const CPropertyCalculator&) = delete;
  virtual ~CPropertyCalculator();

  // Binding, done by the evaluation cycle.
  void BindFluid(IHostFluid* fluid);
  void ReleaseFluid();
  void BindFluid2(IHostFluid2* fluid2);
  void ReleaseFluid2();
  IHostFluid* Fluid() const { return fluid_.Get(); }
  IHostFluid2* Fluid2() const { return fluid2_.Get(); }
  // Whether evaluations reuse the loaded state; set only by a StateReuse.
  bool StateLoaded() const { return state_loaded_ != 0; }

  // 1 when State, MolecularWeights and StreamMolarFlow hold the bound stream's data.
  int LoadFluidState();
  void ResetCache();
  // The host's named array: borrowed (copy 0, valid until the next call) or a task-allocator
  // copy that the caller owns (copy non-zero). Null when unavailable, and also when the host
  // returned fewer than `min_count` values.
  double* GetNamedArray(const char* name, int copy, int min_count = 1);
  FluidState* MakeFlashRecord(FluidState* record, const FluidState& source, int phase);
  static int PhaseSplitChanged(const FluidState& flashed, const FluidState& loaded, int phase);

  // Conveniences over GetNamedArray for the three shapes of named array.
  const double* ComponentArray(const char* name) { return GetNamedArray(name, 0, State.ComponentCount); }
  TaskArray<double> ComponentArrayCopy(const char* name) {
    return TaskArray<double>(GetNamedArray(name, 1, State.ComponentCount));
  }
  const double* PhaseArray(const char* name) { return GetNamedArray(name, 0, PhaseSlotCount); }
  // The first value of a named array, EMPTY_VALUE when there is none.
  double FirstValue(const char* name);
  // The composition array of a phase; null when the host gave none.
  const double* Composition(int phase) const { return State.Composition[phase]; }
  // Runs a host flash on a working record; afterwards no value in it is non-finite.
  static HRESULT Flash(IHostFlash* flash, FluidState& record);
  // The host's IHostFlash of the bound fluid, owned by the caller; null when not offered.
  ComPtr<IHostFlash> QueryFlash() const;

  // Evaluators. Each takes a PhaseIndex (0 to 4) unless it describes the stream as a whole, and
  // returns EMPTY_VALUE when it has no value.
  double GetActVolumeFlow(int phase);
  double GetActGasFlow(int phase);
  double GetActLiqFlow(int phase);
  double GetStdGasFlow(int phase);
  double GetMixedPhaseStdLiqVolFlow(int phase);
  double GetActVolumePhaseFraction(int phase);

  double GetMolecularWeight(int phase);
  double GetMolarDensity(int phase);
  double GetMassDensity(int phase);
  double GetMolarVolume(int phase);
  double GetAvgLiqDensity(int phase);
  double GetStdIdealLiqMassDensity(int phase);
  double GetZFactor(int phase);
  double GetMassPhaseFraction(int phase);
  double GetVolumePhaseFraction(int phase);
  double GetMassEnthalpy(int phase);
  double GetMassEntropy(int phase);

  double GetHeatCapacity(int phase);
  double GetMassHeatCapacity(int phase);
  double GetSpecificHeat(int phase);
  double GetRigorous_Cp_Cv(int phase);
  double GetRigorous_Cv(int phase);
  double GetRigorous_MassCv(int phase);
  double GetSemiIdeal_Cp_Cv(int phase);
  double GetSemiIdeal_Cv(int phase);
  double GetSemiIdeal_MassCv(int phase);
  double GetEntMeth_Cp_Cv(int phase);
  double GetEntMeth_Cv(int phase);
  double GetEntMeth_MassCv(int phase);

  double GetLowerHeatingValue(int phase);
  double GetHigherHeatingValue(int phase);
  double GetMassLowerHeatingValue(int phase);
  double GetMassHigherHeatingValue(int phase);
  double GetFlowCost(int phase, double fuel_oil_cv);

  double GetTVP_100F(int phase);
  double GetRVP_100F(int phase, double remove_nc_mol_percent);
  double GetRVPBisection(int phase, double remove_nc_mol_percent);
  void RemoveNonCondensables(const double* ids, const double* cas, FluidState& record,
                             double remove_nc_mol_percent);
  void RemoveWater(const double* ids, const double* cas, FluidState& record);

  double GetWatsonK(int phase);
  double GetViscosityIdx(int phase, double a, double b, double c);

  double GetPH(int phase);
  double GetPOH(int phase);
  double GetOsmoticCoefficient(int phase);
  double GetIONSX(int phase);
  double GetSOLINDEX(int phase);

  double GetCO2Loading(int phase, int basis);
  double GetCO2AppMLCon(int phase);
  double GetCO2AppWTCon(int phase);
  double GetPartialPressureCO2();
  double GetPartialPressureH2S();

  double GetSolutionGOR();
  double GetSolutionWOR();
  double GetOilFVF();
  // Whether the phase of a working record is water; empty when a value it needs is no number.
  std::optional<bool> IsAqueousPhase(const FluidState& record, int phase);

  double GetExergy(int phase, double ref_temperature, double ref_pressure);

  // The bound stream as loaded, shared by the evaluators.
  FluidState State{};
  TaskArray<double> MolecularWeights;
  double* NamedArrayBuffer = nullptr;  // the host's last named array, replaced by each fetch
  int NamedArrayCount = 0;
  double CvCache[PhaseSlotCount];
  double StreamMolarFlow = EMPTY_VALUE;
  // Whether the last load from the host succeeded; a reused state is only as good as that load.
  bool LastLoadSucceeded = false;

 private:
  friend class StateReuse;
  ComPtr<IHostFluid> fluid_;
  ComPtr<IHostFluid2> fluid2_;
  int state_loaded_ = 0;
};

// A molar quantity per unit mass: no value when the quantity is empty or the molecular weight
// is not positive.
inline double PerMass(double molar, double weight) {
  return molar == EMPTY_VALUE || weight <= 0.0 ? EMPTY_VALUE : molar / weight;
}

// The module's single instance; never null while the module is loaded.
CPropertyCalculator& GetPropertyCalculator();

// Sets StateLoaded for its lifetime and clears it at the end: to 0, not to the value it had,
// so that the next evaluation reloads the state. The frame holds one around the phase
// evaluations, and evaluators that call other evaluators hold one around those calls.
class StateReuse {
 public:
  explicit StateReuse(CPropertyCalculator& calculator) : calculator_(calculator) {
    calculator_.state_loaded_ = 1;
  }
  StateReuse(const StateReuse&) = delete;
  StateReuse& operator=(const StateReuse&) = delete;
  ~StateReuse() { calculator_.state_loaded_ = 0; }

 private:
  CPropertyCalculator& calculator_;
};

// Runs `evaluate` under a StateReuse: the nesting rule for evaluators that call other evaluators.
template <typename F>
auto Nested(CPropertyCalculator& calculator, F&& evaluate) {
  const StateReuse reuse(calculator);
  return evaluate();
}

// Owns the five composition arrays of a flash working record and frees them on every path.
class FlashRecord {
 public:
  FlashRecord() = default;
  FlashRecord(const FlashRecord&) = delete;
  FlashRecord& operator=(const FlashRecord&) = delete;
  ~FlashRecord();
  FluidState& Get() { return record_; }
  FluidState* operator->() { return &record_; }

 private:
  FluidState record_{};
};

}  // namespace tarvox
