#pragma once

namespace tarvox::thermo {

// CODATA 2018 molar gas constant. In the units of this library (kJ, kPa, m3, kmol) one value serves
// both as kJ/(kmol K) and kPa m3/(kmol K).
inline constexpr double kGasConstant = 8.31446261815324;

// Reference state of enthalpy and entropy: every pure component as ideal gas at this temperature
// and pressure has H = 0 and S = 0.
inline constexpr double kReferenceTemperature = 298.15;  // K
inline constexpr double kReferencePressure = 101.325;    // kPa

}  // namespace tarvox::thermo
