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

TEST(StreamFile, AKeyGivenTwiceAtAnyLevelIsRefused) {
  for (const char* text : {
           R"({"name": "x", "name": "y", "temperature_C": 20, "pressure_kPa": 100, "molar_flow_kmol_h": 1,
               "composition": {"water": 1}})",
           R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100, "molar_flow_kmol_h": 1,
               "composition": {"methane": 1, "methane": 2}})",
           R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100, "molar_flow_kmol_h": 1,
               "composition": {"water": 1}, "inputs": {"RVP_100F.RemoveNCmolPercent": 1,
               "RVP_100F.RemoveNCmolPercent": 2}})"})
    EXPECT_NE(Refusal(text).find("given twice"), std::string::npos) << text;
}

TEST(StreamFile, AmountsWhoseSumExceedsTheLargestDoubleAreStillNormalised) {
  const StreamFile file = ReadStreamFile(R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100,
    "molar_flow_kmol_h": 1, "composition": {"methane": 1.5e308, "ethane": 1.5e308}})");
  ASSERT_EQ(file.stream.composition.size(), 2u);
  EXPECT_DOUBLE_EQ(file.stream.composition[0], 0.5);
  EXPECT_DOUBLE_EQ(file.stream.composition[1], 0.5);
}

}  // namespace
}  // namespace tarvox::tool
