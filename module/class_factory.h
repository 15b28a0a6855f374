#pragma once

#include <atomic>

#include "framework/class_info.h"

namespace tarvox {

// The one class-factory kind shared by every class of the object map.
class CClassFactory final : public IClassFactory {
 public:
  explicit CClassFactory(const ClassInfo& info) : info_(info) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  // While anyone besides the object map's cache holds the factory, the module stays locked.
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  const ClassInfo& info_;
  std::atomic<LONG> ref_count_{0};
};

}  // namespace tarvox
