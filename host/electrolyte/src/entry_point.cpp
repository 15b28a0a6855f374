#include "entry_point.hpp"

#include "properties.hpp"
#include "solute_totals.hpp"

namespace {

enum Status : std::int32_t { kValueWritten = 0, kMarkerWritten = 1, kNoResultPointer = 2 };

}  // namespace

extern "C" std::int32_t TVXELYTE_CALL GetZKTPropSysPropSetProperty(
    const char* key, double temperature_K, double pressure, std::int32_t component_count,
    const double* mole_fractions, const std::int32_t* component_ids, std::int32_t /*reserved*/,
    std::int32_t /*phase_code*/, double* result) {
  using namespace tarvox::electrolyte;
  if (result == nullptr) return kNoResultPointer;
  *result = kNoValueMarker;

  const auto property = parse_property_key(key);
  if (!property) return kMarkerWritten;
  const auto totals = solute_totals_from_mole_fractions(component_count, mole_fractions, component_ids);
  if (!totals) return kMarkerWritten;
  const auto value = evaluate_property(*property, *totals, State{temperature_K, pressure});
  if (!value) return kMarkerWritten;
  *result = *value;
  return kValueWritten;
}
