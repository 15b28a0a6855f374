// The units in which the tool prints each unit-type code: the host's internal units.
#pragma once

#include <string_view>

namespace tarvox::tool {

// The label of a unit-type code; "" for dimensionless values (-1), "?" for a code not in the table.
std::string_view UnitLabel(int unit_type);

}  // namespace tarvox::tool
