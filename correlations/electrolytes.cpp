// pH, pOH, osmotic coefficient, ionic strength and solubility index of a stream's liquid, all
// computed by the electrolyte-property library that the module loads from the host's folder.
#include "correlations/electrolytes.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>

#include "calculator/property_calculator.h"

namespace tarvox {

#ifdef _WIN32
const char kStoredElectrolyteLibraryName[] = "[4ZB7^KV]J45";
#else
const char kStoredElectrolyteLibraryName[] = "K3O;Q[-],ZIZ";
#endif

namespace {

using ElectrolyteEntryPoint = std::int32_t(STDMETHODCALLTYPE*)(const char* key, double temperature_kelvin,
                                                               double pressure, std::int32_t component_count,
                                                               const double* mole_fractions,
                                                               const std::int32_t* component_ids,
                                                               std::int32_t reserved, std::int32_t phase_code,
                                                               double* result);

constexpr unsigned kScramblingSeed = 0x5CA1AB1Eu;
constexpr DWORD kPathBufferSize = 260;
constexpr double kKelvinOffset = 273.15;
constexpr double kPascalPerKilopascal = 1000.0;

// Module-wide, overwritten by every evaluation that reaches the loader. The library is never
// unloaded: it stays for the life of the host process.
HMODULE electrolyte_library = nullptr;
ElectrolyteEntryPoint electrolyte_entry_point = nullptr;

bool IsPathSeparator(char c) {
#ifdef _WIN32
  return c == '\\';
#else
  return c == '\\' || c == '/';
#endif
}

// The library's answer to inputs that are no numbers would be a number: it is not asked.
bool AllFinite(const ElectrolyteArguments& args) {
  if (!std::isfinite(args.temperature_kelvin) || !std::isfinite(args.pressure_pascal)) return false;
  for (int i = 0; i < args.component_count; ++i)
    if (!std::isfinite(args.mole_fractions[i])) return false;
  return true;
}

double Evaluate(CPropertyCalculator& calculator, int phase, const char* key, bool marker_means_empty) {
  if (!calculator.LoadFluidState()) return EMPTY_VALUE;
  const int phase_code = ElectrolytePhaseCode(calculator.State, phase);
  if (phase_code == 0) return EMPTY_VALUE;

  const auto result = std::make_unique<double>(EMPTY_VALUE);
  electrolyte_library = LoadElectrolyteLibrary(kStoredElectrolyteLibraryName);
  if (!electrolyte_library) return EMPTY_VALUE;
  electrolyte_entry_point = reinterpret_cast<ElectrolyteEntryPoint>(
      reinterpret_cast<void*>(GetProcAddress(electrolyte_library, "GetZKTPropSysPropSetProperty")));
  if (!electrolyte_entry_point) return EMPTY_VALUE;

  const double* ids = calculator.ComponentArray("ComponentIDs");
  if (!ids) return EMPTY_VALUE;
  const std::optional<ElectrolyteArguments> args =
      BuildElectrolyteArguments(calculator.State, ids, phase_code);
  if (!args || !AllFinite(*args)) return EMPTY_VALUE;
  electrolyte_entry_point(key, args->temperature_kelvin, args->pressure_pascal, args->component_count,
                          args->mole_fractions, args->component_ids.data(), 0, args->phase_code,
                          result.get());
  return ReportedElectrolyteValue(*result, marker_means_empty);
}

}  // namespace

std::string UnscrambleLibraryName(std::string_view stored) {
  std::srand(kScramblingSeed);
  std::string name;
  for (const char c : stored) {
    auto b = static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(c)));
    b = static_cast<unsigned char>(b - 32);
    b = static_cast<unsigned char>(b ^ (std::rand() % 64));
    b = static_cast<unsigned char>(b + 32);
    name.push_back(static_cast<char>(b));
  }
  return name;
}

HMODULE LoadElectrolyteLibrary(std::string scrambled_name) {
  char executable[kPathBufferSize];
  const DWORD length = GetModuleFileNameA(nullptr, executable, kPathBufferSize);
  if (length == 0 || length >= kPathBufferSize) return nullptr;
  std::string path(executable, length);
  std::size_t folder_length = 0;
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) {
      folder_length = i;
      break;
    }
  }
  // A folder of two characters or fewer (none, or a bare drive) is no place to load from.
  if (folder_length <= 2) return nullptr;
  path.resize(folder_length);
  path += UnscrambleLibraryName(scrambled_name);
  return LoadLibraryA(path.c_str());
}

int ElectrolytePhaseCode(const FluidState& state, int phase) {
  const bool first = state.PhaseFraction[kLiquid1] > 0.0;
  const bool second = state.PhaseFraction[kLiquid2] > 0.0;
  // Whether a liquid is the only one, the hydrocarbon liquid or the water depends on the other
  // liquid's fraction too; one that is no number leaves that open, and the library answers
  // differently for the hydrocarbon liquid.
  const bool both_known =
      !std::isnan(state.PhaseFraction[kLiquid1]) && !std::isnan(state.PhaseFraction[kLiquid2]);
  switch (phase) {
    case kLiquid1:
      return first && both_known ? (second ? 6 : 2) : 0;
    case kLiquid2:
      return second && both_known ? (first ? 4 : 2) : 0;
    case kFeed:
      return first || second ? 2 : 0;
    default:
      return 0;
  }
}

std::optional<ElectrolyteArguments> BuildElectrolyteArguments(const FluidState& state,
                                                              const double* component_ids, int phase_code) {
  const int n = state.ComponentCount;
  const double* overall = state.Composition[kFeed];
  if (!component_ids || (n > 0 && !overall)) return std::nullopt;
  std::vector<std::int32_t> ids;
  ids.reserve(n > 0 ? static_cast<std::size_t>(n) : 0);
  for (int i = 0; i < n; ++i) {
    const double truncated = std::trunc(component_ids[i]);
    if (!(truncated >= std::numeric_limits<std::int32_t>::min() &&
          truncated <= std::numeric_limits<std::int32_t>::max()))
      return std::nullopt;
    ids.push_back(static_cast<std::int32_t>(truncated));
  }
  return ElectrolyteArguments{state.Temperature + kKelvinOffset,
                              state.Pressure * kPascalPerKilopascal,
                              n,
                              overall,
                              std::move(ids),
                              phase_code};
}

double ReportedElectrolyteValue(double stored, bool marker_means_empty) {
  if (!std::isfinite(stored)) return EMPTY_VALUE;
  if (marker_means_empty && stored > 9.9e34 && stored < 1.01e35) return EMPTY_VALUE;
  return stored;
}

double CPropertyCalculator::GetPH(int phase) { return Evaluate(*this, phase, "PH      ", true); }
double CPropertyCalculator::GetPOH(int phase) { return Evaluate(*this, phase, "POH     ", true); }
double CPropertyCalculator::GetOsmoticCoefficient(int phase) {
  return Evaluate(*this, phase, "OSMOT   ", false);
}
double CPropertyCalculator::GetIONSX(int phase) { return Evaluate(*this, phase, "IONSX   ", false); }
double CPropertyCalculator::GetSOLINDEX(int phase) { return Evaluate(*this, phase, "SOLINDEX", false); }

}  // namespace tarvox
