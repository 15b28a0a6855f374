#include "module/object_map.h"

#include <array>
#include <new>

#include "module/class_factory.h"
#include "common/com_module.h"

namespace tarvox {

namespace {

std::array<ObjectMapEntry, 52>& Entries() {
  static std::array<ObjectMapEntry, 52> entries;
  static const bool attached = [] {
    const auto catalogue = ClassCatalogue();
    for (std::size_t i = 0; i < entries.size(); ++i) entries[i].info = &catalogue[i];
    return true;
  }();
  (void)attached;
  return entries;
}

}  // namespace

std::span<ObjectMapEntry> ObjectMap() { return Entries(); }

IUnknown* CachedFactory(ObjectMapEntry& entry) {
  if (IUnknown* cached = entry.factory.load()) return cached;
  std::lock_guard<std::mutex> guard(ModuleCriticalSection());
  if (IUnknown* cached = entry.factory.load()) return cached;
  auto* factory = new (std::nothrow) CClassFactory(*entry.info);
  if (!factory) return nullptr;
  IUnknown* unknown = nullptr;
  if (FAILED(factory->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)))) {
    delete factory;
    return nullptr;
  }
  entry.factory.store(unknown);
  return unknown;
}

void ReleaseCachedFactories() {
  for (ObjectMapEntry& entry : Entries())
    if (IUnknown* factory = entry.factory.exchange(nullptr)) factory->Release();
}

}  // namespace tarvox
