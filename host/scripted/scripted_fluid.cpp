#include "host/scripted/scripted_fluid.h"

#include <algorithm>
#include <cstring>

namespace tarvox::host {

ScriptedFluid::ScriptedFluid() { viscosity.fill(-32767.0); }

HRESULT ScriptedFluid::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHostFluid)) {
    *object = static_cast<IHostFluid*>(this);
  } else if (offer_flash && IsEqualIID(iid, IID_IHostFlash)) {
    *object = static_cast<IHostFlash*>(this);
  } else if (offer_fluid2 && IsEqualIID(iid, IID_IHostFluid2)) {
    *object = static_cast<IHostFluid2*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT ScriptedFluid::GetArray(const char* name, int* count, double** array) {
  calls.push_back(std::string("GetArray:") + (name ? name : ""));
  if (!name || !count || !array) return E_POINTER;
  const auto found = arrays.find(name);
  if (found == arrays.end()) return E_FAIL;
  // This host replaces the caller's previous array by a fresh one.
  CoTaskMemFree(*array);
  *array = nullptr;
  const std::vector<double>& values = found->second;
  *array = static_cast<double*>(CoTaskMemAlloc(values.size() * sizeof(double)));
  if (!*array) return E_OUTOFMEMORY;
  if (!values.empty()) std::memcpy(*array, values.data(), values.size() * sizeof(double));
  *count = static_cast<int>(values.size());
  return S_OK;
}

HRESULT ScriptedFluid::GetState(FluidState* out) {
  calls.push_back("GetState");
  if (!out) return E_POINTER;
  if (fail_get_state) return E_FAIL;
  *out = state;
  // A host hands over n values per composition: a shorter script is padded with empty values.
  const std::size_t n = state.ComponentCount > 0 ? static_cast<std::size_t>(state.ComponentCount) : 0;
  for (int slot = 0; slot < 5; ++slot) {
    out->Composition[slot] = nullptr;
    if (!compositions[slot]) continue;
    const std::vector<double>& x = *compositions[slot];
    const std::size_t size = std::max({n, x.size(), std::size_t{1}});
    auto* values = static_cast<double*>(CoTaskMemAlloc(size * sizeof(double)));
    for (std::size_t i = 0; i < size; ++i) values[i] = i < x.size() ? x[i] : -32767.0;
    out->Composition[slot] = values;
  }
  return S_OK;
}

HRESULT ScriptedFluid::GetComponentCount(int* count) {
  if (!count) return E_POINTER;
  *count = state.ComponentCount;
  return S_OK;
}

HRESULT ScriptedFluid::GetComponentName(int, BSTR* name) {
  if (name) *name = nullptr;
  return E_NOTIMPL;
}

HRESULT ScriptedFluid::GetTransport(FluidState* record) {
  calls.push_back("GetTransport");
  if (!record) return E_POINTER;
  if (fail_transport) return E_FAIL;
  for (int k = 0; k < 5; ++k) record->Viscosity[k] = viscosity[static_cast<std::size_t>(k)];
  return S_OK;
}

HRESULT ScriptedFluid::GetFlashCount(long long* count) {
  if (!count) return E_POINTER;
  *count = flash_count;
  return S_OK;
}

HRESULT ScriptedFluid::GetMessageCount(int* count) { return messages.GetCount(count); }

HRESULT ScriptedFluid::GetReportedMessage(int index, BSTR* text) { return messages.GetText(index, text); }

HRESULT ScriptedFluid::ClearMessages() {
  messages.clear();
  return S_OK;
}

HRESULT ScriptedFluid::Flash(FluidState* record) {
  calls.push_back("Flash");
  ++flash_count;
  if (!record) return E_POINTER;
  return flash ? flash(*record) : E_FAIL;
}

HRESULT ScriptedFluid::ReportMessage(const char* text) {
  calls.push_back("ReportMessage");
  messages.emplace_back(text ? text : "");
  return S_OK;
}

HRESULT ScriptedFluid::GetStreamName(BSTR* name) {
  if (name) *name = nullptr;
  return E_NOTIMPL;
}

int ScriptedFluid::Count(const std::string& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

}  // namespace tarvox::host
