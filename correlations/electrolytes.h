// The module's side of the electrolyte-property library: loading it from the host program's
// folder, and the arguments its single entry point takes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator/fluid_state.h"
#include "common/com.h"

namespace tarvox {

// The library's file name as the module stores it: scrambled for this flavour's C run time.
extern const char kStoredElectrolyteLibraryName[];

// The stored name made readable again. Reseeds the C run-time random-number generator.
std::string UnscrambleLibraryName(std::string_view stored);

// Loads the library named by the scrambled text from the folder of the host executable. The
// executable's path is cut after its last '\' — or, on the POSIX flavour whose platform layer
// answers with '/'-separated paths, after its last '/'. Null when there is no usable folder or the
// library does not load.
HMODULE LoadElectrolyteLibrary(std::string scrambled_name);

// The phase code passed to the library for a phase of the loaded state: 2 for the whole liquid,
// 6 and 4 for the first and the second of two liquids; 0 when the phase has no liquid to report on, or
// when a liquid fraction that decides between these codes is no number.
int ElectrolytePhaseCode(const FluidState& state, int phase);

// The values handed to the entry point besides the key, the reserved 0 and the result holder.
struct ElectrolyteArguments {
  double temperature_kelvin;
  double pressure_pascal;
  std::int32_t component_count;
  const double* mole_fractions;  // the overall composition, for every phase
  std::vector<std::int32_t> component_ids;
  std::int32_t phase_code;
};

// Empty when the state has no overall composition or an identifier does not fit 32 bits.
std::optional<ElectrolyteArguments> BuildElectrolyteArguments(const FluidState& state,
                                                              const double* component_ids, int phase_code);

// The value the evaluator reports for what the library stored. For pH and pOH the library's
// 1e35 marker means no value; non-finite values are never reported.
double ReportedElectrolyteValue(double stored, bool marker_means_empty);

}  // namespace tarvox
