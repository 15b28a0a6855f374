#include "bench/module/stream_hosts.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <vector>

#include "host/fluid/component_data_location.h"
#include "host/tool/sample_streams.h"

namespace tarvox::bench {

namespace {

// Every named array the host fluid offers; the mirror copies those the fluid answers.
constexpr std::array kNamedArrays = {"Molecular Weight",
                                     "Standard Liquid Density",
                                     "Boiling Temperature",
                                     "Heat of Combustion",
                                     "HydrogenAtoms",
                                     "CAS_Numbers",
                                     "ComponentIDs",
                                     "ComponentClass",
                                     "StdLiqMassDensity",
                                     "Cp_Cv",
                                     "Cp_CpR",
                                     "MolarFlow",
                                     "MassFlow",
                                     "LiquidVolumeFlow",
                                     "StdIdealMolarVolume",
                                     "TempUnitFlag",
                                     "FlowBasis",
                                     "CostFactor"};

void CopyNamedArrays(host::PengRobinsonFluid& from, host::ScriptedFluid& to) {
  for (const char* name : kNamedArrays) {
    int count = 0;
    double* values = nullptr;
    const HRESULT status = from.GetArray(name, &count, &values);
    if (SUCCEEDED(status) && values && count > 0) to.arrays[name].assign(values, values + count);
    CoTaskMemFree(values);
  }
}

void CopyState(host::PengRobinsonFluid& from, host::ScriptedFluid& to) {
  FluidState state{};
  if (FAILED(from.GetState(&state))) throw std::runtime_error("the host fluid gave no state");
  const auto n = static_cast<std::size_t>(std::max(state.ComponentCount, 0));
  for (std::size_t k = 0; k < to.compositions.size(); ++k) {
    if (state.Composition[k])
      to.compositions[k] = std::vector<double>(state.Composition[k], state.Composition[k] + n);
    CoTaskMemFree(state.Composition[k]);
    state.Composition[k] = nullptr;
  }
  to.state = state;
  FluidState transport{};
  // Indexed, by value: the packed record leaves these doubles off their natural alignment.
  if (SUCCEEDED(from.GetTransport(&transport)))
    for (std::size_t k = 0; k < to.viscosity.size(); ++k) to.viscosity[k] = transport.Viscosity[k];
}

}  // namespace

ComPtr<host::PengRobinsonFluid> PengRobinsonStream(const host::StreamConditions& stream) {
  std::string error;
  ComPtr<host::PengRobinsonFluid> fluid =
      host::PengRobinsonFluid::Create(host::SharedComponentDatabase(), stream, error);
  if (!fluid) throw std::runtime_error("stream " + stream.name + ": " + error);
  return fluid;
}

ComPtr<host::PengRobinsonFluid> WellStream() {
  return PengRobinsonStream(*tool::SampleStream(tool::kDefaultSample));
}

ComPtr<host::ScriptedFluid> ScriptedMirror(host::PengRobinsonFluid& fluid) {
  auto mirror = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
  CopyState(fluid, *mirror.Get());
  CopyNamedArrays(fluid, *mirror.Get());
  // The cheapest plausible flash: the stream's own split, whatever was asked.
  host::ScriptedFluid* self = mirror.Get();
  mirror->flash = [self](FluidState& record) {
    const FluidState& split = self->state;
    const auto n = static_cast<std::size_t>(std::max(record.ComponentCount, 0));
    record.Pressure = split.Pressure;
    for (int k = 0; k < PhaseSlotCount; ++k) {
      record.MolarEnthalpy[k] = split.MolarEnthalpy[k];
      record.MolarEntropy[k] = split.MolarEntropy[k];
      record.MolarHeatCapacity[k] = split.MolarHeatCapacity[k];
      record.MolarVolume[k] = split.MolarVolume[k];
    }
    for (std::size_t k = 0; k + 1 < PhaseSlotCount; ++k) {
      record.PhaseFraction[k] = split.PhaseFraction[k];
      record.PhasePresent[k] = split.PhasePresent[k];
      const std::optional<std::vector<double>>& x = self->compositions[k];
      if (record.Composition[k] && x && x->size() >= n) std::copy_n(x->begin(), n, record.Composition[k]);
    }
    return S_OK;
  };
  return mirror;
}

}  // namespace tarvox::bench
