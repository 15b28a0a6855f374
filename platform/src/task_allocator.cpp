#include <atomic>
#include <cstdlib>

#include "tarvox_platform/com_runtime.h"

namespace {
std::atomic<long> live_blocks{0};
}

extern "C" void* CoTaskMemAlloc(std::size_t size) {
  // Windows hands out a valid block for size 0 too.
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block) ++live_blocks;
  return block;
}

extern "C" void* CoTaskMemRealloc(void* block, std::size_t size) {
  if (!block) return CoTaskMemAlloc(size);
  if (size == 0) {
    CoTaskMemFree(block);
    return nullptr;
  }
  return std::realloc(block, size);
}

extern "C" void CoTaskMemFree(void* block) {
  if (!block) return;
  --live_blocks;
  std::free(block);
}

namespace tarvox_platform {
long LiveTaskBlocks() { return live_blocks.load(); }
}  // namespace tarvox_platform
