#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tarvox/thermo/component_data.hpp"
#include "tarvox/thermo/ideal_gas.hpp"

namespace tarvox::thermo {

// Constants of one component as the equation of state needs them. Components may come from the
// database (MakeMixture) or be given directly, e.g. to reproduce a published case.
struct ComponentConstants {
  std::string name;
  double critical_temperature = 0.0;  // K
  double critical_pressure = 0.0;     // kPa
  double acentric_factor = 0.0;
  double volume_shift = 0.0;     // Peneloux c, m3/kmol (0: untranslated Peng-Robinson)
  double molar_mass = 0.0;       // kg/kmol; 0 = unknown (no mass density or viscosity then)
  double critical_volume = 0.0;  // m3/kmol; 0 = unknown (no viscosity then)
  IdealGasCp ideal_gas_cp;       // all zero = unknown (caloric properties then lack the ideal part)
  bool is_water = false;         // used for the aqueous-phase trial and slot assignment
  // Water, ammonia, amines and physical solvents: they separate from hydrocarbons into a liquid of
  // their own, so a flash looks for a third phase wherever one of them is present.
  bool is_polar = false;
};

// Temperature function of the attractive parameter.
enum class KappaRule {
  kPengRobinson1978,  // 0.379642 + 1.48503 w - 0.164423 w^2 + 0.016666 w^3 for w > 0.491, else classic
  kClassic,           // 0.37464 + 1.54226 w - 0.26992 w^2 for every w
};

// A set of components with their binary interaction parameters (van der Waals one-fluid mixing,
// a_ij = sqrt(a_i a_j) (1 - k_ij)). Immutable once built; cheap to share by const reference.
class Mixture {
 public:
  // kij is row-major n x n, symmetric with a zero diagonal; empty means all zero.
  // Throws std::invalid_argument for non-physical constants or a malformed matrix.
  Mixture(std::vector<ComponentConstants> components, std::vector<double> kij,
          KappaRule kappa_rule = KappaRule::kPengRobinson1978);

  std::size_t size() const { return components_.size(); }
  const ComponentConstants& component(std::size_t i) const { return components_[i]; }
  std::span<const ComponentConstants> components() const { return components_; }
  double kij(std::size_t i, std::size_t j) const { return kij_[i * size() + j]; }
  // Row i of the k_ij matrix, contiguous so that sums over it vectorise.
  std::span<const double> kij_row(std::size_t i) const { return {kij_.data() + i * size(), size()}; }
  // The same row padded with zeros to padded_row_size() entries, an even number, so that a sum over
  // it can take the entries in pairs.
  std::size_t padded_row_size() const { return padded_row_size_; }
  std::span<const double> padded_kij_row(std::size_t i) const {
    return {padded_kij_.data() + i * padded_row_size_, padded_row_size_};
  }
  // The non-zero k_ij of row i, for sums that skip the others, and how many there are in all.
  struct Interaction {
    std::size_t column;
    double kij;
  };
  std::span<const Interaction> interactions(std::size_t i) const {
    return {interactions_.data() + interaction_start_[i], interactions_.data() + interaction_start_[i + 1]};
  }
  std::size_t interaction_count() const { return interactions_.size(); }
  double kappa(std::size_t i) const { return kappa_[i]; }
  // The viscosity-reducing parameter of component i (see ViscosityReducingParameter), kept because
  // every viscosity needs it; 0 when the molar mass is unknown.
  double viscosity_reducing_parameter(std::size_t i) const { return viscosity_reducing_parameter_[i]; }
  std::optional<std::size_t> water_index() const { return water_index_; }

 private:
  std::vector<ComponentConstants> components_;
  std::vector<double> kij_;
  std::size_t padded_row_size_ = 0;
  std::vector<double> padded_kij_;
  std::vector<std::size_t> interaction_start_;  // row i's interactions: [start[i], start[i + 1])
  std::vector<Interaction> interactions_;
  std::vector<double> kappa_;
  std::vector<double> viscosity_reducing_parameter_;
  std::optional<std::size_t> water_index_;
};

// Viscosity-reducing parameter of Lohrenz, Bray & Clark, xi = Tc^(1/6) / (M^(1/2) Pc^(2/3)), with Tc in K,
// Pc in kPa (converted to atm) and M in kg/kmol.
double ViscosityReducingParameter(double critical_temperature, double critical_pressure, double molar_mass);

// Peneloux shift for Peng-Robinson from the Rackett compressibility: c = 0.50033 (0.25969 - Z_RA) R Tc/Pc.
double PenelouxShift(double critical_temperature, double critical_pressure, double rackett_z);

// Builds a mixture from database names (volume-translated, kij from the table, 1978 kappa).
// Throws std::out_of_range for an unknown name.
Mixture MakeMixture(const ComponentDatabase& database, std::span<const std::string> names);

// Copies, checks and normalises a composition to unit sum. Throws std::invalid_argument when the
// size is wrong, an entry is negative or not finite, or the sum is not positive.
std::vector<double> NormalisedComposition(std::span<const double> amounts, std::size_t expected_size);

}  // namespace tarvox::thermo
