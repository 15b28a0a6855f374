#include <cstdio>

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
  char narrow[kChars];
  std::snprintf(narrow, sizeof narrow, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2],
                g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  for (int i = 0; i < kChars; ++i) text[i] = static_cast<OLECHAR>(narrow[i]);
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
