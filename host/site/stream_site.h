// The host's site and stream entries: what a correlation reaches its connected streams through.
#pragma once

#include <map>

#include "common/com_ptr.h"
#include "framework/host_variables.h"
#include "host/common/com_object.h"

namespace tarvox::host {

class StreamEntry final : public ComObject<IStreamEntry> {
 public:
  explicit StreamEntry(IUnknown* fluid) : fluid_(ComPtr<IUnknown>::Share(fluid)) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE GetFluid(IUnknown** fluid) override;
  HRESULT STDMETHODCALLTYPE IsActive(int* active) override;

  int active = 1;
  HRESULT get_fluid_result = S_OK;  // a failure code makes GetFluid fail with it
  HRESULT is_active_result = S_OK;

 private:
  ComPtr<IUnknown> fluid_;
};

class StreamSite final : public ComObject<ICorrelationSite> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE GetStreamEntry(LONG handle, IStreamEntry** entry) override;

  // Adds a stream whose fluid is `fluid`; returns its entry for the caller to adjust.
  StreamEntry& AddStream(LONG handle, IUnknown* fluid);
  int entry_requests = 0;

 private:
  std::map<LONG, ComPtr<StreamEntry>> entries_;
};

}  // namespace tarvox::host
