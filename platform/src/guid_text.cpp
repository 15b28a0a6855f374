#include <cstdint>

#include "tarvox_platform/com_runtime.h"

namespace {

int HexValue(OLECHAR c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Reads `digits` hexadecimal digits at text[pos]; false when one is missing.
bool ReadHex(LPCOLESTR text, int pos, int digits, std::uint32_t& value) {
  value = 0;
  for (int i = 0; i < digits; ++i) {
    const int v = HexValue(text[pos + i]);
    if (v < 0) return false;
    value = value * 16 + static_cast<std::uint32_t>(v);
  }
  return true;
}

}  // namespace

extern "C" int StringFromGUID2(REFGUID g, LPOLESTR text, int length) {
  constexpr int kChars = 39;  // 38 characters and the terminator
  if (!text || length < kChars) return 0;
  // Written digit by digit: every class activation names its CLSID, and a formatted print costs
  // twenty times as much.
  int at = 0;
  const auto put_hex = [&](std::uint32_t value, int digits) {
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
      text[at++] = u"0123456789ABCDEF"[(value >> shift) & 0xF];
  };
  text[at++] = u'{';
  put_hex(g.Data1, 8);
  text[at++] = u'-';
  put_hex(g.Data2, 4);
  text[at++] = u'-';
  put_hex(g.Data3, 4);
  text[at++] = u'-';
  for (int i = 0; i < 8; ++i) {
    if (i == 2) text[at++] = u'-';
    put_hex(g.Data4[i], 2);
  }
  text[at++] = u'}';
  text[at] = 0;
  return kChars;
}

extern "C" HRESULT CLSIDFromString(LPCOLESTR text, CLSID* clsid) {
  if (!text || !clsid) return E_INVALIDARG;
  for (int i = 0; i < 38; ++i)
    if (!text[i]) return CO_E_CLASSSTRING;
  if (text[0] != u'{' || text[9] != u'-' || text[14] != u'-' || text[19] != u'-' || text[24] != u'-' ||
      text[37] != u'}' || text[38] != 0)
    return CO_E_CLASSSTRING;
  std::uint32_t v = 0;
  CLSID g{};
  if (!ReadHex(text, 1, 8, v)) return CO_E_CLASSSTRING;
  g.Data1 = v;
  if (!ReadHex(text, 10, 4, v)) return CO_E_CLASSSTRING;
  g.Data2 = static_cast<std::uint16_t>(v);
  if (!ReadHex(text, 15, 4, v)) return CO_E_CLASSSTRING;
  g.Data3 = static_cast<std::uint16_t>(v);
  constexpr int kBytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, kBytePositions[i], 2, v)) return CO_E_CLASSSTRING;
    g.Data4[i] = static_cast<std::uint8_t>(v);
  }
  *clsid = g;
  return S_OK;
}
