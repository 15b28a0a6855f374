#include <gtest/gtest.h>

#include "host/tool/stream_file.h"

namespace tarvox::tool {
namespace {

std::string Refusal(std::string_view text) {
  try {
    ReadStreamFile(text);
  } catch (const StreamFileError& refused) {
    return refused.what();
  }
  return {};
}

TEST(StreamFile, AmountsAreNormalisedAndSettingsRead) {
  const StreamFile file = ReadStreamFile(R"({"name": "feed", "temperature_C": 40, "pressure_kPa": 3000,
    "molar_flow_kmol_h": 100, "composition": {"methane": 3, "water": 1}, "flow_basis": "Mass",
    "standard_temperature": "60F", "cost_factor": 2.5})");
  ASSERT_EQ(file.stream.composition.size(), 2u);
  EXPECT_DOUBLE_EQ(file.stream.composition[0] + file.stream.composition[1], 1.0);
  EXPECT_EQ(file.stream.flow_basis, 1);
  EXPECT_EQ(file.stream.standard_temperature, host::StandardTemperature::k60F);
}

TEST(StreamFile, NumbersBeyondTheRangeOfADoubleAreRefusedNotThrownThrough) {
  EXPECT_NE(Refusal(R"({"name": "x", "temperature_C": 1e999, "pressure_kPa": 100, "molar_flow_kmol_h": 1,
    "composition": {"water": 1}})")
                .find("range"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvox::tool
