// A correlation created through the module's class factory and connected to one stream of a site
// of its own, as a host connects it.
#pragma once

#include <stdexcept>

#include "common/com_ptr.h"
#include "framework/class_info.h"
#include "framework/correlation_interface.h"
#include "host/site/stream_site.h"

extern "C" HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object);

namespace tarvox::bench {

inline ComPtr<ICorrelation> CreateCorrelation(const ClassInfo& info) {
  ComPtr<IClassFactory> factory;
  ComPtr<ICorrelation> correlation;
  if (FAILED(DllGetClassObject(info.clsid, IID_IClassFactory, reinterpret_cast<void**>(factory.Put()))) ||
      FAILED(factory->CreateInstance(nullptr, IID_ICorrelation, reinterpret_cast<void**>(correlation.Put()))))
    throw std::runtime_error(std::string("cannot create ") + info.name);
  return correlation;
}

class ConnectedCorrelation {
 public:
  ConnectedCorrelation(const ClassInfo& info, IUnknown* fluid) : correlation_(CreateCorrelation(info)) {
    constexpr LONG kHandle = 1;
    site_->AddStream(kHandle, fluid);
    IVariableSet* lent = nullptr;  // the connection's results stay the correlation's
    if (FAILED(correlation_->Connect(site_.Get(), kHandle, &cookie_, &lent)))
      throw std::runtime_error(std::string("cannot connect ") + info.name);
  }
  ConnectedCorrelation(const ConnectedCorrelation&) = delete;
  ConnectedCorrelation& operator=(const ConnectedCorrelation&) = delete;
  ~ConnectedCorrelation() { correlation_->Disconnect(cookie_); }

  HRESULT Calculate() { return correlation_->Calculate(cookie_); }

 private:
  ComPtr<host::StreamSite> site_ = ComPtr<host::StreamSite>::Adopt(new host::StreamSite());
  ComPtr<ICorrelation> correlation_;
  LONG cookie_ = 0;
};

}  // namespace tarvox::bench
