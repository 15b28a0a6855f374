#include "tarvox/thermo/phase_labels.hpp"

#include <algorithm>
#include <numeric>

namespace tarvox::thermo {
namespace {

double WaterFraction(const PhaseProperties& p, std::optional<std::size_t> water) {
  return water ? p.composition[*water] : 0.0;
}

bool WaterRich(const PhaseProperties& p, std::optional<std::size_t> water) {
  return WaterFraction(p, water) > 0.5;
}

// Mass density when known; otherwise molar density, which orders phases the same way for equal mass.
double Heaviness(const PhaseProperties& p) { return p.mass_density ? *p.mass_density : 1.0 / p.molar_volume; }

}  // namespace

std::array<std::optional<std::size_t>, 3> AssignPhaseSlots(const std::vector<PhaseProperties>& phases,
                                                           std::optional<std::size_t> water) {
  std::array<std::optional<std::size_t>, 3> slots;
  std::vector<std::size_t> order(phases.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&phases](std::size_t a, std::size_t b) {
    return Heaviness(phases[a]) < Heaviness(phases[b]);
  });
  if (phases.size() == 1) {
    const auto& p = phases[0];
    slots[p.gas_like ? 0 : (WaterRich(p, water) ? 2 : 1)] = 0;
  } else if (phases.size() == 2) {
    const std::size_t light = order[0], dense = order[1];
    if (WaterRich(phases[dense], water) && !WaterRich(phases[light], water)) {
      slots[2] = dense;
      slots[phases[light].gas_like ? 0 : 1] = light;
    } else {
      slots[0] = light;
      slots[WaterRich(phases[dense], water) ? 2 : 1] = dense;
    }
  } else if (phases.size() == 3) {
    slots[0] = order[0];
    const bool second_wetter =
        WaterFraction(phases[order[1]], water) > WaterFraction(phases[order[2]], water);
    slots[2] = second_wetter ? order[1] : order[2];
    slots[1] = second_wetter ? order[2] : order[1];
  }
  return slots;
}

}  // namespace tarvox::thermo
