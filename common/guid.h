// GUIDs written as registry text in the source ("{8-4-4-4-12}"), turned into the binary
// layout at compile time.
#pragma once

#include <string_view>

#include "common/com.h"

namespace tarvox {

namespace detail {
constexpr unsigned HexDigit(char c) {
  if (c >= '0' && c <= '9') return static_cast<unsigned>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<unsigned>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<unsigned>(c - 'A' + 10);
  throw "not a hexadecimal digit";  // only reachable during constant evaluation
}
constexpr unsigned long long Hex(std::string_view text, std::size_t pos, std::size_t digits) {
  unsigned long long value = 0;
  for (std::size_t i = 0; i < digits; ++i) value = value * 16 + HexDigit(text[pos + i]);
  return value;
}
}  // namespace detail

consteval GUID ParseGuid(std::string_view text) {
  if (text.size() != 38 || text[0] != '{' || text[9] != '-' || text[14] != '-' || text[19] != '-' ||
      text[24] != '-' || text[37] != '}')
    throw "GUID text must have the registry form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  GUID g{};
  g.Data1 = static_cast<decltype(g.Data1)>(detail::Hex(text, 1, 8));
  g.Data2 = static_cast<decltype(g.Data2)>(detail::Hex(text, 10, 4));
  g.Data3 = static_cast<decltype(g.Data3)>(detail::Hex(text, 15, 4));
  constexpr std::size_t kBytes[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) g.Data4[i] = static_cast<unsigned char>(detail::Hex(text, kBytes[i], 2));
  return g;
}

}  // namespace tarvox
