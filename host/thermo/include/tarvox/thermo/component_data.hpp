#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarvox::thermo {

// One row of the pure-component table, in the table's own units (K, kPa, m3/kmol, kg/kmol, kJ).
struct ComponentRecord {
  std::string name;  // lower case, unique
  std::string formula;
  std::int64_t cas = 0;  // CAS number without hyphens
  int host_id = 0;
  int class_code = 0;                    // 0 hydrocarbon, 1 other, 500 amine, 501 physical solvent
  double molar_mass = 0.0;               // kg/kmol
  double critical_temperature = 0.0;     // K
  double critical_pressure = 0.0;        // kPa
  double acentric_factor = 0.0;          // -
  double critical_volume = 0.0;          // m3/kmol
  double rackett_z = 0.0;                // Z_RA
  double normal_boiling_point = 0.0;     // K
  double standard_liquid_density = 0.0;  // kg/m3 at 288.706 K
  std::array<double, 5> cp_ig{};         // A..E, kJ/(kmol K^(n+1))
  double cp_min_temperature = 0.0;       // K
  double cp_max_temperature = 0.0;       // K
  double lower_heating_value = 0.0;      // kJ/kmol
  double higher_heating_value = 0.0;     // kJ/kmol
  double hydrogen_atoms = 0.0;
};

// Pure-component constants and Peng-Robinson binary interaction parameters read from CSV tables.
// Load() throws DataFileError (see errors.hpp) naming file, line and column for any malformed entry.
class ComponentDatabase {
 public:
  static ComponentDatabase Load(const std::filesystem::path& components_csv,
                                const std::filesystem::path& kij_csv);

  // nullptr when the name is not in the table. Names are matched exactly (the table is lower case).
  const ComponentRecord* Find(std::string_view name) const;
  // Throws std::out_of_range naming the component when it is missing.
  const ComponentRecord& Get(std::string_view name) const;
  // Symmetric; 0 for pairs that the table does not list.
  double Kij(std::string_view a, std::string_view b) const;

  std::span<const ComponentRecord> components() const { return components_; }

 private:
  std::vector<ComponentRecord> components_;
  std::map<std::pair<std::string, std::string>, double, std::less<>> kij_;
};

}  // namespace tarvox::thermo
