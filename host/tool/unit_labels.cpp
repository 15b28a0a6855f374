#include "host/tool/unit_labels.h"

#include <array>
#include <utility>

namespace tarvox::tool {

namespace {

// The one table of unit labels (code -> host unit).
constexpr std::array<std::pair<int, std::string_view>, 20> kUnitLabels = {{
    {-1, ""},      {2, "kPa"},      {7, "kmol/m3"},     {8, "kJ/kmol-C"}, {15, "kJ/kg-C"},
    {16, "kg/m3"}, {18, "m3/h"},    {19, "m3/h (std)"}, {20, "m3/h"},     {25, "m3/kmol"},
    {28, "kg/m3"}, {29, "kJ/kg-C"}, {30, "kJ/kg"},      {70, "m3/h"},     {71, "kJ/kmol"},
    {72, "kJ/kg"}, {85, "kmol/kg"}, {88, "m3/m3"},      {100, "cost/h"},  {185, "m3/m3"},
}};

}  // namespace

std::string_view UnitLabel(int unit_type) {
  for (const auto& [code, label] : kUnitLabels)
    if (code == unit_type) return label;
  return "?";
}

}  // namespace tarvox::tool
