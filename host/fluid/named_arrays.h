// The values behind the host's named arrays: component data, per-phase values of the stream's
// phase split and the stream's flows and settings.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "host/fluid/stream_conditions.h"
#include "tarvox/thermo/component_data.hpp"
#include "tarvox/thermo/flash_tp.hpp"

namespace tarvox::host {

struct NamedArraySource {
  const StreamConditions& stream;
  const std::vector<const thermo::ComponentRecord*>& components;  // in the stream's order
  const thermo::FlashResult& split;                               // at the stream's conditions
};

// The array called `name`, or nothing when the name is unknown or the values do not exist
// (per-phase arrays of a stream whose flash did not converge).
//
// "Heat of Combustion" is the enthalpy of combustion to water vapour (the lower heating value)
// with the thermochemical sign: negative, since heat is released.
std::optional<std::vector<double>> NamedArrayValues(std::string_view name, const NamedArraySource& source);

}  // namespace tarvox::host
