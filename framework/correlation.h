// The correlation object shared by all 52 classes: identity, connections, variables, lifetime
// and aggregation. A class differs from another only by its catalogue row.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/com_ptr.h"
#include "framework/class_info.h"
#include "framework/connection_info.h"
#include "framework/correlation_interface.h"

namespace tarvox {

// Dispatch that resolves no names: the own interface has no members, and ICorrelation's
// names live in the host's type library, which the module does not carry. Callers bind to the
// vtable.
template <typename Interface>
class NamelessDispatch : public Interface {
 public:
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) override {
    if (ids)
      for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                   UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

// The class's own dual interface I<Name>: its type information comes from the module's type
// library.
class OwnInterfaceDispatch : public NamelessDispatch<IDispatch> {
 public:
  explicit OwnInterfaceDispatch(const IID& iid) : iid_(iid) {}
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;

 private:
  const IID& iid_;
};

// ICorrelation: the module reports no type information for it.
class CorrelationDispatch : public NamelessDispatch<ICorrelation> {
 public:
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
};

class CCorrelation final : public OwnInterfaceDispatch, public CorrelationDispatch {
 public:
  // The instance creator of the object map: a plain object without `outer`, an aggregated one
  // with it (the class factory admits only IID_IUnknown then).
  static HRESULT CreateInstance(const ClassInfo& info, IUnknown* outer, REFIID iid, void** object);

  // IUnknown, delegating to the controlling unknown.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // ICorrelation
  HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override;
  HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) override;
  HRESULT STDMETHODCALLTYPE get_AuxiliaryCode1(LONG* code) override;
  HRESULT STDMETHODCALLTYPE get_UnitType(LONG* unit_type) override;
  HRESULT STDMETHODCALLTYPE get_UnitTypeAlias(LONG* unit_type) override;
  HRESULT STDMETHODCALLTYPE get_AuxiliaryCode2(LONG* code) override;
  HRESULT STDMETHODCALLTYPE Connect(IUnknown* site, LONG handle, LONG* cookie,
                                    IVariableSet** variables) override;
  HRESULT STDMETHODCALLTYPE Disconnect(LONG cookie) override;
  HRESULT STDMETHODCALLTYPE Calculate(LONG cookie) override;
  HRESULT STDMETHODCALLTYPE get_Variables(IVariableSet** variables) override;

  // Performs no work; the host never calls them, and destruction does the uninitialising.
  virtual HRESULT Initialize();
  virtual HRESULT Uninitialize();

  // The class's input variable at position `index` of its catalogue row; null if not held.
  IUnknown* Input(int index) const;
  const ClassInfo& Info() const { return info_; }
  const std::vector<std::unique_ptr<CConnectionInfo>>& Connections() const { return connections_; }

 private:
  // The non-delegating unknown: the object's identity inside an aggregate.
  class InnerUnknown : public IUnknown {
   public:
    explicit InnerUnknown(CCorrelation& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

   private:
    CCorrelation& owner_;
  };

  CCorrelation(const ClassInfo& info, IUnknown* outer);
  ~CCorrelation();
  HRESULT FinalConstruct();
  HRESULT CreateInputs();
  void ReleaseVariables();

  InnerUnknown inner_;
  IUnknown* controlling_;  // the outer object, or the inner unknown of a plain object
  LONG ref_count_ = 0;
  const ClassInfo& info_;
  std::string id_;
  std::string display_name_;
  std::vector<std::unique_ptr<CConnectionInfo>> connections_;
  LONG auxiliary_code1_ = 0;
  LONG unit_type_ = -1;
  LONG auxiliary_code2_ = 0;
  ComPtr<IVariableSet> result_template_;
  ComPtr<IVariableSet> input_set_;
  ComPtr<IVariable> result_variable_;
  std::vector<ComPtr<IUnknown>> inputs_;
};

}  // namespace tarvox
