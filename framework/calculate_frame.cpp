// Calculate: the evaluation cycle of one connection, with the frame variants of the classes
// that evaluate fewer phases or read inputs.
#include <cmath>
#include <variant>

#include "calculator/property_calculator.h"
#include "common/ansi_text.h"
#include "framework/correlation.h"

namespace tarvox {

namespace {

constexpr double kDefaultFuelOilCalorificValue = 40166.4;
constexpr double kDefaultExergyReferenceTemperature = 25.0;
constexpr double kDefaultExergyReferencePressure = 101.325;

// Values that the frame hands to the evaluator besides the phase.
struct FrameInputs {
  double numbers[3] = {EMPTY_VALUE, EMPTY_VALUE, EMPTY_VALUE};
  int basis = 0;
};

double Evaluate(const Evaluator& evaluator, CPropertyCalculator& calculator, int phase,
                const FrameInputs& in) {
  using C = CPropertyCalculator;
  struct Call {
    C& c;
    int phase;
    const FrameInputs& in;
    double operator()(double (C::*f)(int)) const { return (c.*f)(phase); }
    double operator()(double (C::*f)()) const { return (c.*f)(); }
    double operator()(double (C::*f)(int, double)) const { return (c.*f)(phase, in.numbers[0]); }
    double operator()(double (C::*f)(int, int)) const { return (c.*f)(phase, in.basis); }
    double operator()(double (C::*f)(int, double, double)) const {
      return (c.*f)(phase, in.numbers[0], in.numbers[1]);
    }
    double operator()(double (C::*f)(int, double, double, double)) const {
      return (c.*f)(phase, in.numbers[0], in.numbers[1], in.numbers[2]);
    }
  };
  try {
    return std::visit(Call{calculator, phase, in}, evaluator);
  } catch (...) {
    return EMPTY_VALUE;  // nothing an evaluator meets may cross into the host
  }
}

// Keeps the calculator bound for the time of the frame, and unbinds it on every return.
class Binding {
 public:
  Binding(CPropertyCalculator& calculator, IHostFluid* fluid, IHostFluid2* fluid2)
      : calculator_(calculator), holds_fluid2_(fluid2 != nullptr) {
    calculator_.BindFluid(fluid);
    if (holds_fluid2_) calculator_.BindFluid2(fluid2);
  }
  Binding(const Binding&) = delete;
  Binding& operator=(const Binding&) = delete;
  ~Binding() {
    calculator_.ReleaseFluid();
    if (holds_fluid2_) calculator_.ReleaseFluid2();
  }

 private:
  CPropertyCalculator& calculator_;
  bool holds_fluid2_;
};

enum class ReadResult { kRead, kAbsent, kFailed };

ReadResult ReadNumber(IUnknown* variable, double& value) {
  if (!variable) return ReadResult::kAbsent;
  auto numeric = ComPtr<INumericVariable>::Query(variable, IID_INumericVariable);
  if (!numeric || FAILED(numeric->GetValue(&value))) return ReadResult::kFailed;
  return ReadResult::kRead;
}

IUnknown* NamedInput(const CCorrelation& correlation, const char* tagged_name) {
  return correlation.Input(FindInput(correlation.Info(), tagged_name));
}

// The numeric inputs named, in order, into `in.numbers`; an absent variable gives EMPTY_VALUE.
bool ReadNumbers(const CCorrelation& correlation, std::initializer_list<const char*> names, FrameInputs& in) {
  int i = 0;
  for (const char* name : names) {
    double value = EMPTY_VALUE;
    if (ReadNumber(NamedInput(correlation, name), value) == ReadResult::kFailed) return false;
    in.numbers[i++] = value;
  }
  return true;
}

// A value read, or the default when the variable is absent or empty; an empty variable gets the
// default written back.
bool ReadWithDefault(IUnknown* variable, double fallback, bool write_back, double& value) {
  switch (ReadNumber(variable, value)) {
    case ReadResult::kFailed:
      return false;
    case ReadResult::kAbsent:
      value = fallback;
      return true;
    case ReadResult::kRead:
      if (value == EMPTY_VALUE || !std::isfinite(value)) {
        value = fallback;
        if (write_back) ComPtr<INumericVariable>::Query(variable, IID_INumericVariable)->SetValue(fallback);
      }
      return true;
  }
  return false;
}

// Inputs read after the fluid is obtained and before it is bound.
bool ReadInputsBeforeBinding(const CCorrelation& correlation, FrameInputs& in) {
  switch (correlation.Info().frame) {
    case FrameKind::FlowCost:
      return ReadWithDefault(NamedInput(correlation, "FuelOilCalorificValue"), kDefaultFuelOilCalorificValue,
                             false, in.numbers[0]);
    case FrameKind::Exergy:
      return ReadWithDefault(NamedInput(correlation, "ExergyRefTempValue"),
                             kDefaultExergyReferenceTemperature, true, in.numbers[0]) &&
             ReadWithDefault(NamedInput(correlation, "ExergyRefPresValue"), kDefaultExergyReferencePressure,
                             true, in.numbers[1]);
    default:
      return true;
  }
}

// Inputs read once "Phase_Values" is found, before the first evaluation.
bool ReadInputsBeforeEvaluation(const CCorrelation& correlation, FrameInputs& in) {
  switch (correlation.Info().frame) {
    case FrameKind::ReidVapourPressure:
      return ReadNumbers(correlation, {"RemoveNCmolPercent"}, in);
    case FrameKind::ViscosityIdx:
      return ReadNumbers(correlation, {"ViscIndexParamA", "ViscIndexParamB", "ViscIndexParamC"}, in);
    case FrameKind::CO2Loading: {
      IUnknown* variable = NamedInput(correlation, "ReportBasis");
      if (!variable) return true;  // basis 0
      auto items = ComPtr<IEnumItems>::Query(variable, IID_IEnumItems);
      return items && SUCCEEDED(items->GetEnumIndex(0, &in.basis));
    }
    default:
      return true;
  }
}

bool EvaluatesPhase(FrameKind frame, int phase) {
  switch (frame) {
    case FrameKind::FourPhase:
      return phase != kSolid;
    case FrameKind::OverallOnly:
    case FrameKind::ViscosityIdx:
    case FrameKind::Exergy:
      return false;
    default:
      return true;
  }
}

bool HoldsFluid2(FrameKind frame) {
  return frame == FrameKind::TrueVapourPressure || frame == FrameKind::ReidVapourPressure;
}

void Write(IVariable* result, int slot, double value) {
  // Nothing non-finite reaches the host: such a value is no value.
  result->SetElement(slot, std::isfinite(value) ? value : EMPTY_VALUE);
}

}  // namespace

HRESULT CCorrelation::Calculate(LONG cookie) {
  CConnectionInfo* record = nullptr;
  for (const auto& connection : connections_) {
    if (connection->Cookie == cookie) {
      record = connection.get();
      break;
    }
  }
  if (!record) return CONNECT_E_CANNOTCONNECT;

  ComPtr<IStreamEntry> entry;
  HRESULT hr = record->Site->GetStreamEntry(record->Handle, entry.Put());
  if (FAILED(hr)) return hr;
  if (!entry) return E_FAIL;

  int active = 1;
  if (FAILED(entry->IsActive(&active))) active = 1;
  if (active == 0) return S_OK;

  ComPtr<IHostFluid> fluid;
  ComPtr<IHostFluid2> fluid2;
  {
    ComPtr<IUnknown> fluid_object;
    hr = entry->GetFluid(fluid_object.Put());
    if (FAILED(hr)) return hr;
    fluid = ComPtr<IHostFluid>::Query(fluid_object.Get(), IID_IHostFluid);
    if (HoldsFluid2(info_.frame)) fluid2 = ComPtr<IHostFluid2>::Query(fluid_object.Get(), IID_IHostFluid2);
  }
  if (!fluid || !record->Variables || (HoldsFluid2(info_.frame) && !fluid2)) return E_FAIL;

  FrameInputs inputs;
  if (!ReadInputsBeforeBinding(*this, inputs)) return E_FAIL;

  CPropertyCalculator& calculator = GetPropertyCalculator();
  Binding binding(calculator, fluid.Get(), fluid2.Get());

  ComPtr<IUnknown> found;
  if (FAILED(record->Variables->FindVariable(OLESTR("Phase_Values"), found.Put()))) {
    entry.Reset();
    return E_FAIL;
  }
  ComPtr<IVariable> result = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
  found.Reset();
  if (!result) return S_OK;

  if (!ReadInputsBeforeEvaluation(*this, inputs)) return E_FAIL;

  Write(result.Get(), 0, Evaluate(info_.evaluator, calculator, kFeed, inputs));
  calculator.StateLoaded = 1;
  constexpr struct {
    int phase;
    int slot;
  } kPhaseSlots[] = {{kVapour, 1}, {kLiquid1, 2}, {kLiquid2, 3}, {kSolid, 5}};
  for (const auto& [phase, slot] : kPhaseSlots) {
    const bool evaluated = EvaluatesPhase(info_.frame, phase);
    Write(result.Get(), slot, evaluated ? Evaluate(info_.evaluator, calculator, phase, inputs) : EMPTY_VALUE);
  }
  calculator.StateLoaded = 0;
  return S_OK;
}

}  // namespace tarvox
