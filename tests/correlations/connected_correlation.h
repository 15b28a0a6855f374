// A correlation created by CLSID through the module's class object and connected to one stream of
// a host site, so tests can run the real Calculate and read "Phase_Values" as the host does.
#pragma once

#include <gtest/gtest.h>

#include "common/com_ptr.h"
#include "common/guid.h"
#include "framework/correlation_interface.h"
#include "host/site/stream_site.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);

namespace tarvox::testing {

class ConnectedCorrelation {
 public:
  ConnectedCorrelation(REFCLSID clsid, IUnknown* fluid) {
    site_ = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
    site_->AddStream(kHandle, fluid);
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
    if (!factory) return;
    EXPECT_EQ(
        factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation_.Put())),
        S_OK);
    if (!correlation_) return;
    IVariableSet* lent = nullptr;  // the clone Connect lends stays the correlation's
    EXPECT_EQ(correlation_->Connect(site_.Get(), kHandle, &cookie_, &lent), S_OK);
    results_ = ComPtr<IVariableSet>::Share(lent);
  }

  HRESULT Calculate() { return correlation_ ? correlation_->Calculate(cookie_) : E_FAIL; }

  double Slot(int slot) const {
    double value = 0.0;
    ComPtr<IUnknown> found;
    if (!results_ || FAILED(results_->FindVariable(OLESTR("Phase_Values"), found.Put()))) return value;
    auto vector = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
    if (!vector || FAILED(vector->GetElement(slot, &value))) ADD_FAILURE() << "no slot " << slot;
    return value;
  }

  // An input variable of the correlation, by its tagged name.
  ComPtr<INumericVariable> NumericInput(const OLECHAR* name) const {
    ComPtr<IVariableSet> inputs;
    ComPtr<IUnknown> found;
    if (!correlation_ || FAILED(correlation_->get_Variables(inputs.Put())) || !inputs ||
        FAILED(inputs->FindVariable(name, found.Put())))
      return nullptr;
    return ComPtr<INumericVariable>::Query(found.Get(), IID_INumericVariable);
  }

 private:
  static constexpr LONG kHandle = 7;
  ComPtr<host::StreamSite> site_;
  ComPtr<ICorrelation> correlation_;
  ComPtr<IVariableSet> results_;
  LONG cookie_ = 0;
};

}  // namespace tarvox::testing
