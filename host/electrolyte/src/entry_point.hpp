#pragma once

#include <cstdint>

// The host calls with the Windows API convention; on x64 that is the only convention anyway, and off
// Windows the keyword does not exist.
#if defined(_WIN32)
#define TVXELYTE_CALL __stdcall
#define TVXELYTE_EXPORT
#else
#define TVXELYTE_CALL
#define TVXELYTE_EXPORT __attribute__((visibility("default")))
#endif

// Writes one property of the stream's water to *result, or 1e35 where it has no meaning. The overall
// composition is partitioned between gas, hydrocarbon liquid and water at the temperature (K) and
// pressure (Pa) given. phase_code 2 (the stream's water) and 4 (the second of two liquids, the water)
// report the water; 6 (the first of two liquids, the hydrocarbon liquid) always gives the marker.
// Returns 0 when a value was written, 1 for the marker, 2 when result is null.
extern "C" TVXELYTE_EXPORT std::int32_t TVXELYTE_CALL GetZKTPropSysPropSetProperty(
    const char* key, double temperature_K, double pressure, std::int32_t component_count,
    const double* mole_fractions, const std::int32_t* component_ids, std::int32_t reserved,
    std::int32_t phase_code, double* result);

// Pointer type for callers that load the library at run time.
using GetZKTPropSysPropSetPropertyFunction = decltype(&GetZKTPropSysPropSetProperty);
