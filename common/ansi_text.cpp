#include "common/ansi_text.h"

#include <vector>

namespace tarvox {

BStr AnsiToBstr(std::string_view text) {
  const int length = static_cast<int>(text.size());
  if (length == 0) return BStr(SysAllocStringLen(nullptr, 0));
  const int wide_length = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (wide_length <= 0) return BStr();
  BStr result(SysAllocStringLen(nullptr, static_cast<UINT>(wide_length)));
  if (result) MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.Get(), wide_length);
  return result;
}

std::string WideToAnsi(const OLECHAR* text, int length) {
  if (!text || length == 0) return {};
  const int bytes = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return {};
  std::string out(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), bytes, nullptr, nullptr);
  if (length < 0 && !out.empty()) out.pop_back();  // the converted terminator
  return out;
}

}  // namespace tarvox
