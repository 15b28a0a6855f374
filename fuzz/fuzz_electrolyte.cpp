// Calls the electrolyte library's entry point with arbitrary keys, conditions, counts, fractions
// and component ids: it must never crash and always write one finite value or the no-value marker.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "entry_point.hpp"
#include "properties.hpp"

namespace {

// Property keys the library knows, so that the fuzzer reaches the evaluations quickly.
constexpr const char* kKnownKeys[] = {"PH", "poh  ", "OSMOT", "IonSx", "SOLINDEX", "SOLINDEXX"};
// Component ids the model knows: water, CO2, H2S, ammonia, the three amines, methanol, and methane and
// n-decane for the gas and the oil.
constexpr std::int32_t kKnownIds[] = {19, 14, 15, 28, 30063, 30064, 30065, 29, 1, 12};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  std::string key;
  const bool null_key = input.ConsumeBool() && input.ConsumeBool();
  if (input.ConsumeBool())
    key = kKnownKeys[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kKnownKeys) - 1)];
  else
    key = input.ConsumeRandomLengthString(32);
  const double temperature = input.ConsumeFloatingPoint<double>();
  const double pressure = input.ConsumeFloatingPoint<double>();
  // The count the caller states, and how many values it really hands over (never fewer).
  const auto count = input.ConsumeIntegralInRange<std::int32_t>(-2, 40);
  const std::size_t handed = count > 0 ? static_cast<std::size_t>(count) : 0;
  const bool null_fractions = input.ConsumeBool() && input.ConsumeBool();
  const bool null_ids = input.ConsumeBool() && input.ConsumeBool();
  std::vector<double> fractions(handed);
  std::vector<std::int32_t> ids(handed);
  for (std::size_t i = 0; i < handed; ++i) {
    fractions[i] = input.ConsumeFloatingPoint<double>();
    ids[i] = input.ConsumeBool()
                 ? kKnownIds[input.ConsumeIntegralInRange<std::size_t>(0, std::size(kKnownIds) - 1)]
                 : input.ConsumeIntegral<std::int32_t>();
  }
  double result = 0.0;
  const std::int32_t status = GetZKTPropSysPropSetProperty(
      null_key ? nullptr : key.c_str(), temperature, pressure, count,
      null_fractions ? nullptr : fractions.data(), null_ids ? nullptr : ids.data(), 0, 2, &result);
  if (status != 0 && status != 1) __builtin_trap();
  if (status == 0 && !std::isfinite(result)) __builtin_trap();
  if (status == 1 && result != tarvox::electrolyte::kNoValueMarker) __builtin_trap();
  if (GetZKTPropSysPropSetProperty("pH", temperature, pressure, 0, nullptr, nullptr, 0, 2, nullptr) != 2)
    __builtin_trap();
  return 0;
}
