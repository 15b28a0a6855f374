#include "host/fluid/saturation_split.h"

#include <algorithm>
#include <vector>

#include "tarvox/thermo/saturation.hpp"

namespace tarvox::host {

namespace {

constexpr double kWaterRichFraction = 0.5;  // the engine's own rule for the aqueous slot

bool WaterRich(const thermo::Mixture& mixture, const std::vector<double>& x) {
  const auto water = mixture.water_index();
  return water && x[*water] > kWaterRichFraction;
}

void Place(thermo::FlashResult& result, int slot, double fraction, thermo::PhaseProperties properties) {
  thermo::SlotResult& target = result.slots[static_cast<std::size_t>(slot)];
  target.present = true;
  target.phase_fraction = fraction;
  result.enthalpy += fraction * properties.enthalpy;
  result.entropy += fraction * properties.entropy;
  result.molar_volume += fraction * properties.molar_volume;
  result.cp += fraction * properties.cp;
  target.properties = std::move(properties);
  ++result.phase_count;
}

}  // namespace

thermo::FlashResult SplitAtVapourFraction(const thermo::Mixture& mixture, double temperature, double beta,
                                          std::span<const double> feed, long long& tp_flashes) {
  thermo::FlashResult result;
  result.temperature = temperature;
  result.feed.assign(feed.begin(), feed.end());
  if (!(beta >= 0.0 && beta <= 1.0)) return result;
  const thermo::SaturationResult saturation =
      thermo::PressureAtVapourFraction(mixture, temperature, beta, feed);
  tp_flashes += saturation.flashes;
  if (!saturation.converged()) return result;
  result.pressure = saturation.pressure;
  if (beta > 0.0) {
    Place(result, thermo::kVapourSlot, beta,
          thermo::EvaluatePhase(mixture, temperature, saturation.pressure, saturation.vapour_composition,
                                thermo::RootChoice::kVapour));
  }
  if (beta < 1.0) {
    const int slot = WaterRich(mixture, saturation.liquid_composition) ? thermo::kAqueousLiquidSlot
                                                                       : thermo::kHydrocarbonLiquidSlot;
    Place(result, slot, 1.0 - beta,
          thermo::EvaluatePhase(mixture, temperature, saturation.pressure, saturation.liquid_composition,
                                thermo::RootChoice::kLiquid));
  }
  result.status = thermo::FlashStatus::kConverged;
  return result;
}

bool SaturationSplits::Holds(double temperature, double beta, std::span<const double> feed) const {
  return held_ && temperature == temperature_ && beta == beta_ &&
         std::equal(feed.begin(), feed.end(), split_.feed.begin(), split_.feed.end());
}

const thermo::FlashResult& SaturationSplits::At(double temperature, double beta, std::span<const double> feed,
                                                long long& tp_flashes) {
  if (!Holds(temperature, beta, feed)) {
    held_ = false;
    split_ = SplitAtVapourFraction(mixture_, temperature, beta, feed, tp_flashes);
    temperature_ = temperature;
    beta_ = beta;
    held_ = true;
  }
  return split_;
}

}  // namespace tarvox::host
