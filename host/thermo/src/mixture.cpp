#include "tarvox/thermo/mixture.hpp"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "tarvox/thermo/constants.hpp"

namespace tarvox::thermo {
namespace {

// Class codes of the component table from here on are amines and physical solvents.
constexpr int kFirstSolventClass = 500;

double Kappa(double w, KappaRule rule) {
  if (rule == KappaRule::kPengRobinson1978 && w > 0.491) {
    return 0.379642 + w * (1.48503 + w * (-0.164423 + w * 0.016666));
  }
  return 0.37464 + w * (1.54226 - w * 0.26992);
}

void CheckComponent(const ComponentConstants& c) {
  const auto fail = [&c](const char* what) {
    throw std::invalid_argument("component '" + c.name + "': " + what);
  };
  if (!(c.critical_temperature > 0.0) || !std::isfinite(c.critical_temperature)) fail("Tc must be positive");
  if (!(c.critical_pressure > 0.0) || !std::isfinite(c.critical_pressure)) fail("Pc must be positive");
  if (!std::isfinite(c.acentric_factor)) fail("acentric factor must be finite");
  if (!std::isfinite(c.volume_shift)) fail("volume shift must be finite");
  if (!(c.molar_mass >= 0.0) || !std::isfinite(c.molar_mass)) fail("molar mass must be >= 0");
  if (!(c.critical_volume >= 0.0) || !std::isfinite(c.critical_volume)) fail("critical volume must be >= 0");
  for (double k : c.ideal_gas_cp.coefficients) {
    if (!std::isfinite(k)) fail("Cp coefficients must be finite");
  }
}

}  // namespace

Mixture::Mixture(std::vector<ComponentConstants> components, std::vector<double> kij, KappaRule kappa_rule)
    : components_(std::move(components)), kij_(std::move(kij)) {
  const std::size_t n = components_.size();
  if (n == 0) throw std::invalid_argument("a mixture needs at least one component");
  if (kij_.empty()) kij_.assign(n * n, 0.0);
  if (kij_.size() != n * n) throw std::invalid_argument("kij matrix must be n x n");
  for (std::size_t i = 0; i < n; ++i) {
    CheckComponent(components_[i]);
    if (kij_[i * n + i] != 0.0) throw std::invalid_argument("kij diagonal must be zero");
    for (std::size_t j = 0; j < n; ++j) {
      const double k = kij_[i * n + j];
      if (!std::isfinite(k) || k <= -1.0 || k >= 1.0 || k != kij_[j * n + i]) {
        throw std::invalid_argument("kij must be symmetric with entries in (-1, 1)");
      }
    }
    kappa_.push_back(Kappa(components_[i].acentric_factor, kappa_rule));
    const auto& c = components_[i];
    viscosity_reducing_parameter_.push_back(
        c.molar_mass > 0.0
            ? ViscosityReducingParameter(c.critical_temperature, c.critical_pressure, c.molar_mass)
            : 0.0);
    if (components_[i].is_water && !water_index_) water_index_ = i;
  }
  padded_row_size_ = n + n % 2;
  padded_kij_.assign(n * padded_row_size_, 0.0);
  interaction_start_.assign(n + 1, 0);
  for (std::size_t i = 0; i < n; ++i) {
    std::copy_n(kij_.begin() + static_cast<std::ptrdiff_t>(i * n), n,
                padded_kij_.begin() + static_cast<std::ptrdiff_t>(i * padded_row_size_));
    interaction_start_[i] = interactions_.size();
    for (std::size_t j = 0; j < n; ++j) {
      if (kij_[i * n + j] != 0.0) interactions_.push_back({j, kij_[i * n + j]});
    }
  }
  interaction_start_[n] = interactions_.size();
}

double ViscosityReducingParameter(double critical_temperature, double critical_pressure, double molar_mass) {
  constexpr double kKiloPascalPerAtmosphere = 101.325;
  return std::pow(critical_temperature, 1.0 / 6.0) /
         (std::sqrt(molar_mass) * std::pow(critical_pressure / kKiloPascalPerAtmosphere, 2.0 / 3.0));
}

double PenelouxShift(double critical_temperature, double critical_pressure, double rackett_z) {
  return 0.50033 * (0.25969 - rackett_z) * kGasConstant * critical_temperature / critical_pressure;
}

Mixture MakeMixture(const ComponentDatabase& database, std::span<const std::string> names) {
  std::vector<ComponentConstants> components;
  for (const auto& name : names) {
    const ComponentRecord& r = database.Get(name);
    ComponentConstants c;
    c.name = r.name;
    c.critical_temperature = r.critical_temperature;
    c.critical_pressure = r.critical_pressure;
    c.acentric_factor = r.acentric_factor;
    c.volume_shift = PenelouxShift(r.critical_temperature, r.critical_pressure, r.rackett_z);
    c.molar_mass = r.molar_mass;
    c.critical_volume = r.critical_volume;
    c.ideal_gas_cp.coefficients = r.cp_ig;
    c.is_water = r.name == "water";
    c.is_polar = c.is_water || r.name == "ammonia" || r.class_code >= kFirstSolventClass;
    components.push_back(std::move(c));
  }
  const std::size_t n = names.size();
  std::vector<double> kij(n * n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) {
      if (i != j) kij[i * n + j] = database.Kij(names[i], names[j]);
    }
  }
  return Mixture(std::move(components), std::move(kij));
}

std::vector<double> NormalisedComposition(std::span<const double> amounts, std::size_t expected_size) {
  if (amounts.size() != expected_size)
    throw std::invalid_argument("composition has the wrong number of entries");
  double sum = 0.0;
  for (double a : amounts) {
    if (!std::isfinite(a) || a < 0.0)
      throw std::invalid_argument("composition entries must be finite and >= 0");
    sum += a;
  }
  if (!(sum > 0.0) || !std::isfinite(sum))
    throw std::invalid_argument("composition must have a positive sum");
  std::vector<double> x(amounts.begin(), amounts.end());
  for (double& v : x) v /= sum;
  return x;
}

}  // namespace tarvox::thermo
