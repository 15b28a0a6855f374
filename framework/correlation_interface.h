// ICorrelation: the host-defined dual interface through which the host drives every correlation.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <oaidl.h>
#else
#include "tarvox_platform/com_runtime.h"
#endif
#include "framework/host_variables.h"

namespace tarvox {

// {0BFE8550-E173-11D2-A62C-00A0C9DF4274}
inline constexpr IID IID_ICorrelation = {
    0x0BFE8550, 0xE173, 0x11D2, {0xA6, 0x2C, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};

// The elements of a connection's "Phase_Values" that Calculate writes; element 4 is never written.
enum ResultSlot : int {
  kStreamSlot = 0,
  kVapourSlot = 1,
  kLiquid1Slot = 2,
  kLiquid2Slot = 3,
  kSolidSlot = 5
};

inline constexpr ResultSlot kResultSlots[] = {kStreamSlot, kVapourSlot, kLiquid1Slot, kLiquid2Slot,
                                              kSolidSlot};

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
