// The vapour-pressure classes end to end: created through the module's class objects, connected
// to a host site and calculated, with the second fluid interface and the removal threshold.
#include <gtest/gtest.h>

#include "calculator/property_calculator.h"
#include "common/guid.h"
#include "framework/correlation_interface.h"
#include "host/site/stream_site.h"
#include "tests/support/raoult_mixture.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);

namespace tarvox {
namespace {

using namespace testing;

constexpr CLSID kReidClass = ParseGuid("{E875B49F-F28F-4D79-8FCE-2C976819F19B}");
constexpr CLSID kTrueClass = ParseGuid("{5095C7EA-352B-4A9E-99E7-3AA35A907617}");
constexpr LONG kHandle = 7;

// One correlation connected to one stream of a host site.
class Connected {
 public:
  Connected(const CLSID& clsid, IUnknown* fluid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put())),
              S_OK);
    site_->AddStream(kHandle, fluid);
    EXPECT_EQ(correlation->Connect(site_.Get(), kHandle, &cookie_, &results_), S_OK);
  }

  HRESULT Calculate() { return correlation->Calculate(cookie_); }
  double Slot(int slot) {
    ComPtr<IUnknown> found;
    EXPECT_EQ(results_->FindVariable(OLESTR("Phase_Values"), found.Put()), S_OK);
    auto values = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
    double value = 0.0;
    EXPECT_EQ(values->GetElement(slot, &value), S_OK);
    return value;
  }
  void SetInput(const OLECHAR* name, double value) {
    ComPtr<IVariableSet> inputs;
    ASSERT_EQ(correlation->get_Variables(inputs.Put()), S_OK);
    ComPtr<IUnknown> found;
    ASSERT_EQ(inputs->FindVariable(name, found.Put()), S_OK);
    auto number = ComPtr<INumericVariable>::Query(found.Get(), IID_INumericVariable);
    ASSERT_TRUE(number);
    ASSERT_EQ(number->SetValue(value), S_OK);
  }

  ComPtr<ICorrelation> correlation;

 private:
  ComPtr<host::StreamSite> site_ = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  LONG cookie_ = 0;
  IVariableSet* results_ = nullptr;  // lent by Connect
};

TEST(VapourPressureFrames, ReidValueOfEachPhaseWithTheRemovalThreshold) {
  const RaoultMixture mixture({kMethane, kPropane, kHexane});
  const std::vector<double> z{0.01, 0.39, 0.6};
  auto fluid = mixture.Stream(z);
  Connected reid(kReidClass, static_cast<IHostFluid*>(fluid.Get()));
  reid.SetInput(OLESTR("RemoveNCmolPercent"), 1.5);
  ASSERT_EQ(reid.Calculate(), S_OK);

  const std::vector<double> without_methane{0.0, 0.39 / 0.99, 0.6 / 0.99};
  EXPECT_NEAR(mixture.VolumeRatio(without_methane.data(), reid.Slot(0)), 4.0, 1.0001e-5);
  EXPECT_NEAR(mixture.VolumeRatio(without_methane.data(), reid.Slot(2)), 4.0, 1.0001e-5);  // the liquid
  EXPECT_EQ(reid.Slot(1), EMPTY_VALUE);                                                    // no vapour
  EXPECT_TRUE(fluid->messages.empty());
  EXPECT_EQ(GetPropertyCalculator().Fluid2(), nullptr);  // held only while calculating
}

TEST(VapourPressureFrames, TrueValueNeedsTheSecondFluidInterface) {
  const RaoultMixture mixture({kPropane, kHexane});
  auto fluid = mixture.Stream({0.25, 0.75});
  Connected tvp(kTrueClass, static_cast<IHostFluid*>(fluid.Get()));
  ASSERT_EQ(tvp.Calculate(), S_OK);
  EXPECT_NEAR(tvp.Slot(0), 0.25 * 1300.0 + 0.75 * 34.2, 1e-9);

  fluid->offer_fluid2 = false;
  auto other = mixture.Stream({0.5, 0.5});
  other->offer_fluid2 = false;
  Connected refused(kTrueClass, static_cast<IHostFluid*>(other.Get()));
  EXPECT_EQ(refused.Calculate(), E_FAIL);
  EXPECT_EQ(refused.Slot(0), EMPTY_VALUE);  // nothing written
  EXPECT_EQ(other->flash_count, 0);
}

}  // namespace
}  // namespace tarvox
