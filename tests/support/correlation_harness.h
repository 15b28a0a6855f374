// Creates correlations through the module's own entry point and connects them to scripted
// streams, as a host does.
#pragma once

#include <string_view>

#include "common/com_ptr.h"
#include "framework/class_info.h"
#include "framework/correlation_interface.h"
#include "host/site/stream_site.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);
extern "C" HRESULT STDMETHODCALLTYPE DllCanUnloadNow();

namespace tarvox::testing {

inline const ClassInfo& Class(std::string_view name) {
  for (const ClassInfo& info : ClassCatalogue())
    if (name == info.name) return info;
  throw "unknown class";
}

inline ComPtr<ICorrelation> CreateCorrelation(std::string_view name) {
  ComPtr<IClassFactory> factory;
  if (FAILED(
          DllGetClassObject(Class(name).clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()))))
    return {};
  ComPtr<ICorrelation> correlation;
  factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put()));
  return correlation;
}

// A correlation connected to one stream of a site; `values` is the connection's lent result set.
struct Connection {
  ComPtr<ICorrelation> correlation;
  ComPtr<host::StreamSite> site;
  LONG cookie = 0;
  IVariableSet* values = nullptr;

  // The connection's "Phase_Values" element at `slot`.
  double Value(int slot) const {
    ComPtr<IUnknown> found;
    values->FindVariable(OLESTR("Phase_Values"), found.Put());
    auto vector = ComPtr<IVariable>::Query(found.Get(), IID_IVariable);
    double value = 0.0;
    vector->GetElement(slot, &value);
    return value;
  }
};

inline Connection Connect(std::string_view name, IUnknown* fluid, LONG handle = 7) {
  Connection c;
  c.correlation = CreateCorrelation(name);
  c.site = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  c.site->AddStream(handle, fluid);
  c.correlation->Connect(static_cast<ICorrelationSite*>(c.site.Get()), handle, &c.cookie, &c.values);
  return c;
}

}  // namespace tarvox::testing
