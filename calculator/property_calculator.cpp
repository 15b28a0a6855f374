#include "calculator/property_calculator.h"

#include <cmath>
#include <cstring>

namespace tarvox {

namespace {

CPropertyCalculator calculator_instance;

// A flashed value the host cannot give as a finite number counts as no value: the flash searches
// test their records' scalars for EMPTY_VALUE. Compositions are left as they are, so that a
// value that is no number never enters a sum as the marker.
double Cleaned(double value) { return std::isfinite(value) ? value : EMPTY_VALUE; }

// A loaded host value that is no number travels on as NaN and is emptied where it is written; an
// infinity becomes NaN first, since arithmetic can turn it into a finite number (1 / inf is 0).
double InfinityAsNaN(double value) { return std::isinf(value) ? std::nan("") : value; }

// The record's doubles sit at 4-byte boundaries, so they are read and written by value through
// the record, never through references.
template <class Rule>
void ApplyToScalars(FluidState& s, Rule rule) {
  s.Temperature = rule(s.Temperature);
  s.Pressure = rule(s.Pressure);
  for (int k = 0; k < PhaseSlotCount; ++k) {
    s.MolarEnthalpy[k] = rule(s.MolarEnthalpy[k]);
    s.MolarEntropy[k] = rule(s.MolarEntropy[k]);
    s.MolarHeatCapacity[k] = rule(s.MolarHeatCapacity[k]);
    s.MolarVolume[k] = rule(s.MolarVolume[k]);
    s.Viscosity[k] = rule(s.Viscosity[k]);
    if (k < 4) s.PhaseFraction[k] = rule(s.PhaseFraction[k]);
  }
}

void CleanRecord(FluidState& s) { ApplyToScalars(s, Cleaned); }

void InfinitiesAsNaN(double* values, int count) {
  for (int i = 0; values && i < count; ++i) values[i] = InfinityAsNaN(values[i]);
}

void LoadedInfinitiesAsNaN(FluidState& s) {
  ApplyToScalars(s, InfinityAsNaN);
  for (int k = 0; k < PhaseSlotCount; ++k) InfinitiesAsNaN(s.Composition[k], s.ComponentCount);
}

void FreeCompositions(FluidState& s) {
  for (int k = 0; k < PhaseSlotCount; ++k) {
    CoTaskMemFree(s.Composition[k]);
    s.Composition[k] = nullptr;
  }
}

}  // namespace

CPropertyCalculator& GetPropertyCalculator() { return calculator_instance; }

CPropertyCalculator::CPropertyCalculator() {
  for (double& cv : CvCache) cv = EMPTY_VALUE;
}

CPropertyCalculator::~CPropertyCalculator() {
  ReleaseFluid();
  ReleaseFluid2();
  CoTaskMemFree(NamedArrayBuffer);
  NamedArrayBuffer = nullptr;
  NamedArrayCount = 0;
  ResetCache();
}

// The new reference is taken before the old one is given back.
void CPropertyCalculator::BindFluid(IHostFluid* fluid) { fluid_ = ComPtr<IHostFluid>::Share(fluid); }
void CPropertyCalculator::ReleaseFluid() { fluid_.Reset(); }
void CPropertyCalculator::BindFluid2(IHostFluid2* fluid2) { fluid2_ = ComPtr<IHostFluid2>::Share(fluid2); }
void CPropertyCalculator::ReleaseFluid2() { fluid2_.Reset(); }

int CPropertyCalculator::LoadFluidState() {
  if (!fluid_) return 0;
  // A reused state is only as good as the load that produced it.
  if (state_loaded_) return LastLoadSucceeded ? 1 : 0;
  ResetCache();
  try {
    if (FAILED(fluid_->GetState(&State))) return 0;
    if (State.ComponentCount < 0) return 0;
    LoadedInfinitiesAsNaN(State);
    const auto n = static_cast<std::size_t>(State.ComponentCount);
    MolecularWeights = TaskArray<double>::Allocate(n);
    if (!MolecularWeights) return 0;
    const double* weights = ComponentArray("Molecular Weight");
    if (!weights) return 0;
    if (n > 0) std::memcpy(MolecularWeights.Get(), weights, n * sizeof(double));
    const double* flow = GetNamedArray("MolarFlow", 0);
    if (!flow) return 0;
    StreamMolarFlow = flow[0];
  } catch (...) {
    return 0;
  }
  LastLoadSucceeded = true;
  return 1;
}

void CPropertyCalculator::ResetCache() {
  MolecularWeights.Reset();
  StreamMolarFlow = EMPTY_VALUE;
  FreeCompositions(State);
  std::memset(static_cast<void*>(&State), 0, sizeof State);
  LastLoadSucceeded = false;
}

double* CPropertyCalculator::GetNamedArray(const char* name, int copy, int min_count) {
  if (!fluid_) return nullptr;
  try {
    if (FAILED(fluid_->GetArray(name, &NamedArrayCount, &NamedArrayBuffer))) return nullptr;
  } catch (...) {
    return nullptr;
  }
  // An array shorter than what the caller reads counts as missing.
  if (!NamedArrayBuffer || NamedArrayCount < min_count || NamedArrayCount < 0) return nullptr;
  InfinitiesAsNaN(NamedArrayBuffer, NamedArrayCount);
  if (!copy) return NamedArrayBuffer;
  const std::size_t bytes = static_cast<std::size_t>(NamedArrayCount) * sizeof(double);
  auto* owned = static_cast<double*>(CoTaskMemAlloc(bytes));
  if (owned && bytes > 0) std::memcpy(owned, NamedArrayBuffer, bytes);
  return owned;
}

double CPropertyCalculator::FirstValue(const char* name) {
  const double* values = GetNamedArray(name, 0);
  return values ? values[0] : EMPTY_VALUE;
}

FluidState* CPropertyCalculator::MakeFlashRecord(FluidState* record, const FluidState& source, int phase) {
  auto* bytes = reinterpret_cast<unsigned char*>(record);
  std::memset(bytes + offsetof(FluidState, Composition), 0,
              sizeof(FluidState) - offsetof(FluidState, Composition));
  record->Temperature = source.Temperature;
  record->Pressure = source.Pressure;
  record->ComponentCount = source.ComponentCount;
  const std::size_t n = source.ComponentCount > 0 ? static_cast<std::size_t>(source.ComponentCount) : 0;
  for (int slot = 0; slot < PhaseSlotCount; ++slot) {
    record->Composition[slot] = static_cast<double*>(CoTaskMemAlloc(n * sizeof(double)));
    if (record->Composition[slot])
      for (std::size_t i = 0; i < n; ++i) record->Composition[slot][i] = 0.0;
    record->MolarEnthalpy[slot] = EMPTY_VALUE;
    record->MolarEntropy[slot] = EMPTY_VALUE;
    record->MolarHeatCapacity[slot] = EMPTY_VALUE;
    record->MolarVolume[slot] = EMPTY_VALUE;
    record->Viscosity[slot] = EMPTY_VALUE;
  }
  for (int k = 0; k < PhaseSlotCount - 2; ++k) {
    record->PhasePresent[k] = -32767;
    record->PhaseFraction[k] = EMPTY_VALUE;
  }
  double* feed = record->Composition[kFeed];
  if (feed) {
    const double* from = source.Composition[phase];
    // A phase whose composition the host did not give makes an empty feed.
    for (std::size_t i = 0; i < n; ++i) feed[i] = from ? from[i] : EMPTY_VALUE;
  }
  return record;
}

int CPropertyCalculator::PhaseSplitChanged(const FluidState& flashed, const FluidState& loaded, int phase) {
  if (phase != kFeed && flashed.PhaseFraction[phase] > 9e-4 && flashed.PhaseFraction[phase] < 0.999) return 1;
  if (flashed.PhaseFraction[kLiquid1] > 9e-4 && flashed.PhaseFraction[kLiquid2] > 9e-4) return 1;
  if (phase == kFeed) {
    for (int j = 0; j <= kLiquid2; ++j) {
      const double f = flashed.PhaseFraction[j];
      const double l = loaded.PhaseFraction[j];
      if (f == EMPTY_VALUE || l == 0.0 || l == EMPTY_VALUE) continue;
      if (std::fabs((f - l) / l) > 9e-4) return 1;
    }
  }
  return 0;
}

HRESULT CPropertyCalculator::Flash(IHostFlash* flash, FluidState& record) {
  HRESULT hr;
  try {
    hr = flash->Flash(&record);
  } catch (...) {
    hr = E_FAIL;
  }
  CleanRecord(record);
  return hr;
}

ComPtr<IHostFlash> CPropertyCalculator::QueryFlash() const {
  return ComPtr<IHostFlash>::Query(fluid_.Get(), IID_IHostFlash);
}

FlashRecord::~FlashRecord() { FreeCompositions(record_); }

}  // namespace tarvox
