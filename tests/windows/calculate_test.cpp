// A correlation created through the registry calculates on a host's stream: the module loads in
// the host process, reaches the scripted fluid through the host's site and writes its values.
#include <array>

#include "framework/correlation_interface.h"
#include "host/site/stream_site.h"
#include "tests/support/scripted_stream.h"
#include "tests/windows/com_test_support.h"

namespace tarvox::windows_tests {
namespace {

constexpr LONG kStreamHandle = 3;

class CalculateThroughTheRegistry : public ObjectsOfRegisteredModuleTest {};

TEST_F(CalculateThroughTheRegistry, MassDensityOfAThreePhaseStreamWritesEveryPhaseAndLeavesSlotFourAlone) {
  CLSID clsid{};
  ASSERT_EQ(S_OK, CLSIDFromProgID(L"Tarvox.MassDensity", &clsid));
  ComPtr<ICorrelation> correlation;
  ASSERT_EQ(S_OK, CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICorrelation,
                                   reinterpret_cast<void**>(correlation.Put())));

  const ComPtr<host::ScriptedFluid> fluid = tarvox::testing::ThreePhaseFluid();
  auto site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  site->AddStream(kStreamHandle, static_cast<IHostFluid*>(fluid.Get()));
  LONG cookie = 0;
  IVariableSet* results = nullptr;  // lent by Connect: the correlation keeps it
  ASSERT_EQ(S_OK, correlation->Connect(site.Get(), kStreamHandle, &cookie, &results));
  ASSERT_EQ(S_OK, correlation->Calculate(cookie));

  ComPtr<IUnknown> found;
  ASSERT_EQ(S_OK, results->FindVariable(L"Phase_Values", found.Put()));
  const auto values = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
  ASSERT_TRUE(values);
  std::array<double, 6> slots{};
  for (int slot = 0; slot < 6; ++slot) ASSERT_EQ(S_OK, values->GetElement(slot, &slots[slot]));

  // Molecular weights of methane, n-hexane and water, and each phase's molar volume (m3/kmol).
  const double mw[3] = {16.04246, 86.17536, 18.01528};
  const auto phase_weight = [&](double a, double b, double c) { return a * mw[0] + b * mw[1] + c * mw[2]; };
  const double stream_volume = 0.5 * 0.80 + 0.3 * 0.14 + 0.2 * 0.019;
  EXPECT_NEAR(slots[0], phase_weight(0.5202, 0.26702, 0.21278) / stream_volume, 1e-9);
  EXPECT_NEAR(slots[1], phase_weight(0.95, 0.03, 0.02) / 0.80, 1e-9);
  EXPECT_NEAR(slots[2], phase_weight(0.15, 0.84, 0.01) / 0.14, 1e-9);
  EXPECT_NEAR(slots[3], phase_weight(0.001, 0.0001, 0.9989) / 0.019, 1e-9);
  EXPECT_EQ(slots[4], EMPTY_VALUE);  // reserved: the frame never writes it
  EXPECT_EQ(slots[5], EMPTY_VALUE);  // no solid

  ASSERT_EQ(S_OK, correlation->Disconnect(cookie));
}

}  // namespace
}  // namespace tarvox::windows_tests
