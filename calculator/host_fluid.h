// The host fluid of one stream, as the module reaches it. Entry positions are the ABI; entries
// the module never calls are the host's own (here: placeholders a host may fill as it likes).
#pragma once

#include "calculator/fluid_state.h"
#ifdef _WIN32
#include <windows.h>
#include <oaidl.h>
#else
#include "tarvox_platform/com_runtime.h"
#endif

namespace tarvox {

// {E660D4F5-08ED-4299-8DFA-852F08A85C31}
inline constexpr IID IID_IHostFluid = {
    0xE660D4F5, 0x08ED, 0x4299, {0x8D, 0xFA, 0x85, 0x2F, 0x08, 0xA8, 0x5C, 0x31}};
// {D525EAC1-7A25-11D6-8051-0090271C82FF}
inline constexpr IID IID_IHostFlash = {
    0xD525EAC1, 0x7A25, 0x11D6, {0x80, 0x51, 0x00, 0x90, 0x27, 0x1C, 0x82, 0xFF}};
// {3B89455D-5CCB-467F-851D-FB076DD6F279}
inline constexpr IID IID_IHostFluid2 = {
    0x3B89455D, 0x5CCB, 0x467F, {0x85, 0x1D, 0xFB, 0x07, 0x6D, 0xD6, 0xF2, 0x79}};

struct IHostFluid : IUnknown {
  // `array` holds the previous array (or null) on entry; on success it holds `count` doubles from
  // the task allocator, owned by the caller.
  virtual HRESULT STDMETHODCALLTYPE GetArray(const char* name, int* count, double** array) = 0;  // 3
  // Fills a zeroed record; its five composition arrays come from the task allocator.
  virtual HRESULT STDMETHODCALLTYPE GetState(FluidState* state) = 0;              // 4
  virtual HRESULT STDMETHODCALLTYPE GetComponentCount(int* count) = 0;            // 5
  virtual HRESULT STDMETHODCALLTYPE GetComponentName(int index, BSTR* name) = 0;  // 6
  // Fills the record's Viscosity (kinematic, cSt).
  virtual HRESULT STDMETHODCALLTYPE GetTransport(FluidState* state) = 0;  // 7
};

struct IHostFlash : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetFlashCount(long long* count) = 0;            // 3
  virtual HRESULT STDMETHODCALLTYPE GetMessageCount(int* count) = 0;                // 4
  virtual HRESULT STDMETHODCALLTYPE GetReportedMessage(int index, BSTR* text) = 0;  // 5
  virtual HRESULT STDMETHODCALLTYPE ClearMessages() = 0;                            // 6
  virtual HRESULT STDMETHODCALLTYPE Reserved7() = 0;                                // 7
  // Flashes the feed in Composition[4] at Temperature and Pressure, or at Temperature and the
  // vapour PhaseFraction when Pressure is EMPTY_VALUE; results go into the same record.
  virtual HRESULT STDMETHODCALLTYPE Flash(FluidState* record) = 0;        // 8
  virtual HRESULT STDMETHODCALLTYPE ReportMessage(const char* text) = 0;  // 9
};

// Held by the vapour-pressure frames for the time of their evaluations; never called.
struct IHostFluid2 : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetStreamName(BSTR* name) = 0;  // 3
};

}  // namespace tarvox
