// Calculate: the evaluation cycle of one connection, driven by the class's catalogue row.
#include <array>
#include <cmath>
#include <variant>

#include "calculator/property_calculator.h"
#include "common/ansi_text.h"
#include "framework/correlation.h"

namespace tarvox {

namespace {

// The class's inputs as read for this Calculate, in row order.
using InputValues = std::array<double, InputList::kCapacity>;

double Evaluate(const Evaluator& evaluator, CPropertyCalculator& calculator, int phase,
                const InputValues& in) {
  using C = CPropertyCalculator;
  struct Call {
    C& c;
    int phase;
    const InputValues& in;
    double operator()(double (C::*f)(int)) const { return (c.*f)(phase); }
    double operator()(double (C::*f)()) const { return (c.*f)(); }
    double operator()(double (C::*f)(int, double)) const { return (c.*f)(phase, in[0]); }
    double operator()(double (C::*f)(int, int)) const { return (c.*f)(phase, static_cast<int>(in[0])); }
    double operator()(double (C::*f)(int, double, double)) const { return (c.*f)(phase, in[0], in[1]); }
    double operator()(double (C::*f)(int, double, double, double)) const {
      return (c.*f)(phase, in[0], in[1], in[2]);
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

bool ReadEnumeration(IUnknown* variable, double& value) {
  int index = 0;
  if (variable) {
    auto items = ComPtr<IEnumItems>::Query(variable, IID_IEnumItems);
    if (!items || FAILED(items->GetEnumIndex(0, &index))) return false;
  }
  value = index;
  return true;
}

bool ReadNumber(IUnknown* variable, const InputDefinition& input, double& value) {
  value = input.fallback.value_or(EMPTY_VALUE);
  if (!variable) return true;
  auto numeric = ComPtr<INumericVariable>::Query(variable, IID_INumericVariable);
  if (!numeric || FAILED(numeric->GetValue(&value))) return false;
  if (input.fallback && (value == EMPTY_VALUE || !std::isfinite(value))) {
    value = *input.fallback;
    if (input.write_back) numeric->SetValue(value);
  }
  return true;
}

// Reads the inputs the row marks for this point of the frame; false when a variable refuses.
bool ReadInputs(const CCorrelation& correlation, ReadAt at, InputValues& values) {
  const InputList& inputs = correlation.Info().inputs;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (inputs[i].read != at) continue;
    IUnknown* variable = correlation.Input(static_cast<int>(i));
    const bool read = inputs[i].kind == InputKind::kEnumeration ? ReadEnumeration(variable, values[i])
                                                                : ReadNumber(variable, inputs[i], values[i]);
    if (!read) return false;
  }
  return true;
}

bool Evaluates(EvaluatedPhases phases, int phase) {
  switch (phases) {
    case EvaluatedPhases::kAll:
      return true;
    case EvaluatedPhases::kAllButSolid:
      return phase != kSolid;
    case EvaluatedPhases::kStreamOnly:
      return false;
  }
  return false;
}

void Write(IVariable* result, ResultSlot slot, double value) {
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
    if (info_.holds_fluid2) fluid2 = ComPtr<IHostFluid2>::Query(fluid_object.Get(), IID_IHostFluid2);
  }
  if (!fluid || !record->Variables || (info_.holds_fluid2 && !fluid2)) return E_FAIL;

  InputValues inputs{};
  if (!ReadInputs(*this, ReadAt::kBeforeBinding, inputs)) return E_FAIL;

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

  if (!ReadInputs(*this, ReadAt::kBeforeEvaluation, inputs)) return E_FAIL;

  Write(result.Get(), kStreamSlot, Evaluate(info_.evaluator, calculator, kFeed, inputs));
  // The phases are evaluated on the state the stream's evaluation loaded.
  StateReuse reuse(calculator);
  for (int phase = kVapour; phase <= kSolid; ++phase) {
    const bool evaluated = Evaluates(info_.phases, phase);
    Write(result.Get(), ResultSlotOfPhase(phase),
          evaluated ? Evaluate(info_.evaluator, calculator, phase, inputs) : EMPTY_VALUE);
  }
  return S_OK;
}

}  // namespace tarvox
