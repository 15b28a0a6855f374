#include "tarvox/thermo/phase_labels.hpp"

#include <algorithm>
#include <stdexcept>

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

std::array<std::optional<std::size_t>, 3> AssignPhaseSlots(std::span<const PhaseProperties> phases,
                                                           std::optional<std::size_t> water) {
  constexpr std::size_t kSlots = 3;
  if (phases.size() > kSlots) throw std::invalid_argument("at most three phases have slots");
  std::array<std::optional<std::size_t>, kSlots> slots;
  std::array<std::size_t, kSlots> order{0, 1, 2};
  const auto ordered = std::span(order).first(phases.size());
  // Lightest first, equal heaviness in the given order (std::stable_sort would allocate a buffer).
  std::sort(ordered.begin(), ordered.end(), [&phases](std::size_t a, std::size_t b) {
    const double heaviness_a = Heaviness(phases[a]), heaviness_b = Heaviness(phases[b]);
    return heaviness_a < heaviness_b || (heaviness_a == heaviness_b && a < b);
  });

  // The vapour slot takes the lightest phase, and only when it is gas-like; three liquids are the
  // exception, as a phase may not go unreported.
  std::span<const std::size_t> liquids = ordered;
  if (!liquids.empty() && (phases[liquids.front()].gas_like || liquids.size() == kSlots)) {
    slots[0] = liquids.front();
    liquids = liquids.subspan(1);
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
