#include "entry_point.hpp"

#include "feed.hpp"
#include "properties.hpp"
#include "remembered_partition.hpp"

namespace {

enum Status : std::int32_t { kValueWritten = 0, kMarkerWritten = 1, kNoResultPointer = 2 };

// The first of two liquids is the hydrocarbon liquid, which has no aqueous chemistry.
constexpr std::int32_t kHydrocarbonLiquidCode = 6;

}  // namespace

extern "C" std::int32_t TVXELYTE_CALL GetZKTPropSysPropSetProperty(
    const char* key, double temperature_K, double pressure, std::int32_t component_count,
    const double* mole_fractions, const std::int32_t* component_ids, std::int32_t /*reserved*/,
    std::int32_t phase_code, double* result) {
  using namespace tarvox::electrolyte;
  if (result == nullptr) return kNoResultPointer;
  *result = kNoValueMarker;

  const auto property = parse_property_key(key);
  if (!property) return kMarkerWritten;
  if (phase_code == kHydrocarbonLiquidCode) return kMarkerWritten;
  const auto feed = read_feed(component_count, mole_fractions, component_ids);
  if (!feed) return kMarkerWritten;
  const auto totals = remembered_aqueous_solute_totals(*feed, component_count, mole_fractions, component_ids,
                                                       temperature_K, pressure);
  if (!totals) return kMarkerWritten;
  const auto value = evaluate_property(*property, *totals, State{temperature_K, pressure});
  if (!value) return kMarkerWritten;
  *result = *value;
  return kValueWritten;
}
