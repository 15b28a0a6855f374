// The host fluid of one stream, as the module reaches it. Entry positions are the ABI; entries
// the module never calls are the host's own (here: placeholders a host may fill as it likes).
#pragma once

#include "calculator/fluid_state.h"
#include "common/guid.h"

namespace tarvox {

inline constexpr IID IID_IHostFluid = ParseGuid("{E660D4F5-08ED-4299-8DFA-852F08A85C31}");
inline constexpr IID IID_IHostFlash = ParseGuid("{D525EAC1-7A25-11D6-8051-0090271C82FF}");
inline constexpr IID IID_IHostFluid2 = ParseGuid("{3B89455D-5CCB-467F-851D-FB076DD6F279}");

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
