// The host's variable objects and its site, as the module calls them. Slot positions are the
// ABI: the operations the module uses stand at fixed entries; the other entries hold the getters
// a host needs, and the few left over are placeholders that a host answers with E_NOTIMPL.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <oaidl.h>
#else
#include "tarvox_platform/com_runtime.h"
#endif

namespace tarvox {

// {920F0C60-A377-11D3-818B-00A0C9DF4274}
inline constexpr CLSID CLSID_VariableSet = {
    0x920F0C60, 0xA377, 0x11D3, {0x81, 0x8B, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {2DAE6464-A829-11D3-8190-00A0C9DF4274}
inline constexpr CLSID CLSID_Variable = {
    0x2DAE6464, 0xA829, 0x11D3, {0x81, 0x90, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {920F0C62-A377-11D3-818B-00A0C9DF4274}
inline constexpr CLSID CLSID_NumericVariable = {
    0x920F0C62, 0xA377, 0x11D3, {0x81, 0x8B, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {F06FFE27-A418-11D3-818C-00A0C9DF4274}
inline constexpr CLSID CLSID_EnumVariable = {
    0xF06FFE27, 0xA418, 0x11D3, {0x81, 0x8C, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};

// {920F0C5F-A377-11D3-818B-00A0C9DF4274}
inline constexpr IID IID_IVariableSet = {
    0x920F0C5F, 0xA377, 0x11D3, {0x81, 0x8B, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {2DAE6463-A829-11D3-8190-00A0C9DF4274}
inline constexpr IID IID_IVariable = {
    0x2DAE6463, 0xA829, 0x11D3, {0x81, 0x90, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {920F0C61-A377-11D3-818B-00A0C9DF4274}
inline constexpr IID IID_INumericVariable = {
    0x920F0C61, 0xA377, 0x11D3, {0x81, 0x8B, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {94EFB631-A378-11D3-818B-00A0C9DF4274}
inline constexpr IID IID_IEnumVariable = {
    0x94EFB631, 0xA378, 0x11D3, {0x81, 0x8B, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {F06FFE26-A418-11D3-818C-00A0C9DF4274}
inline constexpr IID IID_IEnumItems = {
    0xF06FFE26, 0xA418, 0x11D3, {0x81, 0x8C, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};
// {0BFE8551-E173-11D2-A62C-00A0C9DF4274}
inline constexpr IID IID_ICorrelationSite = {
    0x0BFE8551, 0xE173, 0x11D2, {0xA6, 0x2C, 0x00, 0xA0, 0xC9, 0xDF, 0x42, 0x74}};

// The entry points shared by every kind of variable (slots 3 to 8).
struct IHostVariable : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;           // 3
  virtual HRESULT STDMETHODCALLTYPE SetName(const OLECHAR* name) = 0;  // 4
  virtual HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* name) = 0;    // 5
  virtual HRESULT STDMETHODCALLTYPE SetDisplayName(BSTR name) = 0;     // 6
  virtual HRESULT STDMETHODCALLTYPE GetUnitType(int* unit_type) = 0;   // 7
  virtual HRESULT STDMETHODCALLTYPE SetUnitType(int unit_type) = 0;    // 8
};

// Placeholders that keep the module's operations at their entries.
struct IHostVariablePadding : IHostVariable {
  virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
};

// A vector of doubles; elements never written read as EMPTY_VALUE.
struct IVariable : IHostVariablePadding {
  virtual HRESULT STDMETHODCALLTYPE GetElementCount(int* count) = 0;           // 15
  virtual HRESULT STDMETHODCALLTYPE GetElement(int index, double* value) = 0;  // 16
  virtual HRESULT STDMETHODCALLTYPE SetElement(int index, double value) = 0;   // 17
};

// One double; EMPTY_VALUE when unset.
struct INumericVariable : IHostVariablePadding {
  virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetValue(double* value) = 0;  // 16
  virtual HRESULT STDMETHODCALLTYPE SetValue(double value) = 0;   // 17
};

// An enumeration: the variable side (name, display name, unit type)...
struct IEnumVariable : IHostVariable {};

// ...and its items, a second interface of the same object.
struct IEnumItems : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetEnumFlag(int* flag) = 0;  // 3
  virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved8() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved13() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetEnumIndex(int reserved, int* index) = 0;  // 17
  virtual HRESULT STDMETHODCALLTYPE GetEnumCount(int* count) = 0;                // 18
  virtual HRESULT STDMETHODCALLTYPE GetEnumText(int position, BSTR* text) = 0;   // 19
  virtual HRESULT STDMETHODCALLTYPE SetEnumFlag(int flag) = 0;                   // 20
  virtual HRESULT STDMETHODCALLTYPE SetEnumIndex(int index) = 0;                 // 21
  virtual HRESULT STDMETHODCALLTYPE SetEnumText(int position, BSTR text) = 0;    // 22
};

struct IVariableSet : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetCount(int* count) = 0;                         // 3
  virtual HRESULT STDMETHODCALLTYPE GetVariable(int index, IUnknown** variable) = 0;  // 4
  virtual HRESULT STDMETHODCALLTYPE Reserved5() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved6() = 0;
  virtual HRESULT STDMETHODCALLTYPE AddVariable(IUnknown* variable) = 0;      // 7
  virtual HRESULT STDMETHODCALLTYPE RemoveVariable(const OLECHAR* name) = 0;  // 8
  virtual HRESULT STDMETHODCALLTYPE Reserved9() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved10() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved11() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved12() = 0;
  virtual HRESULT STDMETHODCALLTYPE Clone(IVariableSet** copy) = 0;  // 13
  virtual HRESULT STDMETHODCALLTYPE Reserved14() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved15() = 0;
  virtual HRESULT STDMETHODCALLTYPE Reserved16() = 0;
  virtual HRESULT STDMETHODCALLTYPE FindVariable(const OLECHAR* name, IUnknown** variable) = 0;  // 17
};

struct IStreamEntry : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetFluid(IUnknown** fluid) = 0;  // 3
  virtual HRESULT STDMETHODCALLTYPE IsActive(int* active) = 0;       // 4
};

struct ICorrelationSite : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetStreamEntry(LONG handle, IStreamEntry** entry) = 0;  // 3
};

}  // namespace tarvox
