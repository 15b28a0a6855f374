// Creates correlations through the module's own entry point and connects them to scripted
// streams, as a host does.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <string_view>

#include "calculator/property_calculator.h"
#include "common/com_ptr.h"
#include "common/guid.h"
#include "framework/class_info.h"
#include "framework/correlation_interface.h"
#include "host/scripted/scripted_fluid.h"
#include "host/site/stream_site.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow();

namespace tarvox::testing {

inline const ClassInfo& Class(std::string_view name) {
  for (const ClassInfo& info : ClassCatalogue())
    if (name == info.name) return info;
  throw "unknown class";
}

inline ComPtr<ICorrelation> CreateCorrelation(REFCLSID clsid) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
  ComPtr<ICorrelation> correlation;
  if (factory)
    factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put()));
  return correlation;
}

inline ComPtr<ICorrelation> CreateCorrelation(std::string_view name) {
  return CreateCorrelation(Class(name).clsid);
}

// The element at `slot` of a connection's "Phase_Values"; EMPTY_VALUE where nothing was written.
inline double PhaseValue(IVariableSet* results, int slot) {
  double value = EMPTY_VALUE;
  ComPtr<IUnknown> found;
  if (!results || FAILED(results->FindVariable(OLESTR("Phase_Values"), found.Put()))) {
    ADD_FAILURE() << "no \"Phase_Values\"";
    return value;
  }
  if (auto vector = ComPtr<IVariable>::Query(found.Get(), IID_IVariable)) vector->GetElement(slot, &value);
  return value;
}

// A correlation connected to one stream of its own site.
class ConnectedCorrelation {
 public:
  static constexpr LONG kHandle = 7;

  ConnectedCorrelation(REFCLSID clsid, IUnknown* fluid) : correlation_(CreateCorrelation(clsid)) {
    site_->AddStream(kHandle, fluid);
    if (!correlation_) return;
    IVariableSet* lent = nullptr;  // the clone Connect lends stays the correlation's
    EXPECT_EQ(correlation_->Connect(site_.Get(), kHandle, &cookie_, &lent), S_OK);
    results_ = ComPtr<IVariableSet>::Share(lent);
  }
  ConnectedCorrelation(std::string_view name, IUnknown* fluid)
      : ConnectedCorrelation(Class(name).clsid, fluid) {}
  ConnectedCorrelation(REFCLSID clsid, host::ScriptedFluid* fluid)
      : ConnectedCorrelation(clsid, static_cast<IHostFluid*>(fluid)) {}

  HRESULT Calculate() { return correlation_ ? correlation_->Calculate(cookie_) : E_FAIL; }
  double Slot(int slot) const { return PhaseValue(results_.Get(), slot); }

  // One of the correlation's numeric inputs, by its tagged name; empty when it has none.
  ComPtr<INumericVariable> NumericInput(const OLECHAR* name) const {
    ComPtr<IVariableSet> inputs;
    ComPtr<IUnknown> found;
    if (!correlation_ || FAILED(correlation_->get_Variables(inputs.Put())) || !inputs ||
        FAILED(inputs->FindVariable(name, found.Put())))
      return nullptr;
    return ComPtr<INumericVariable>::Query(found.Get(), IID_INumericVariable);
  }
  // Sets a numeric input as the user does, through the input set.
  void SetInput(const OLECHAR* name, double value) {
    ComPtr<INumericVariable> input = NumericInput(name);
    ASSERT_TRUE(input);
    ASSERT_EQ(input->SetValue(value), S_OK);
  }

  ICorrelation* Correlation() const { return correlation_.Get(); }
  host::StreamSite& Site() const { return *site_.Get(); }
  LONG Cookie() const { return cookie_; }

 private:
  ComPtr<host::StreamSite> site_ = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  ComPtr<ICorrelation> correlation_;
  ComPtr<IVariableSet> results_;
  LONG cookie_ = 0;
};

// One Calculate of the class on the fluid: the six elements of "Phase_Values".
inline std::array<double, 6> CalculateThroughClass(REFCLSID clsid, host::ScriptedFluid* fluid) {
  ConnectedCorrelation c(clsid, fluid);
  EXPECT_EQ(c.Calculate(), S_OK);
  std::array<double, 6> slots{};
  for (int slot = 0; slot < 6; ++slot) slots[static_cast<std::size_t>(slot)] = c.Slot(slot);
  return slots;
}

// Live task-allocator blocks that someone must still free, beside the host array that the
// calculator keeps across cycles by design.
inline long UnaccountedTaskBlocks() {
  CPropertyCalculator& calculator = GetPropertyCalculator();
  calculator.ResetCache();
  return tarvox_platform::LiveTaskBlocks() - (calculator.NamedArrayBuffer ? 1 : 0);
}

}  // namespace tarvox::testing
