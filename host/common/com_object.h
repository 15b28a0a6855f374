// A small base for the reference host's COM objects: reference counting, a process-wide count of
// live objects (so tests can prove that every object was released), and QueryInterface over a
// list of interface identifiers.
#pragma once

#include <atomic>
#include <initializer_list>
#include <utility>

#include "common/com.h"

namespace tarvox::host {

// Live objects of one host library.
std::atomic<long>& LiveObjects();

template <typename Primary>
class ComObject : public Primary {
 public:
  ComObject() { ++LiveObjects(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() { --LiveObjects(); }

  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
  ULONG STDMETHODCALLTYPE Release() override {
    const long count = --refs_;
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
  }

 protected:
  // Answers `iid` with `self` when it is one of `iids` (IID_IUnknown always is).
  HRESULT Answer(REFIID iid, void** object, void* self, std::initializer_list<IID> iids) {
    if (!object) return E_POINTER;
    *object = nullptr;
    bool known = IsEqualIID(iid, IID_IUnknown);
    for (const IID& candidate : iids) known = known || IsEqualIID(iid, candidate);
    if (!known) return E_NOINTERFACE;
    *object = self;
    AddRef();
    return S_OK;
  }

 private:
  std::atomic<long> refs_{1};
};

}  // namespace tarvox::host
