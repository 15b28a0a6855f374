// FluidState: the fixed-layout record (308 bytes, no padding) through which the host hands over
// a stream's state, and the layout of every flash working record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvox {

inline constexpr double EMPTY_VALUE = -32767.0;
inline constexpr int PhaseSlotCount = 5;

// PhaseIndex: 0 vapour, 1 first liquid, 2 second liquid, 3 solid, 4 the whole stream.
enum PhaseIndex : int { kVapour = 0, kLiquid1 = 1, kLiquid2 = 2, kSolid = 3, kFeed = 4 };

#pragma pack(push, 4)
struct FluidState {
  double Temperature;  // °C
  double Pressure;     // kPa
  std::int32_t ComponentCount;
  double* Composition[5];  // per PhaseIndex, n mole fractions, task allocator
  double MolarEnthalpy[5];
  double MolarEntropy[5];
  double MolarHeatCapacity[5];
  double MolarVolume[5];  // m³/kmol
  double PhaseFraction[4];
  std::int32_t PhasePresent[4];  // 1 present, 0 absent, -32767 in a record not yet flashed
  double Viscosity[5];           // filled by the host's GetTransport only
};
#pragma pack(pop)

static_assert(sizeof(void*) == 8, "the record holds 64-bit pointers");
static_assert(sizeof(FluidState) == 308);
static_assert(offsetof(FluidState, Temperature) == 0);
static_assert(offsetof(FluidState, Pressure) == 8);
static_assert(offsetof(FluidState, ComponentCount) == 16);
static_assert(offsetof(FluidState, Composition) == 20);
static_assert(offsetof(FluidState, MolarEnthalpy) == 60);
static_assert(offsetof(FluidState, MolarEntropy) == 100);
static_assert(offsetof(FluidState, MolarHeatCapacity) == 140);
static_assert(offsetof(FluidState, MolarVolume) == 180);
static_assert(offsetof(FluidState, PhaseFraction) == 220);
static_assert(offsetof(FluidState, PhasePresent) == 252);
static_assert(offsetof(FluidState, Viscosity) == 268);

}  // namespace tarvox
