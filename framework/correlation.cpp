#include "framework/correlation.h"

#include <new>

#include "common/ansi_text.h"
#include "common/registry.h"
#include "framework/host_objects.h"
#include "framework/variable_definitions.h"
#include "common/com_module.h"

namespace tarvox {

namespace {

// Written into the count at destruction, so that stray AddRef and Release calls made while the
// object comes apart cannot bring it back to zero.
constexpr LONG kDestructionCount = -1073741823;

template <typename T>
HRESULT CreateHostVariable(REFCLSID clsid, REFIID iid, ComPtr<T>& out) {
  return CreateHostObject(kHostVariableLibrary, clsid, iid, reinterpret_cast<void**>(out.Put()));
}

}  // namespace

CCorrelation::CCorrelation(const ClassInfo& info, IUnknown* outer)
    : OwnInterfaceDispatch(info.iid), inner_(*this), controlling_(outer ? outer : &inner_), info_(info) {
  char id[CLSID_STRING_SIZE];
  GuidToRegistryString(info.clsid, id, sizeof id);
  id_.assign(id, CLSID_STRING_SIZE - 1);
  display_name_ = info.display_name;
  LockModule();
}

CCorrelation::~CCorrelation() {
  ref_count_ = kDestructionCount;
  UnlockModule();
  ReleaseVariables();
  inputs_.clear();
}

void CCorrelation::ReleaseVariables() {
  input_set_.Reset();
  result_template_.Reset();
  result_variable_.Reset();
  connections_.clear();
}

HRESULT CCorrelation::CreateInstance(const ClassInfo& info, IUnknown* outer, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  auto* created = new (std::nothrow) CCorrelation(info, outer);
  if (!created) return E_OUTOFMEMORY;
  // A plain object holds a reference of its own while it finishes, so that FinalConstruct's
  // work on it cannot destroy it.
  if (!outer) ++created->ref_count_;
  HRESULT hr = created->FinalConstruct();
  if (!outer) --created->ref_count_;
  if (FAILED(hr)) {
    delete created;
    return hr;
  }
  hr = created->inner_.QueryInterface(iid, object);
  if (hr != S_OK) {
    *object = nullptr;
    delete created;
    return hr;
  }
  return S_OK;
}

HRESULT CCorrelation::FinalConstruct() {
  if (FAILED(CreateHostVariable(CLSID_VariableSet, IID_IVariableSet, input_set_))) return E_FAIL;
  if (FAILED(CreateHostVariable(CLSID_VariableSet, IID_IVariableSet, result_template_))) return E_FAIL;
  if (FAILED(CreateHostVariable(CLSID_Variable, IID_IVariable, result_variable_))) return E_FAIL;
  if (FAILED(result_variable_->SetName(OLESTR("Phase_Values")))) return E_FAIL;
  if (FAILED(result_variable_->SetUnitType(-1))) return E_FAIL;
  if (!ApplyVariableDefinition("Phase_Values", result_variable_.Get())) return E_FAIL;
  if (FAILED(result_template_->AddVariable(result_variable_.Get()))) return E_FAIL;
  if (FAILED(CreateInputs())) return E_FAIL;
  unit_type_ = info_.unit_type;
  return S_OK;
}

HRESULT CCorrelation::CreateInputs() {
  for (const InputDefinition& input : info_.inputs) {
    ComPtr<IHostVariable> variable;
    const bool numeric = input.kind == InputKind::kNumeric;
    HRESULT hr = CreateHostVariable(numeric ? CLSID_NumericVariable : CLSID_EnumVariable,
                                    numeric ? IID_INumericVariable : IID_IEnumVariable, variable);
    if (FAILED(hr) || !variable) return E_FAIL;
    BStr name = AnsiToBstr(input.tagged_name);
    if (!name || FAILED(variable->SetName(name.Get()))) return E_FAIL;
    if (FAILED(variable->SetUnitType(input.unit_type))) return E_FAIL;
    if (!ApplyVariableDefinition(input.tagged_name, variable.Get())) return E_FAIL;
    if (FAILED(input_set_->AddVariable(variable.Get()))) return E_FAIL;
    inputs_.push_back(ComPtr<IUnknown>::Share(variable.Get()));
  }
  // Defaults go in once every input has joined the set.
  for (std::size_t i = 0; i < info_.inputs.size(); ++i) {
    if (!info_.inputs[i].initial) continue;
    if (auto numeric = ComPtr<INumericVariable>::Query(inputs_[i].Get(), IID_INumericVariable))
      numeric->SetValue(*info_.inputs[i].initial);
  }
  return S_OK;
}

IUnknown* CCorrelation::Input(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= inputs_.size()) return nullptr;
  return inputs_[static_cast<std::size_t>(index)].Get();
}

HRESULT CCorrelation::Initialize() { return S_OK; }

HRESULT CCorrelation::Uninitialize() {
  ReleaseVariables();
  return S_OK;
}

// --- IUnknown ---

HRESULT CCorrelation::QueryInterface(REFIID iid, void** object) {
  return controlling_->QueryInterface(iid, object);
}
ULONG CCorrelation::AddRef() { return controlling_->AddRef(); }
ULONG CCorrelation::Release() { return controlling_->Release(); }

HRESULT CCorrelation::InnerUnknown::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown)) {
    *object = static_cast<IUnknown*>(this);
  } else if (IsEqualIID(iid, owner_.info_.iid) || IsEqualIID(iid, IID_IDispatch)) {
    *object = static_cast<OwnInterfaceDispatch*>(&owner_);
  } else if (IsEqualIID(iid, IID_ICorrelation)) {
    *object = static_cast<CorrelationDispatch*>(&owner_);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  static_cast<IUnknown*>(*object)->AddRef();
  return S_OK;
}

ULONG CCorrelation::InnerUnknown::AddRef() { return static_cast<ULONG>(++owner_.ref_count_); }

ULONG CCorrelation::InnerUnknown::Release() {
  const LONG count = --owner_.ref_count_;
  if (count == 0) {
    LockModule();
    delete &owner_;
    UnlockModule();
  }
  return static_cast<ULONG>(count);
}

// --- ICorrelation ---

namespace {

HRESULT ReturnText(const std::string& text, BSTR* out) {
  if (!out) return E_POINTER;
  BStr value = AnsiToBstr(text);
  if (!value) return E_OUTOFMEMORY;
  *out = value.Detach();
  return S_OK;
}

HRESULT ReturnNumber(LONG value, LONG* out) {
  if (!out) return E_POINTER;
  *out = value;
  return S_OK;
}

}  // namespace

HRESULT CCorrelation::get_Name(BSTR* name) { return ReturnText(display_name_, name); }
HRESULT CCorrelation::get_ID(BSTR* id) { return ReturnText(id_, id); }
HRESULT CCorrelation::get_AuxiliaryCode1(LONG* code) { return ReturnNumber(auxiliary_code1_, code); }
HRESULT CCorrelation::get_UnitType(LONG* unit_type) { return ReturnNumber(unit_type_, unit_type); }
HRESULT CCorrelation::get_UnitTypeAlias(LONG* unit_type) { return ReturnNumber(unit_type_, unit_type); }
HRESULT CCorrelation::get_AuxiliaryCode2(LONG* code) { return ReturnNumber(auxiliary_code2_, code); }

HRESULT CCorrelation::get_Variables(IVariableSet** variables) {
  if (!variables) return E_POINTER;
  *variables = ComPtr<IVariableSet>(input_set_).Detach();
  return S_OK;
}

HRESULT CCorrelation::Connect(IUnknown* site, LONG handle, LONG* cookie, IVariableSet** variables) {
  if (!cookie || !variables) return E_POINTER;
  if (!site) return CONNECT_E_NOCONNECTION;
  ComPtr<ICorrelationSite> correlation_site = ComPtr<ICorrelationSite>::Query(site, IID_ICorrelationSite);
  if (!correlation_site) return CONNECT_E_NOCONNECTION;
  ComPtr<IVariableSet> clone;
  if (FAILED(result_template_->Clone(clone.Put())) || !clone) return CONNECT_E_NOCONNECTION;
  const LONG new_cookie = static_cast<LONG>(connections_.size()) + 1;
  IVariableSet* lent = clone.Get();
  try {
    connections_.push_back(
        std::make_unique<CConnectionInfo>(handle, new_cookie, std::move(clone), std::move(correlation_site)));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *cookie = new_cookie;
  // The clone's one reference stays with the record; the caller borrows it.
  *variables = lent;
  return S_OK;
}

HRESULT CCorrelation::Disconnect(LONG cookie) {
  try {
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
      if ((*it)->Cookie != cookie) continue;
      it = connections_.erase(it);
      for (; it != connections_.end(); ++it) --(*it)->Cookie;
      return S_OK;
    }
    return CONNECT_E_CANNOTCONNECT;
  } catch (...) {
    return E_FAIL;
  }
}

// --- ICorrelation's dispatch ---

HRESULT CorrelationDispatch::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT CorrelationDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return DISP_E_BADINDEX;
}

}  // namespace tarvox
