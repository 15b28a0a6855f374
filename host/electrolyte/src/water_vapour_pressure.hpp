#pragma once

namespace tarvox::electrolyte {

// Vapour pressure of pure water, Pa, from the triple point to the critical point.
double water_vapour_pressure_Pa(double temperature_K);

}  // namespace tarvox::electrolyte
