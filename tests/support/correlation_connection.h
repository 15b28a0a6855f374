// A correlation created by class identifier through the module's entry point and connected to one
// scripted stream, as a host does it: tests drive Calculate and read "Phase_Values" end to end.
#pragma once

#include <gtest/gtest.h>

#include "calculator/host_fluid.h"
#include "common/com_ptr.h"
#include "framework/correlation_interface.h"
#include "host/site/stream_site.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);

namespace tarvox::testing {

class CorrelationConnection {
 public:
  CorrelationConnection(const CLSID& clsid, IHostFluid* fluid) {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
    if (!factory) return;
    EXPECT_EQ(
        factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation_.Put())),
        S_OK);
    if (!correlation_) return;
    site_->AddStream(kHandle, fluid);
    EXPECT_EQ(correlation_->Connect(site_.Get(), kHandle, &cookie_, &results_), S_OK);
  }

  HRESULT Calculate() { return correlation_ ? correlation_->Calculate(cookie_) : E_FAIL; }

  // The value written into a slot of "Phase_Values"; EMPTY_VALUE when never written.
  double Slot(int slot) const {
    double value = EMPTY_VALUE;
    if (!results_) return value;
    ComPtr<IUnknown> found;
    if (FAILED(results_->FindVariable(OLESTR("Phase_Values"), found.Put()))) return value;
    auto vector = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
    if (vector) vector->GetElement(slot, &value);
    return value;
  }

  // Sets one of the correlation's numeric inputs as the user does, through its input set.
  void SetInput(const OLECHAR* name, double value) {
    ComPtr<IVariableSet> inputs;
    ASSERT_EQ(correlation_->get_Variables(inputs.Put()), S_OK);
    ComPtr<IUnknown> found;
    ASSERT_EQ(inputs->FindVariable(name, found.Put()), S_OK);
    auto numeric = ComPtr<INumericVariable>::Query(found.Get(), IID_INumericVariable);
    ASSERT_TRUE(numeric);
    ASSERT_EQ(numeric->SetValue(value), S_OK);
  }

 private:
  static constexpr LONG kHandle = 7;
  ComPtr<host::StreamSite> site_ = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  ComPtr<ICorrelation> correlation_;
  LONG cookie_ = 0;
  IVariableSet* results_ = nullptr;  // lent by Connect: the correlation's record keeps its reference
};

}  // namespace tarvox::testing
