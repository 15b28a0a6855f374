#pragma once

#include <optional>
#include <string_view>

#include "solute_totals.hpp"

namespace tarvox::electrolyte {

enum class Property { Ph, Poh, OsmoticCoefficient, IonicStrength, AcidGasSaturationIndex };

// Written where a property has no meaning or the input is unusable.
inline constexpr double kNoValueMarker = 1e35;

// Reads an 8-character key, right-padded with spaces; stops at a terminating zero and never looks past
// 8 characters. Case is ignored.
std::optional<Property> parse_property_key(const char* key);

struct State {
  double temperature_K;
  double pressure_Pa;
};

// Finite value of the property, or empty where it has no meaning for this solution.
std::optional<double> evaluate_property(Property property, const SoluteTotals& totals, const State& state);

}  // namespace tarvox::electrolyte
