#include "host/site/stream_site.h"

namespace tarvox::host {

HRESULT StreamEntry::QueryInterface(REFIID iid, void** object) {
  return Answer(iid, object, static_cast<IStreamEntry*>(this), {});
}

HRESULT StreamEntry::GetFluid(IUnknown** fluid) {
  if (!fluid) return E_POINTER;
  *fluid = nullptr;
  if (FAILED(get_fluid_result)) return get_fluid_result;
  *fluid = ComPtr<IUnknown>(fluid_).Detach();
  return S_OK;
}

HRESULT StreamEntry::IsActive(int* active_flag) {
  if (!active_flag) return E_POINTER;
  if (FAILED(is_active_result)) return is_active_result;
  *active_flag = active;
  return S_OK;
}

HRESULT StreamSite::QueryInterface(REFIID iid, void** object) {
  return Answer(iid, object, static_cast<ICorrelationSite*>(this), {IID_ICorrelationSite});
}

HRESULT StreamSite::GetStreamEntry(LONG handle, IStreamEntry** entry) {
  ++entry_requests;
  if (!entry) return E_POINTER;
  *entry = nullptr;
  const auto found = entries_.find(handle);
  if (found == entries_.end()) return E_INVALIDARG;
  *entry = ComPtr<IStreamEntry>::Share(found->second.Get()).Detach();
  return S_OK;
}

StreamEntry& StreamSite::AddStream(LONG handle, IUnknown* fluid) {
  entries_[handle] = ComPtr<StreamEntry>::Adopt(new StreamEntry(fluid));
  return *entries_[handle].Get();
}

}  // namespace tarvox::host
