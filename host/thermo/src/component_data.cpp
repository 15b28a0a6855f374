#include "tarvox/thermo/component_data.hpp"

#include <algorithm>
#include <stdexcept>

#include "csv_table.hpp"

namespace tarvox::thermo {
namespace {

std::pair<std::string, std::string> OrderedPair(std::string_view a, std::string_view b) {
  return a < b ? std::pair{std::string(a), std::string(b)} : std::pair{std::string(b), std::string(a)};
}

std::vector<ComponentRecord> ReadComponents(const std::filesystem::path& path) {
  const auto table = detail::CsvTable::Read(path);
  const auto name = table.Column("name");
  const auto formula = table.Column("formula");
  const auto cas = table.Column("cas");
  const auto host_id = table.Column("host_id");
  const auto class_code = table.Column("class_code");
  const auto mw = table.Column("mw_kg_per_kmol");
  const auto tc = table.Column("tc_K");
  const auto pc = table.Column("pc_kPa");
  const auto omega = table.Column("omega");
  const auto vc = table.Column("vc_m3_per_kmol");
  const auto zra = table.Column("zra");
  const auto tb = table.Column("tb_K");
  const auto rho = table.Column("std_liq_density_kg_m3");
  const std::array<std::size_t, 5> cp = {table.Column("cp_ig_A"), table.Column("cp_ig_B"),
                                         table.Column("cp_ig_C"), table.Column("cp_ig_D"),
                                         table.Column("cp_ig_E")};
  const auto cp_tmin = table.Column("cp_tmin_K");
  const auto cp_tmax = table.Column("cp_tmax_K");
  const auto lhv = table.Column("lhv_kJ_per_kmol");
  const auto hhv = table.Column("hhv_kJ_per_kmol");
  const auto h_atoms = table.Column("h_atoms");

  std::vector<ComponentRecord> records;
  for (std::size_t row = 0; row < table.row_count(); ++row) {
    ComponentRecord r;
    r.name = table.Text(row, name);
    if (r.name.empty()) table.Fail(row, name, "empty component name");
    for (const auto& other : records) {
      if (other.name == r.name) table.Fail(row, name, "duplicate component '" + r.name + "'");
    }
    r.formula = table.Text(row, formula);
    r.cas = table.Integer(row, cas);
    r.host_id = static_cast<int>(table.Integer(row, host_id));
    r.class_code = static_cast<int>(table.Integer(row, class_code));
    r.molar_mass = table.Number(row, mw);
    r.critical_temperature = table.Number(row, tc);
    r.critical_pressure = table.Number(row, pc);
    r.acentric_factor = table.Number(row, omega);
    r.critical_volume = table.Number(row, vc);
    r.rackett_z = table.Number(row, zra);
    r.normal_boiling_point = table.Number(row, tb);
    r.standard_liquid_density = table.Number(row, rho);
    for (std::size_t k = 0; k < cp.size(); ++k) r.cp_ig[k] = table.Number(row, cp[k]);
    r.cp_min_temperature = table.Number(row, cp_tmin);
    r.cp_max_temperature = table.Number(row, cp_tmax);
    r.lower_heating_value = table.Number(row, lhv);
    r.higher_heating_value = table.Number(row, hhv);
    r.hydrogen_atoms = table.Number(row, h_atoms);
    if (r.molar_mass <= 0.0) table.Fail(row, mw, "molar mass must be positive");
    if (r.critical_temperature <= 0.0) table.Fail(row, tc, "critical temperature must be positive");
    if (r.critical_pressure <= 0.0) table.Fail(row, pc, "critical pressure must be positive");
    if (r.critical_volume <= 0.0) table.Fail(row, vc, "critical volume must be positive");
    records.push_back(std::move(r));
  }
  return records;
}

}  // namespace

ComponentDatabase ComponentDatabase::Load(const std::filesystem::path& components_csv,
                                          const std::filesystem::path& kij_csv) {
  ComponentDatabase db;
  db.components_ = ReadComponents(components_csv);

  const auto table = detail::CsvTable::Read(kij_csv);
  const auto col_a = table.Column("component_a");
  const auto col_b = table.Column("component_b");
  const auto col_k = table.Column("kij");
  for (std::size_t row = 0; row < table.row_count(); ++row) {
    const std::string_view a = table.Text(row, col_a);
    const std::string_view b = table.Text(row, col_b);
    if (db.Find(a) == nullptr) table.Fail(row, col_a, "unknown component '" + std::string(a) + "'");
    if (db.Find(b) == nullptr) table.Fail(row, col_b, "unknown component '" + std::string(b) + "'");
    if (a == b) table.Fail(row, col_b, "a component cannot interact with itself");
    const double kij = table.Number(row, col_k);
    if (kij <= -1.0 || kij >= 1.0) table.Fail(row, col_k, "kij must lie in (-1, 1)");
    if (!db.kij_.emplace(OrderedPair(a, b), kij).second) table.Fail(row, col_b, "pair listed twice");
  }
  return db;
}

const ComponentRecord* ComponentDatabase::Find(std::string_view name) const {
  const auto it = std::find_if(components_.begin(), components_.end(),
                               [name](const ComponentRecord& r) { return r.name == name; });
  return it == components_.end() ? nullptr : &*it;
}

const ComponentRecord& ComponentDatabase::Get(std::string_view name) const {
  const auto* record = Find(name);
  if (record == nullptr)
    throw std::out_of_range("component '" + std::string(name) + "' is not in the database");
  return *record;
}

double ComponentDatabase::Kij(std::string_view a, std::string_view b) const {
  const auto it = kij_.find(OrderedPair(a, b));
  return it == kij_.end() ? 0.0 : it->second;
}

}  // namespace tarvox::thermo
