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

  // The vapour slot takes the lightest phase, and only when it is gas-like; three liquids are the
  // exception, as a phase may not go unreported.
  std::vector<std::size_t> liquids = order;
  if (!liquids.empty() && (phases[liquids.front()].gas_like || liquids.size() == 3)) {
    slots[0] = liquids.front();
    liquids.erase(liquids.begin());
  }
  if (liquids.size() == 1) {
    slots[WaterRich(phases[liquids[0]], water) ? 2 : 1] = liquids[0];
  } else if (liquids.size() == 2) {
    // Hydrocarbon-rich first, water-rich second; on equal water the denser counts as the wetter.
    const bool lighter_wetter =
        WaterFraction(phases[liquids[0]], water) > WaterFraction(phases[liquids[1]], water);
    slots[2] = lighter_wetter ? liquids[0] : liquids[1];
    slots[1] = lighter_wetter ? liquids[1] : liquids[0];
  }
  return slots;
}

}  // namespace tarvox::thermo
