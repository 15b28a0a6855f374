#include "host/fluid/peng_robinson_fluid.h"

#include <cmath>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "host/fluid/named_arrays.h"
#include "host/fluid/state_record.h"
#include "host/fluid/validity_window.h"

namespace tarvox::host {

namespace {

constexpr double kKelvinOffset = 273.15;
// A flash asked for through IHostFlash reports no viscosities (only GetTransport does, of the
// stream's own state), so it skips them.
constexpr thermo::FlashOptions kHostFlashOptions{.viscosities = false};

std::vector<const thermo::ComponentRecord*> Records(const thermo::ComponentDatabase& database,
                                                    const StreamConditions& stream) {
  if (stream.components.empty()) throw std::invalid_argument("the stream has no components");
  std::vector<const thermo::ComponentRecord*> records;
  for (const std::string& name : stream.components) {
    const thermo::ComponentRecord* record = database.Find(name);
    if (!record) throw std::invalid_argument("unknown component \"" + name + "\"");
    records.push_back(record);
  }
  return records;
}

bool Finite(const thermo::PhaseProperties& p) {
  return std::isfinite(p.enthalpy) && std::isfinite(p.entropy) && std::isfinite(p.cp) &&
         std::isfinite(p.molar_volume);
}

// A split is reported only when it converged and every value it reports is a number.
bool Reportable(const thermo::FlashResult& split) {
  if (!split.converged() || !std::isfinite(split.pressure) || !std::isfinite(split.enthalpy) ||
      !std::isfinite(split.entropy) || !std::isfinite(split.cp) || !std::isfinite(split.molar_volume))
    return false;
  for (const thermo::SlotResult& slot : split.slots)
    if (slot.present && (!std::isfinite(slot.phase_fraction) || !Finite(slot.properties))) return false;
  return true;
}

// The feed of a working record, normalised; empty when it is missing or not a composition.
std::vector<double> RecordFeed(const FluidState& record, std::size_t n) {
  if (record.ComponentCount < 0 || static_cast<std::size_t>(record.ComponentCount) != n ||
      !record.Composition[kFeed])
    return {};
  std::vector<double> feed(record.Composition[kFeed], record.Composition[kFeed] + n);
  double sum = 0.0;
  for (const double x : feed) {
    if (x == EMPTY_VALUE || !std::isfinite(x) || x < 0.0) return {};
    sum += x;
  }
  if (!(sum > 0.0)) return {};
  for (double& x : feed) x /= sum;
  return feed;
}

}  // namespace

PengRobinsonFluid::PengRobinsonFluid(std::shared_ptr<const thermo::ComponentDatabase> database,
                                     StreamConditions stream)
    : database_(std::move(database)),
      stream_(std::move(stream)),
      components_(Records(*database_, stream_)),
      mixture_(thermo::MakeMixture(*database_, stream_.components)),
      flashes_(mixture_),
      saturations_(mixture_) {
  stream_.composition = thermo::NormalisedComposition(stream_.composition, components_.size());
  if (std::isfinite(stream_.temperature_c) && stream_.pressure_kpa > 0.0 &&
      std::isfinite(stream_.pressure_kpa))
    split_ = flashes_.Flash(stream_.temperature_c + kKelvinOffset, stream_.pressure_kpa, stream_.composition);
}

std::optional<std::string> PengRobinsonFluid::Refusal(const thermo::ComponentDatabase& database,
                                                      const StreamConditions& stream) {
  if (std::optional<std::string> outside = OutsideValidityWindow(stream)) return outside;
  try {
    Records(database, stream);
    thermo::MakeMixture(database, stream.components);
    thermo::NormalisedComposition(stream.composition, stream.components.size());
  } catch (const std::exception& e) {
    return e.what();
  }
  return std::nullopt;
}

ComPtr<PengRobinsonFluid> PengRobinsonFluid::Create(std::shared_ptr<const thermo::ComponentDatabase> database,
                                                    StreamConditions stream, std::string& error) {
  if (const std::optional<std::string> outside = OutsideValidityWindow(stream)) {
    error = *outside;
    return {};
  }
  try {
    return ComPtr<PengRobinsonFluid>::Adopt(new PengRobinsonFluid(std::move(database), std::move(stream)));
  } catch (const std::exception& e) {
    error = e.what();
    return {};
  }
}

HRESULT PengRobinsonFluid::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IHostFluid))
    *object = static_cast<IHostFluid*>(this);
  else if (IsEqualIID(iid, IID_IHostFlash))
    *object = static_cast<IHostFlash*>(this);
  else if (IsEqualIID(iid, IID_IHostFluid2))
    *object = static_cast<IHostFluid2*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

HRESULT PengRobinsonFluid::GetArray(const char* name, int* count, double** array) {
  if (!name || !count || !array) return E_POINTER;
  std::optional<std::vector<double>> values;
  try {
    values = NamedArrayValues(name, NamedArraySource{stream_, components_, split_});
  } catch (const std::exception&) {
    return E_FAIL;
  }
  if (!values) return E_INVALIDARG;
  auto* fresh =
      static_cast<double*>(CoTaskMemAlloc(std::max<std::size_t>(values->size(), 1) * sizeof(double)));
  if (!fresh) return E_OUTOFMEMORY;
  std::memcpy(fresh, values->data(), values->size() * sizeof(double));
  // The caller hands back its previous array; this host replaces it.
  CoTaskMemFree(*array);
  *array = fresh;
  *count = static_cast<int>(values->size());
  return S_OK;
}

HRESULT PengRobinsonFluid::GetState(FluidState* state) {
  if (!state) return E_POINTER;
  if (!Reportable(split_)) return E_FAIL;
  return WriteStreamState(split_, stream_.composition, stream_.temperature_c, *state) ? S_OK : E_OUTOFMEMORY;
}

HRESULT PengRobinsonFluid::GetComponentCount(int* count) {
  if (!count) return E_POINTER;
  *count = static_cast<int>(components_.size());
  return S_OK;
}

HRESULT PengRobinsonFluid::GetComponentName(int index, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  if (index < 0 || static_cast<std::size_t>(index) >= components_.size()) return E_INVALIDARG;
  *name = AsciiBstr(components_[static_cast<std::size_t>(index)]->name);
  return *name ? S_OK : E_OUTOFMEMORY;
}

HRESULT PengRobinsonFluid::GetTransport(FluidState* state) {
  if (!state) return E_POINTER;
  if (!Reportable(split_)) return E_FAIL;
  for (int k = 0; k < PhaseSlotCount; ++k) state->Viscosity[k] = EMPTY_VALUE;
  for (int k = 0; k < thermo::kPhaseSlotCount; ++k) {
    const thermo::SlotResult& slot = split_.slots[static_cast<std::size_t>(k)];
    const std::optional<double> viscosity = slot.properties.kinematic_viscosity;
    if (slot.present && viscosity && std::isfinite(*viscosity)) state->Viscosity[k] = *viscosity;
  }
  if (split_.kinematic_viscosity && std::isfinite(*split_.kinematic_viscosity))
    state->Viscosity[kFeed] = *split_.kinematic_viscosity;
  return S_OK;
}

HRESULT PengRobinsonFluid::GetFlashCount(long long* count) {
  if (!count) return E_POINTER;
  *count = flash_count_;
  return S_OK;
}

HRESULT PengRobinsonFluid::GetMessageCount(int* count) { return messages_.GetCount(count); }

HRESULT PengRobinsonFluid::GetReportedMessage(int index, BSTR* text) {
  return messages_.GetText(index, text);
}

HRESULT PengRobinsonFluid::ClearMessages() {
  messages_.clear();
  return S_OK;
}

HRESULT PengRobinsonFluid::Flash(FluidState* record) {
  if (!record) return E_POINTER;
  ++flash_count_;
  const std::vector<double> feed = RecordFeed(*record, components_.size());
  const double temperature = record->Temperature;
  if (feed.empty() || temperature == EMPTY_VALUE || !std::isfinite(temperature)) return E_INVALIDARG;
  const double kelvin = temperature + kKelvinOffset;
  if (!(kelvin > 0.0)) return E_INVALIDARG;
  try {
    thermo::FlashResult split;
    if (record->Pressure == EMPTY_VALUE) {
      split = saturations_.At(kelvin, record->PhaseFraction[kVapour], feed, tp_flash_count_);
    } else {
      if (!(record->Pressure > 0.0) || !std::isfinite(record->Pressure)) return E_INVALIDARG;
      ++tp_flash_count_;
      split = flashes_.Flash(kelvin, record->Pressure, feed, kHostFlashOptions);
    }
    if (!Reportable(split)) return E_FAIL;
    WriteFlashResults(split, *record);
    return S_OK;
  } catch (const std::exception&) {
    return E_FAIL;
  }
}

HRESULT PengRobinsonFluid::ReportMessage(const char* text) {
  if (!text) return E_POINTER;
  messages_.emplace_back(text);
  return S_OK;
}

HRESULT PengRobinsonFluid::GetStreamName(BSTR* name) {
  if (!name) return E_POINTER;
  *name = AsciiBstr(stream_.name);
  return *name ? S_OK : E_OUTOFMEMORY;
}

}  // namespace tarvox::host
