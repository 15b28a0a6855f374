// Drives one correlation class as the host does: class object by CLSID, an instance, one
// connected stream, one Calculate, and the "Phase_Values" it wrote.
#pragma once

#include <gtest/gtest.h>

#include <array>

#include "common/com_ptr.h"
#include "framework/correlation_interface.h"
#include "host/scripted/scripted_fluid.h"
#include "host/site/stream_site.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);

namespace tarvox::testing {

// ResultSlots 0 to 5 after one Calculate of `fluid` by the class `clsid`.
inline std::array<double, 6> CalculateThroughClass(REFCLSID clsid, host::ScriptedFluid* fluid) {
  std::array<double, 6> slots{};
  slots.fill(0.0);
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put())), S_OK);
  if (!factory) return slots;
  ComPtr<ICorrelation> correlation;
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put())),
            S_OK);
  if (!correlation) return slots;
  auto site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  site->AddStream(7, static_cast<IHostFluid*>(fluid));
  LONG cookie = 0;
  IVariableSet* variables = nullptr;  // lent by the correlation, not released here
  EXPECT_EQ(correlation->Connect(site.Get(), 7, &cookie, &variables), S_OK);
  EXPECT_EQ(correlation->Calculate(cookie), S_OK);
  if (!variables) return slots;
  ComPtr<IUnknown> found;
  EXPECT_EQ(variables->FindVariable(OLESTR("Phase_Values"), found.Put()), S_OK);
  auto values = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
  EXPECT_TRUE(values);
  if (!values) return slots;
  for (int slot = 0; slot < 6; ++slot) values->GetElement(slot, &slots[slot]);
  return slots;
}

}  // namespace tarvox::testing
