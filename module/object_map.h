// The object map: one entry per class of the catalogue, in its order, with the class factory
// created on first request and cached until the module terminates.
#pragma once

#include <atomic>
#include <span>

#include "framework/class_info.h"

namespace tarvox {

struct ObjectMapEntry {
  const ClassInfo* info;
  std::atomic<IUnknown*> factory{nullptr};
};

std::span<ObjectMapEntry> ObjectMap();

// The entry's cached factory, created under the module's critical section when missing.
// Null when it cannot be created.
IUnknown* CachedFactory(ObjectMapEntry& entry);
void ReleaseCachedFactories();

}  // namespace tarvox
