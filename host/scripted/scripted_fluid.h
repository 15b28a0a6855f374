// A host fluid whose every answer is set by a test: the stream's state, its named arrays and its
// flash results. Each operation can be made to fail, and every call is logged, so tests can
// prove which host calls an evaluation makes. Arrays it hands over come from the task allocator,
// as a real host's do.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "calculator/host_fluid.h"
#include "host/common/com_object.h"
#include "host/common/flash_messages.h"

namespace tarvox::host {

class ScriptedFluid final : public ComObject<IHostFluid>, public IHostFlash, public IHostFluid2 {
 public:
  ScriptedFluid();

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ComObject::AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return ComObject::Release(); }
  // IHostFluid
  HRESULT STDMETHODCALLTYPE GetArray(const char* name, int* count, double** array) override;
  HRESULT STDMETHODCALLTYPE GetState(FluidState* state) override;
  HRESULT STDMETHODCALLTYPE GetComponentCount(int* count) override;
  HRESULT STDMETHODCALLTYPE GetComponentName(int index, BSTR* name) override;
  HRESULT STDMETHODCALLTYPE GetTransport(FluidState* state) override;
  // IHostFlash
  HRESULT STDMETHODCALLTYPE GetFlashCount(long long* count) override;
  HRESULT STDMETHODCALLTYPE GetMessageCount(int* count) override;
  HRESULT STDMETHODCALLTYPE GetReportedMessage(int index, BSTR* text) override;
  HRESULT STDMETHODCALLTYPE ClearMessages() override;
  HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Flash(FluidState* record) override;
  HRESULT STDMETHODCALLTYPE ReportMessage(const char* text) override;
  // IHostFluid2
  HRESULT STDMETHODCALLTYPE GetStreamName(BSTR* name) override;

  // The state GetState hands over: scalars and per-phase values from `state` (its pointers are
  // ignored), compositions from `compositions` (a slot without one is handed over as null).
  FluidState state{};
  std::array<std::optional<std::vector<double>>, 5> compositions;
  std::map<std::string, std::vector<double>> arrays;
  std::array<double, 5> viscosity{};
  // Flash behaviour; by default a flash fails.
  std::function<HRESULT(FluidState&)> flash;

  bool offer_flash = true;
  bool offer_fluid2 = true;
  bool fail_get_state = false;
  bool fail_transport = false;

  std::vector<std::string> calls;
  FlashMessages messages;
  int flash_count = 0;

  // Convenience: the count of logged calls equal to `call`.
  int Count(const std::string& call) const;
};

}  // namespace tarvox::host
