// Drives whole Calculate cycles of the correlation classes as a host does, with every value the
// host hands over taken from the fuzz input: the stream's state, its compositions, its named
// arrays, its flash results and the correlation's input variables. After each cycle nothing
// non-finite may reach the result vector, and after each input every task-allocator block,
// BSTR and host object must be back.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <span>
#include <string>
#include <vector>

#include "calculator/property_calculator.h"
#include "common/com_ptr.h"
#include "framework/class_info.h"
#include "framework/correlation_interface.h"
#include "host/scripted/scripted_fluid.h"
#include "host/site/stream_site.h"
#include "tarvox_platform/com_runtime.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);

namespace tarvox {
namespace {

constexpr int kMaxComponents = 8;
constexpr int kMaxClassesPerInput = 2;
constexpr LONG kHandle = 7;

// A fault the sanitizers cannot see: stop with a crash so that libFuzzer keeps the input.
void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz_calculate: %s\n", what);
  __builtin_trap();
}

// Any double a host might hand over, biased towards the awkward ones.
double AnyValue(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 15)) {
    case 0:
      return EMPTY_VALUE;
    case 1:
      return 0.0;
    case 2:
      return -1.0;
    case 3:
      return std::numeric_limits<double>::quiet_NaN();
    case 4:
      return std::numeric_limits<double>::infinity();
    case 5:
      return -std::numeric_limits<double>::infinity();
    case 6:
      return 1e300;
    case 7:
      return -1e300;
    case 8:
      return 1e-300;
    case 9:
      return std::numeric_limits<double>::denorm_min();
    case 10:
      return in.ConsumeProbability<double>();  // a fraction
    case 11:
      return static_cast<double>(in.ConsumeIntegralInRange<int>(0, 40));
    case 12:
      return in.ConsumeFloatingPointInRange<double>(-300.0, 3000.0);
    case 13:
      return in.ConsumeFloatingPointInRange<double>(0.0, 1e5);
    default:
      return in.ConsumeFloatingPoint<double>();
  }
}

// Component identifiers and CAS-like numbers the evaluators recognise, and any others.
double IdentifierValue(FuzzedDataProvider& in) {
  constexpr double kKnown[] = {1,     2,     3,     4,     5,      6,       7,       8,      9,  10,
                               12,    13,    14,    15,    16,     17,      18,      19,     28, 46,
                               30063, 30064, 30065, 74828, 124389, 7783064, 7732185, 1333740};
  if (in.ConsumeBool()) return kKnown[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kKnown) - 1)];
  return AnyValue(in);
}

std::vector<double> Values(FuzzedDataProvider& in, std::size_t count, bool identifiers) {
  std::vector<double> values(count);
  for (double& v : values) v = identifiers ? IdentifierValue(in) : AnyValue(in);
  return values;
}

// Every named array the module asks a host for.
constexpr struct {
  const char* name;
  bool identifiers;
} kNamedArrays[] = {{"Boiling Temperature", false},
                    {"CAS_Numbers", true},
                    {"ComponentClass", true},
                    {"ComponentIDs", true},
                    {"CostFactor", false},
                    {"Cp_CpR", false},
                    {"Cp_Cv", false},
                    {"FlowBasis", true},
                    {"Heat of Combustion", false},
                    {"HydrogenAtoms", true},
                    {"LiquidVolumeFlow", false},
                    {"MassFlow", false},
                    {"MolarFlow", false},
                    {"Molecular Weight", false},
                    {"Standard Liquid Density", false},
                    {"StdIdealMolarVolume", false},
                    {"StdLiqMassDensity", false},
                    {"TempUnitFlag", true}};

// The per-phase part of a record: the host's answer for the stream or for one flash.
void FillPhases(FuzzedDataProvider& in, FluidState& s) {
  for (int k = 0; k < PhaseSlotCount; ++k) {
    s.MolarEnthalpy[k] = AnyValue(in);
    s.MolarEntropy[k] = AnyValue(in);
    s.MolarHeatCapacity[k] = AnyValue(in);
    s.MolarVolume[k] = AnyValue(in);
  }
  constexpr std::int32_t kPresence[] = {1, 0, -32767, 2, -1};
  for (int k = 0; k < PhaseSlotCount - 1; ++k) {
    s.PhaseFraction[k] = AnyValue(in);
    s.PhasePresent[k] = kPresence[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kPresence) - 1)];
  }
}

ComPtr<host::ScriptedFluid> MakeFluid(FuzzedDataProvider& in) {
  auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  FluidState& s = fluid->state;
  s.Temperature = AnyValue(in);
  s.Pressure = AnyValue(in);
  s.ComponentCount = in.ConsumeIntegralInRange<int>(0, kMaxComponents);
  const std::size_t n = static_cast<std::size_t>(s.ComponentCount);
  FillPhases(in, s);
  for (double& mu : fluid->viscosity) mu = AnyValue(in);
  // A composition may be missing, or shorter than n (the host pads it with empty values).
  for (auto& composition : fluid->compositions)
    if (in.ConsumeBool()) composition = Values(in, in.ConsumeIntegralInRange<std::size_t>(0, n), false);
  // Named arrays: missing, or of any length, shorter and longer than n included.
  for (const auto& [name, identifiers] : kNamedArrays)
    if (in.ConsumeBool())
      fluid->arrays[name] = Values(in, in.ConsumeIntegralInRange<std::size_t>(0, n + 2), identifiers);
  // Rare host failures (an exhausted input means none).
  fluid->offer_flash = in.ConsumeIntegralInRange<int>(0, 7) != 7;
  fluid->offer_fluid2 = in.ConsumeIntegralInRange<int>(0, 7) != 7;
  fluid->fail_get_state = in.ConsumeIntegralInRange<int>(0, 15) == 15;
  fluid->fail_transport = in.ConsumeIntegralInRange<int>(0, 7) == 7;
  // Each flash answers from the input: it may fail, leave the pressure empty, or report
  // anything at all, writing no more than the n composition values the record holds.
  host::ScriptedFluid* raw = fluid.Get();
  fluid->flash = [&in, raw](FluidState& record) -> HRESULT {
    if (in.remaining_bytes() == 0 || in.ConsumeIntegralInRange<int>(0, 7) == 0) return E_FAIL;
    if (in.ConsumeBool()) record.Temperature = AnyValue(in);
    record.Pressure = in.ConsumeIntegralInRange<int>(0, 3) == 0 ? EMPTY_VALUE : AnyValue(in);
    FillPhases(in, record);
    const int count =
        record.ComponentCount < raw->state.ComponentCount ? record.ComponentCount : raw->state.ComponentCount;
    for (int k = 0; k < PhaseSlotCount; ++k)
      if (record.Composition[k] && in.ConsumeBool())
        for (int i = 0; i < count; ++i) record.Composition[k][i] = AnyValue(in);
    return in.ConsumeIntegralInRange<int>(0, 15) == 0 ? S_FALSE : S_OK;
  };
  return fluid;
}

// Sets each input variable of the correlation from the input.
void SetInputs(FuzzedDataProvider& in, ICorrelation* correlation) {
  ComPtr<IVariableSet> inputs;
  if (FAILED(correlation->get_Variables(inputs.Put())) || !inputs) return;
  int count = 0;
  if (FAILED(inputs->GetCount(&count))) return;
  for (int i = 0; i < count; ++i) {
    ComPtr<IUnknown> variable;
    if (FAILED(inputs->GetVariable(i, variable.Put())) || !variable || !in.ConsumeBool()) continue;
    if (auto numeric = ComPtr<INumericVariable>::Query(variable.Get(), IID_INumericVariable))
      numeric->SetValue(AnyValue(in));
    else if (auto items = ComPtr<IEnumItems>::Query(variable.Get(), IID_IEnumItems))
      items->SetEnumIndex(in.ConsumeIntegralInRange<int>(-2, 6));
  }
}

double Slot(IVariable* values, int slot) {
  double value = 0.0;
  Require(SUCCEEDED(values->GetElement(slot, &value)), "a result slot cannot be read");
  return value;
}

// Whether the host values a partial pressure multiplies are all numbers: the stream's pressure and
// its vapour composition. A value that is no number makes the product none.
bool PartialPressureFactorsFinite(const host::ScriptedFluid& fluid) {
  if (!std::isfinite(fluid.state.Pressure)) return false;
  const auto& vapour = fluid.compositions[kVapour];
  return !vapour || std::all_of(vapour->begin(), vapour->end(), [](double y) { return std::isfinite(y); });
}

void CheckResults(const ClassInfo& info, IVariableSet* results, bool evaluated, bool factors_finite) {
  ComPtr<IUnknown> found;
  Require(SUCCEEDED(results->FindVariable(OLESTR("Phase_Values"), found.Put())) && found, "no Phase_Values");
  auto values = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
  Require(static_cast<bool>(values), "Phase_Values is no vector");
  for (int slot : kResultSlots) Require(std::isfinite(Slot(values.Get(), slot)), "a non-finite result");
  // The stream's own slot is never written.
  Require(Slot(values.Get(), 4) == EMPTY_VALUE, "slot 4 was written");
  // A partial pressure of finite factors always has a value for the stream.
  const std::string name = info.name;
  if (evaluated && factors_finite && (name == "PartialPressureCO2" || name == "PartialPressureH2S"))
    Require(Slot(values.Get(), 0) != EMPTY_VALUE, "a partial pressure without a value");
}

void RunClass(FuzzedDataProvider& in, const ClassInfo& info, host::ScriptedFluid* fluid) {
  ComPtr<IClassFactory> factory;
  Require(
      SUCCEEDED(DllGetClassObject(info.clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()))),
      "no class object");
  ComPtr<ICorrelation> correlation;
  Require(SUCCEEDED(factory->CreateInstance(nullptr, IID_ICorrelation,
                                            reinterpret_cast<void**>(correlation.Put()))),
          "no correlation");
  factory.Reset();
  SetInputs(in, correlation.Get());
  auto site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  host::StreamEntry& entry = site->AddStream(kHandle, static_cast<IHostFluid*>(fluid));
  entry.active = in.ConsumeIntegralInRange<int>(0, 15) == 15 ? 0 : 1;
  LONG cookie = 0;
  IVariableSet* results = nullptr;  // lent by the correlation
  Require(SUCCEEDED(
              correlation->Connect(static_cast<ICorrelationSite*>(site.Get()), kHandle, &cookie, &results)) &&
              results,
          "Connect failed");
  const int cycles = in.ConsumeIntegralInRange<int>(1, 2);
  for (int cycle = 0; cycle < cycles; ++cycle) {
    const HRESULT calculated = correlation->Calculate(cookie);
    // An inactive stream or a fluid without the interfaces the class needs is not evaluated.
    CheckResults(info, results, calculated == S_OK && entry.active != 0,
                 PartialPressureFactorsFinite(*fluid));
  }
  correlation->Disconnect(cookie);
}

struct Counters {
  long task_blocks;
  long bstrs;
  long host_objects;
  long quorix2_objects;
};

long Quorix2Objects() {
  using LiveObjectsFunction = long(STDMETHODCALLTYPE*)();
  static const auto live = reinterpret_cast<LiveObjectsFunction>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("quorix2.dll"), "Quorix2LiveObjects")));
  return live ? live() : 0;
}

Counters Count() {
  CPropertyCalculator& calculator = GetPropertyCalculator();
  calculator.ResetCache();
  return {tarvox_platform::LiveTaskBlocks() - (calculator.NamedArrayBuffer ? 1 : 0),
          tarvox_platform::LiveBstrs(), host::LiveObjects().load(), Quorix2Objects()};
}

void RunInput(FuzzedDataProvider& in) {
  const Counters before = Count();
  {
    const std::span<const ClassInfo> catalogue = ClassCatalogue();
    ComPtr<host::ScriptedFluid> fluid = MakeFluid(in);
    const int classes = in.ConsumeIntegralInRange<int>(1, kMaxClassesPerInput);
    for (int c = 0; c < classes; ++c)
      RunClass(in, catalogue[in.ConsumeIntegralInRange<std::size_t>(0, catalogue.size() - 1)], fluid.Get());
  }
  const Counters after = Count();
  Require(after.task_blocks == before.task_blocks, "task-allocator blocks leaked");
  Require(after.bstrs == before.bstrs, "BSTRs leaked");
  Require(after.host_objects == before.host_objects, "host objects leaked");
  Require(after.quorix2_objects == before.quorix2_objects, "host variable objects leaked");
}

}  // namespace
}  // namespace tarvox

// Loads the libraries and class objects every later input shares, by one cycle of each class,
// so that what stays loaded does not count as a leak of the first input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::uint8_t nothing = 0;
  for (std::size_t i = 0; i < tarvox::ClassCatalogue().size(); ++i) {
    FuzzedDataProvider in(&nothing, 0);
    tarvox::RunClass(in, tarvox::ClassCatalogue()[i], tarvox::MakeFluid(in).Get());
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  tarvox::RunInput(in);
  return 0;
}
