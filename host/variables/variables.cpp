#include "host/variables/variables.h"

#include <new>

namespace tarvox::host {

namespace {

constexpr double kEmpty = -32767.0;
// Vector variables hold at most this many elements; the host's result vectors use six.
constexpr int kMaxElements = 4096;

template <typename T>
HRESULT CopyOut(T* created, IUnknown** copy) {
  if (!created) return E_OUTOFMEMORY;
  *copy = static_cast<IVariableCopy*>(created);
  return S_OK;
}

}  // namespace

WideString Text(const OLECHAR* text) { return text ? WideString(text) : WideString(); }

HRESULT ReturnText(const WideString& text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return *out ? S_OK : E_OUTOFMEMORY;
}

// --- Variable ---

HRESULT Variable::QueryInterface(REFIID iid, void** object) {
  if (object && IsEqualIID(iid, IID_IVariableCopy)) {
    *object = static_cast<IVariableCopy*>(this);
    AddRef();
    return S_OK;
  }
  return Answer(iid, object, static_cast<IVariable*>(this), {IID_IVariable});
}

HRESULT Variable::GetElementCount(int* count) {
  if (!count) return E_POINTER;
  *count = static_cast<int>(elements_.size());
  return S_OK;
}

HRESULT Variable::GetElement(int index, double* value) {
  if (!value) return E_POINTER;
  if (index < 0) return E_INVALIDARG;
  *value = static_cast<std::size_t>(index) < elements_.size() ? elements_[static_cast<std::size_t>(index)]
                                                              : kEmpty;
  return S_OK;
}

HRESULT Variable::SetElement(int index, double value) {
  if (index < 0 || index >= kMaxElements) return E_INVALIDARG;
  // The vector grows on demand; elements never written read as empty.
  if (static_cast<std::size_t>(index) >= elements_.size())
    elements_.resize(static_cast<std::size_t>(index) + 1, kEmpty);
  elements_[static_cast<std::size_t>(index)] = value;
  return S_OK;
}

HRESULT Variable::Copy(IUnknown** copy) {
  if (!copy) return E_POINTER;
  auto* created = new (std::nothrow) Variable();
  if (created) {
    CopyBaseTo(*created);
    created->elements_ = elements_;
  }
  return CopyOut(created, copy);
}

// --- NumericVariable ---

HRESULT NumericVariable::QueryInterface(REFIID iid, void** object) {
  if (object && IsEqualIID(iid, IID_IVariableCopy)) {
    *object = static_cast<IVariableCopy*>(this);
    AddRef();
    return S_OK;
  }
  return Answer(iid, object, static_cast<INumericVariable*>(this), {IID_INumericVariable});
}

HRESULT NumericVariable::GetValue(double* value) {
  if (!value) return E_POINTER;
  *value = value_;
  return S_OK;
}

HRESULT NumericVariable::SetValue(double value) {
  value_ = value;
  return S_OK;
}

HRESULT NumericVariable::Copy(IUnknown** copy) {
  if (!copy) return E_POINTER;
  auto* created = new (std::nothrow) NumericVariable();
  if (created) {
    CopyBaseTo(*created);
    created->value_ = value_;
  }
  return CopyOut(created, copy);
}

// --- EnumVariable ---

HRESULT EnumVariable::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(iid, IID_IEnumItems)) {
    *object = static_cast<IEnumItems*>(this);
  } else if (IsEqualIID(iid, IID_IVariableCopy)) {
    *object = static_cast<IVariableCopy*>(this);
  } else {
    return Answer(iid, object, static_cast<IEnumVariable*>(this), {IID_IEnumVariable});
  }
  AddRef();
  return S_OK;
}

HRESULT EnumVariable::GetEnumFlag(int* flag) {
  if (!flag) return E_POINTER;
  *flag = flag_;
  return S_OK;
}

HRESULT EnumVariable::GetEnumIndex(int, int* index) {
  if (!index) return E_POINTER;
  *index = index_;
  return S_OK;
}

HRESULT EnumVariable::GetEnumCount(int* count) {
  if (!count) return E_POINTER;
  *count = static_cast<int>(items_.size());
  return S_OK;
}

HRESULT EnumVariable::GetEnumText(int position, BSTR* text) {
  if (position < 0 || static_cast<std::size_t>(position) >= items_.size()) return E_INVALIDARG;
  return ReturnText(items_[static_cast<std::size_t>(position)], text);
}

HRESULT EnumVariable::SetEnumFlag(int flag) {
  flag_ = flag;
  return S_OK;
}

HRESULT EnumVariable::SetEnumIndex(int index) {
  if (index < 0) return E_INVALIDARG;
  index_ = index;
  return S_OK;
}

HRESULT EnumVariable::SetEnumText(int position, BSTR text) {
  if (position < 0 || position >= kMaxElements) return E_INVALIDARG;
  if (static_cast<std::size_t>(position) >= items_.size())
    items_.resize(static_cast<std::size_t>(position) + 1);
  items_[static_cast<std::size_t>(position)] = text ? WideString(text, SysStringLen(text)) : WideString();
  return S_OK;
}

HRESULT EnumVariable::Copy(IUnknown** copy) {
  if (!copy) return E_POINTER;
  auto* created = new (std::nothrow) EnumVariable();
  if (created) {
    CopyBaseTo(*created);
    created->flag_ = flag_;
    created->index_ = index_;
    created->items_ = items_;
  }
  return CopyOut(created, copy);
}

// --- VariableSet ---

HRESULT VariableSet::QueryInterface(REFIID iid, void** object) {
  return Answer(iid, object, static_cast<IVariableSet*>(this), {IID_IVariableSet});
}

HRESULT VariableSet::GetCount(int* count) {
  if (!count) return E_POINTER;
  *count = static_cast<int>(members_.size());
  return S_OK;
}

HRESULT VariableSet::GetVariable(int index, IUnknown** variable) {
  if (!variable) return E_POINTER;
  *variable = nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= members_.size()) return E_INVALIDARG;
  IVariableCopy* member = members_[static_cast<std::size_t>(index)].Get();
  member->AddRef();
  *variable = member;
  return S_OK;
}

HRESULT VariableSet::AddVariable(IUnknown* variable) {
  // Only this library's variables can join: a set must be able to copy its members.
  auto member = ComPtr<IVariableCopy>::Query(variable, IID_IVariableCopy);
  if (!member) return E_INVALIDARG;
  members_.push_back(std::move(member));
  return S_OK;
}

HRESULT VariableSet::RemoveVariable(const OLECHAR* name) {
  const WideString wanted = Text(name);
  for (auto it = members_.begin(); it != members_.end(); ++it) {
    if ((*it)->Name() == wanted) {
      members_.erase(it);
      return S_OK;
    }
  }
  return S_FALSE;
}

HRESULT VariableSet::Clone(IVariableSet** copy) {
  if (!copy) return E_POINTER;
  *copy = nullptr;
  ComPtr<VariableSet> created = ComPtr<VariableSet>::Adopt(new (std::nothrow) VariableSet());
  if (!created) return E_OUTOFMEMORY;
  for (const auto& member : members_) {
    ComPtr<IUnknown> duplicate;
    const HRESULT hr = member->Copy(duplicate.Put());
    if (FAILED(hr)) return hr;
    created->members_.push_back(
        ComPtr<IVariableCopy>::Adopt(static_cast<IVariableCopy*>(duplicate.Detach())));
  }
  *copy = created.Detach();
  return S_OK;
}

HRESULT VariableSet::FindVariable(const OLECHAR* name, IUnknown** variable) {
  if (!variable) return E_POINTER;
  *variable = nullptr;
  const WideString wanted = Text(name);
  for (const auto& member : members_) {
    if (member->Name() == wanted) {
      member->AddRef();
      *variable = member.Get();
      return S_OK;
    }
  }
  return S_FALSE;
}

}  // namespace tarvox::host
