// ICorrelation: the host-defined dual interface through which the host drives every correlation.
#pragma once

#include "common/guid.h"
#include "framework/host_variables.h"

namespace tarvox {

inline constexpr IID IID_ICorrelation = ParseGuid("{0BFE8550-E173-11D2-A62C-00A0C9DF4274}");

// The elements of a connection's "Phase_Values" that Calculate writes; element 4 is never written.
enum ResultSlot : int {
  kStreamSlot = 0,
  kVapourSlot = 1,
  kLiquid1Slot = 2,
  kLiquid2Slot = 3,
  kSolidSlot = 5
};

// The slot of a phase: vapour 0, first liquid 1, second liquid 2, solid 3.
constexpr ResultSlot ResultSlotOfPhase(int phase) {
  constexpr ResultSlot kSlots[] = {kVapourSlot, kLiquid1Slot, kLiquid2Slot, kSolidSlot};
  return kSlots[phase];
}

struct ICorrelation : IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ID(BSTR* id) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AuxiliaryCode1(LONG* code) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UnitType(LONG* unit_type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_UnitTypeAlias(LONG* unit_type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_AuxiliaryCode2(LONG* code) = 0;
  virtual HRESULT STDMETHODCALLTYPE Connect(IUnknown* site, LONG handle, LONG* cookie,
                                            IVariableSet** variables) = 0;
  virtual HRESULT STDMETHODCALLTYPE Disconnect(LONG cookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE Calculate(LONG cookie) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_Variables(IVariableSet** variables) = 0;
};

}  // namespace tarvox
