// A non-finite value from the host must never turn into a finite result that depends on it.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "bench/module/stream_hosts.h"
#include "host/tool/sample_streams.h"
#include "tests/support/correlation_harness.h"

namespace tarvox {
namespace {

// One double the host hands over, and a way to replace it.
struct HostValue {
  std::string label;
  std::function<void(double)> set;
  double original;
};

void AddStateValue(std::vector<HostValue>& values, FluidState& state, const std::string& label,
                   std::size_t offset) {
  auto* bytes = reinterpret_cast<unsigned char*>(&state) + offset;
  double original = 0.0;
  std::memcpy(&original, bytes, sizeof original);
  values.push_back({label, [bytes](double v) { std::memcpy(bytes, &v, sizeof v); }, original});
}

void AddVector(std::vector<HostValue>& values, std::vector<double>& vector, const std::string& label) {
  for (std::size_t i = 0; i < vector.size(); ++i)
    values.push_back(
        {label + "[" + std::to_string(i) + "]", [&vector, i](double v) { vector[i] = v; }, vector[i]});
}

// Every double of the state, of the compositions, of the transport values and of the named arrays.
std::vector<HostValue> HostValues(host::ScriptedFluid& fluid) {
  std::vector<HostValue> values;
  FluidState& s = fluid.state;
  AddStateValue(values, s, "Temperature", offsetof(FluidState, Temperature));
  AddStateValue(values, s, "Pressure", offsetof(FluidState, Pressure));
  for (std::size_t k = 0; k < PhaseSlotCount; ++k) {
    const std::string slot = "[" + std::to_string(k) + "]";
    const std::size_t step = k * sizeof(double);
    AddStateValue(values, s, "MolarEnthalpy" + slot, offsetof(FluidState, MolarEnthalpy) + step);
    AddStateValue(values, s, "MolarEntropy" + slot, offsetof(FluidState, MolarEntropy) + step);
    AddStateValue(values, s, "MolarHeatCapacity" + slot, offsetof(FluidState, MolarHeatCapacity) + step);
    AddStateValue(values, s, "MolarVolume" + slot, offsetof(FluidState, MolarVolume) + step);
    if (k < 4) AddStateValue(values, s, "PhaseFraction" + slot, offsetof(FluidState, PhaseFraction) + step);
    if (fluid.compositions[k]) AddVector(values, *fluid.compositions[k], "Composition" + slot);
    values.push_back(
        {"Viscosity" + slot, [&fluid, k](double v) { fluid.viscosity[k] = v; }, fluid.viscosity[k]});
  }
  for (auto& [name, array] : fluid.arrays) AddVector(values, array, name);
  return values;
}

// An infinity can turn finite in arithmetic (1 / inf is 0), so it is tried beside NaN.
constexpr double kNonFinite[] = {std::numeric_limits<double>::quiet_NaN(),
                                 std::numeric_limits<double>::infinity(),
                                 -std::numeric_limits<double>::infinity()};

class NonFiniteHostValue : public ::testing::TestWithParam<std::string_view> {};

TEST_P(NonFiniteHostValue, GivesNoValueOrTheValueThatNeverReadIt) {
  auto fluid = bench::ScriptedMirror(*bench::PengRobinsonStream(*tool::SampleStream(GetParam())).Get());
  const std::vector<HostValue> values = HostValues(*fluid.Get());
  for (const ClassInfo& info : ClassCatalogue()) {
    testing::ConnectedCorrelation correlation(info.clsid, fluid.Get());
    ASSERT_EQ(correlation.Calculate(), S_OK) << info.name;
    double expected[6];
    for (int slot : kResultSlots) expected[slot] = correlation.Slot(slot);
    for (const HostValue& value : values) {
      for (const double non_finite : kNonFinite) {
        value.set(non_finite);
        ASSERT_EQ(correlation.Calculate(), S_OK) << info.name;
        for (int slot : kResultSlots) {
          const double written = correlation.Slot(slot);
          if (written != EMPTY_VALUE) {
            EXPECT_EQ(written, expected[slot])
                << info.name << " slot " << slot << ", " << non_finite << " in " << value.label;
          }
        }
      }
      value.set(value.original);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(SampleStreams, NonFiniteHostValue, ::testing::Values("wellstream", "amine"));

}  // namespace
}  // namespace tarvox
