// A host flash for tests: an ideal mixture (Raoult's law with fixed component vapour pressures
// at the flash temperature), an ideal-gas vapour and a liquid of constant component molar
// volumes. It answers flashes at a given pressure and at a given vaporised fraction, including
// the bubble point, and can script a whole stream for the calculator.
#pragma once

#include <cmath>
#include <vector>

#include "calculator/fluid_state.h"
#include "common/com_ptr.h"
#include "host/scripted/scripted_fluid.h"

namespace tarvox::testing {

struct RaoultComponent {
  double id;               // the host's component identifier
  double cas;              // CAS number without hyphens
  double vapour_pressure;  // kPa at the flash temperature
  double liquid_volume;    // m³/kmol
  double molecular_weight;
};

// Vapour pressures at 37.8 °C; the gases' are fictitious but far above any test pressure.
inline const RaoultComponent kMethane{1, 74828, 35000.0, 0.0380, 16.043};
inline const RaoultComponent kNitrogen{13, 7727379, 90000.0, 0.0350, 28.013};
inline const RaoultComponent kPropane{3, 74986, 1300.0, 0.0889, 44.097};
inline const RaoultComponent kButane{5, 106978, 356.0, 0.1014, 58.123};
inline const RaoultComponent kPentane{7, 109660, 107.0, 0.1159, 72.150};
inline const RaoultComponent kHexane{9, 110543, 34.2, 0.1314, 86.177};
inline const RaoultComponent kHeptane{10, 142825, 11.2, 0.1475, 100.204};
inline const RaoultComponent kWater{19, 7732185, 6.56, 0.0181, 18.015};

class RaoultMixture {
 public:
  explicit RaoultMixture(std::vector<RaoultComponent> components) : c_(std::move(components)) {}

  double BubblePressure(const double* z) const {
    double p = 0.0;
    for (std::size_t i = 0; i < c_.size(); ++i) p += z[i] * c_[i].vapour_pressure;
    return p;
  }
  double DewPressure(const double* z) const {
    double s = 0.0;
    for (std::size_t i = 0; i < c_.size(); ++i) s += z[i] / c_[i].vapour_pressure;
    return 1.0 / s;
  }

  // The host's flash contract: feed in Composition[4]; a given Pressure, or an empty one with
  // the vapour PhaseFraction to meet.
  HRESULT Flash(FluidState& r) const {
    const double* z = r.Composition[kFeed];
    if (!z || r.ComponentCount != static_cast<int>(c_.size())) return E_FAIL;
    double beta;
    if (r.Pressure == EMPTY_VALUE) {
      beta = r.PhaseFraction[kVapour];
      if (beta < 0.0 || beta > 1.0) return E_FAIL;
      r.Pressure = PressureAt(z, beta);
    } else {
      if (!(r.Pressure > 0.0)) return E_FAIL;
      beta = VaporisedAt(z, r.Pressure);
    }
    Fill(r, z, beta);
    return S_OK;
  }

  // The vapour-to-liquid volume ratio of the feed z at pressure p, worked out here, apart from
  // the evaluator's own arithmetic.
  double VolumeRatio(const double* z, double p) const {
    const double beta = VaporisedAt(z, p);
    double liquid_volume = 0.0;
    for (std::size_t i = 0; i < c_.size(); ++i) liquid_volume += X(z, i, beta, p) * c_[i].liquid_volume;
    return beta * GasVolume(p) / ((1.0 - beta) * liquid_volume);
  }

  // A stream of this mixture at 25 °C and 500 kPa, all liquid, with feed z.
  ComPtr<host::ScriptedFluid> Stream(const std::vector<double>& z) const {
    auto fluid = ComPtr<host::ScriptedFluid>::Adopt(new host::ScriptedFluid());
    FluidState& s = fluid->state;
    s.Temperature = 25.0;
    s.Pressure = 500.0;
    s.ComponentCount = static_cast<int>(c_.size());
    for (int k = 0; k < PhaseSlotCount; ++k) s.MolarVolume[k] = EMPTY_VALUE;
    s.PhasePresent[kLiquid1] = 1;
    s.PhaseFraction[kLiquid1] = 1.0;
    fluid->compositions[kLiquid1] = z;
    fluid->compositions[kFeed] = z;
    std::vector<double>& ids = fluid->arrays["ComponentIDs"];
    std::vector<double>& cas = fluid->arrays["CAS_Numbers"];
    std::vector<double>& weights = fluid->arrays["Molecular Weight"];
    for (const RaoultComponent& c : c_) {
      ids.push_back(c.id);
      cas.push_back(c.cas);
      weights.push_back(c.molecular_weight);
    }
    fluid->arrays["MolarFlow"] = {100.0};
    fluid->flash = [mixture = *this](FluidState& r) { return mixture.Flash(r); };
    return fluid;
  }

 private:
  static constexpr double kGasConstant = 8.31432;
  static constexpr double kTemperature = 37.778 + 273.15;

  static double GasVolume(double p) { return kGasConstant * kTemperature / p; }
  double K(std::size_t i, double p) const { return c_[i].vapour_pressure / p; }
  double X(const double* z, std::size_t i, double beta, double p) const {
    return z[i] / (1.0 + beta * (K(i, p) - 1.0));
  }
  // Rachford-Rice residual; falls as beta or p rises.
  double Residual(const double* z, double beta, double p) const {
    double f = 0.0;
    for (std::size_t i = 0; i < c_.size(); ++i) f += X(z, i, beta, p) * (K(i, p) - 1.0);
    return f;
  }
  double VaporisedAt(const double* z, double p) const {
    if (p >= BubblePressure(z)) return 0.0;
    if (p <= DewPressure(z)) return 1.0;
    double low = 0.0, high = 1.0;
    for (int i = 0; i < 200; ++i) {
      const double mid = 0.5 * (low + high);
      (Residual(z, mid, p) > 0.0 ? low : high) = mid;
    }
    return 0.5 * (low + high);
  }
  double PressureAt(const double* z, double beta) const {
    if (beta == 0.0) return BubblePressure(z);
    if (beta == 1.0) return DewPressure(z);
    double low = std::log(DewPressure(z)), high = std::log(BubblePressure(z));
    for (int i = 0; i < 200; ++i) {
      const double mid = 0.5 * (low + high);
      (Residual(z, beta, std::exp(mid)) > 0.0 ? low : high) = mid;
    }
    return std::exp(0.5 * (low + high));
  }
  void Fill(FluidState& r, const double* z, double beta) const {
    const double p = r.Pressure;
    double liquid_volume = 0.0;
    for (std::size_t i = 0; i < c_.size(); ++i) {
      const double x = X(z, i, beta, p);
      if (r.Composition[kLiquid1]) r.Composition[kLiquid1][i] = x;
      if (r.Composition[kVapour]) r.Composition[kVapour][i] = K(i, p) * x;
      liquid_volume += x * c_[i].liquid_volume;
    }
    r.PhasePresent[kVapour] = beta > 0.0 ? 1 : 0;
    r.PhasePresent[kLiquid1] = beta < 1.0 ? 1 : 0;
    r.PhasePresent[kLiquid2] = 0;
    r.PhasePresent[kSolid] = 0;
    r.PhaseFraction[kVapour] = beta;
    r.PhaseFraction[kLiquid1] = 1.0 - beta;
    r.PhaseFraction[kLiquid2] = 0.0;
    r.PhaseFraction[kSolid] = 0.0;
    r.MolarVolume[kVapour] = GasVolume(p);
    r.MolarVolume[kLiquid1] = liquid_volume;
  }

  std::vector<RaoultComponent> c_;
};

}  // namespace tarvox::testing
