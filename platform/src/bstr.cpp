#include <atomic>
#include <cstdlib>
#include <cstring>

#include "tarvox_platform/com_runtime.h"

namespace {

std::atomic<long> live_bstrs{0};

// The 32-bit byte length sits just before the first character.
std::uint32_t* Header(BSTR text) { return reinterpret_cast<std::uint32_t*>(text) - 1; }

}  // namespace

extern "C" BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
  const std::size_t bytes = std::size_t{length} * sizeof(OLECHAR);
  if (bytes > 0xFFFFFFF0u) return nullptr;
  auto* block = static_cast<std::uint32_t*>(std::malloc(sizeof(std::uint32_t) + bytes + sizeof(OLECHAR)));
  if (!block) return nullptr;
  *block = static_cast<std::uint32_t>(bytes);
  BSTR result = reinterpret_cast<BSTR>(block + 1);
  if (text)
    std::memcpy(result, text, bytes);
  else
    std::memset(result, 0, bytes);
  result[length] = 0;
  ++live_bstrs;
  return result;
}

extern "C" BSTR SysAllocString(const OLECHAR* text) {
  if (!text) return nullptr;
  UINT length = 0;
  while (text[length]) ++length;
  return SysAllocStringLen(text, length);
}

extern "C" UINT SysStringLen(BSTR text) {
  return text ? *Header(text) / static_cast<UINT>(sizeof(OLECHAR)) : 0;
}

extern "C" void SysFreeString(BSTR text) {
  if (!text) return;
  --live_bstrs;
  std::free(Header(text));
}

namespace tarvox_platform {
long LiveBstrs() { return live_bstrs.load(); }
}  // namespace tarvox_platform
