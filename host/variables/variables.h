// The host variable library: variable sets, vector, numeric and enumeration variables.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/com_ptr.h"
#include "common/guid.h"
#include "framework/host_variables.h"
#include "host/common/com_object.h"

namespace tarvox::host {

using WideString = std::basic_string<OLECHAR>;

// A private interface of this library's variables: an independent copy for Clone.
inline constexpr IID IID_IVariableCopy = ParseGuid("{5C1D7E2A-3B8F-4E61-9A0D-7F2B4C6E8A11}");
struct IVariableCopy : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Copy(IUnknown** copy) = 0;
  virtual const WideString& Name() const = 0;
};

WideString Text(const OLECHAR* text);
HRESULT ReturnText(const WideString& text, BSTR* out);

// Name, display name and unit type, common to the three kinds of variable.
template <typename Interface>
class VariableBase : public ComObject<Interface>, public IVariableCopy {
 public:
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject<Interface>::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject<Interface>::Release(); }

  HRESULT STDMETHODCALLTYPE GetName(BSTR* name) override { return ReturnText(name_, name); }
  HRESULT STDMETHODCALLTYPE SetName(const OLECHAR* name) override {
    if (!name) return E_POINTER;
    name_ = Text(name);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* name) override { return ReturnText(display_name_, name); }
  HRESULT STDMETHODCALLTYPE SetDisplayName(BSTR name) override {
    display_name_ = name ? WideString(name, SysStringLen(name)) : WideString();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetUnitType(int* unit_type) override {
    if (!unit_type) return E_POINTER;
    *unit_type = unit_type_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetUnitType(int unit_type) override {
    unit_type_ = unit_type;
    return S_OK;
  }
  const WideString& Name() const override { return name_; }

 protected:
  void CopyBaseTo(VariableBase& other) const {
    other.name_ = name_;
    other.display_name_ = display_name_;
    other.unit_type_ = unit_type_;
  }

 private:
  WideString name_;
  WideString display_name_;
  int unit_type_ = -1;
};

// The placeholder entries that keep the operations at their ABI positions.
#define TARVOX_HOST_RESERVED(n) \
  HRESULT STDMETHODCALLTYPE Reserved##n() override { return E_NOTIMPL; }

class Variable final : public VariableBase<IVariable> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  TARVOX_HOST_RESERVED(9)
  TARVOX_HOST_RESERVED(10)
  TARVOX_HOST_RESERVED(11)
  TARVOX_HOST_RESERVED(12)
  TARVOX_HOST_RESERVED(13)
  TARVOX_HOST_RESERVED(14)
  HRESULT STDMETHODCALLTYPE GetElementCount(int* count) override;
  HRESULT STDMETHODCALLTYPE GetElement(int index, double* value) override;
  HRESULT STDMETHODCALLTYPE SetElement(int index, double value) override;
  HRESULT STDMETHODCALLTYPE Copy(IUnknown** copy) override;

 private:
  std::vector<double> elements_;
};

class NumericVariable final : public VariableBase<INumericVariable> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  TARVOX_HOST_RESERVED(9)
  TARVOX_HOST_RESERVED(10)
  TARVOX_HOST_RESERVED(11)
  TARVOX_HOST_RESERVED(12)
  TARVOX_HOST_RESERVED(13)
  TARVOX_HOST_RESERVED(14)
  TARVOX_HOST_RESERVED(15)
  HRESULT STDMETHODCALLTYPE GetValue(double* value) override;
  HRESULT STDMETHODCALLTYPE SetValue(double value) override;
  HRESULT STDMETHODCALLTYPE Copy(IUnknown** copy) override;

 private:
  double value_ = -32767.0;
};

class EnumVariable final : public VariableBase<IEnumVariable>, public IEnumItems {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return VariableBase::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return VariableBase::Release(); }
  HRESULT STDMETHODCALLTYPE GetEnumFlag(int* flag) override;
  TARVOX_HOST_RESERVED(4)
  TARVOX_HOST_RESERVED(5)
  TARVOX_HOST_RESERVED(6)
  TARVOX_HOST_RESERVED(7)
  TARVOX_HOST_RESERVED(8)
  TARVOX_HOST_RESERVED(9)
  TARVOX_HOST_RESERVED(10)
  TARVOX_HOST_RESERVED(11)
  TARVOX_HOST_RESERVED(12)
  TARVOX_HOST_RESERVED(13)
  TARVOX_HOST_RESERVED(14)
  TARVOX_HOST_RESERVED(15)
  TARVOX_HOST_RESERVED(16)
  HRESULT STDMETHODCALLTYPE GetEnumIndex(int reserved, int* index) override;
  HRESULT STDMETHODCALLTYPE GetEnumCount(int* count) override;
  HRESULT STDMETHODCALLTYPE GetEnumText(int position, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE SetEnumFlag(int flag) override;
  HRESULT STDMETHODCALLTYPE SetEnumIndex(int index) override;
  HRESULT STDMETHODCALLTYPE SetEnumText(int position, BSTR text) override;
  HRESULT STDMETHODCALLTYPE Copy(IUnknown** copy) override;

 private:
  int flag_ = 0;
  int index_ = 0;
  std::vector<WideString> items_;
};

class VariableSet final : public ComObject<IVariableSet> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE GetCount(int* count) override;
  HRESULT STDMETHODCALLTYPE GetVariable(int index, IUnknown** variable) override;
  TARVOX_HOST_RESERVED(5)
  TARVOX_HOST_RESERVED(6)
  HRESULT STDMETHODCALLTYPE AddVariable(IUnknown* variable) override;
  HRESULT STDMETHODCALLTYPE RemoveVariable(const OLECHAR* name) override;
  TARVOX_HOST_RESERVED(9)
  TARVOX_HOST_RESERVED(10)
  TARVOX_HOST_RESERVED(11)
  TARVOX_HOST_RESERVED(12)
  HRESULT STDMETHODCALLTYPE Clone(IVariableSet** copy) override;
  TARVOX_HOST_RESERVED(14)
  TARVOX_HOST_RESERVED(15)
  TARVOX_HOST_RESERVED(16)
  HRESULT STDMETHODCALLTYPE FindVariable(const OLECHAR* name, IUnknown** variable) override;

 private:
  std::vector<ComPtr<IVariableCopy>> members_;
};

#undef TARVOX_HOST_RESERVED

}  // namespace tarvox::host
