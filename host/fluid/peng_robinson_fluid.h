// The host's property package for one stream: a Peng-Robinson fluid offering the stream's state,
// named arrays, transport properties and flashes to the module through the host fluid interfaces.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "calculator/host_fluid.h"
#include "common/com_ptr.h"
#include "host/common/com_object.h"
#include "host/common/flash_messages.h"
#include "host/fluid/saturation_split.h"
#include "host/fluid/stream_conditions.h"
#include "tarvox/thermo/component_data.hpp"
#include "tarvox/thermo/flash_tp.hpp"
#include "tarvox/thermo/mixture.hpp"

namespace tarvox::host {

class PengRobinsonFluid final : public ComObject<IHostFluid>, public IHostFlash, public IHostFluid2 {
 public:
  // Throws std::invalid_argument for a component the database does not hold, a composition of
  // the wrong length, with a negative entry or without any positive one.
  PengRobinsonFluid(std::shared_ptr<const thermo::ComponentDatabase> database, StreamConditions stream);

  // Why a fluid of `stream` would be refused, without building it (no flash); empty when it would not.
  static std::optional<std::string> Refusal(const thermo::ComponentDatabase& database,
                                            const StreamConditions& stream);

  // A new fluid with one reference for the caller; empty with `error` set when the stream is invalid.
  static ComPtr<PengRobinsonFluid> Create(std::shared_ptr<const thermo::ComponentDatabase> database,
                                          StreamConditions stream, std::string& error);

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

  const StreamConditions& stream() const { return stream_; }
  const thermo::FlashResult& split() const { return split_; }
  const thermo::Mixture& mixture() const { return mixture_; }
  const std::vector<std::string>& messages() const { return messages_; }
  // TP flashes of the engine for the flashes asked for (those of saturation searches among them).
  long long tp_flash_count() const { return tp_flash_count_; }

 private:
  std::shared_ptr<const thermo::ComponentDatabase> database_;
  StreamConditions stream_;
  std::vector<const thermo::ComponentRecord*> components_;
  thermo::Mixture mixture_;
  thermo::FlashResult split_;  // at the stream's own conditions
  // Flashes asked for by correlations: one engine, whose work arrays and equation of state at the
  // last temperature serve the next flash. Cold starts: warm starts from the last split saved
  // nothing measurable in the Reid iteration, and a cold flash gives the same bits every time.
  thermo::FlashEngine flashes_;
  SaturationSplits saturations_;
  FlashMessages messages_;
  long long flash_count_ = 0;
  long long tp_flash_count_ = 0;
};

}  // namespace tarvox::host
