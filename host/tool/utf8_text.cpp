#include "host/tool/utf8_text.h"

namespace tarvox::tool {

std::string Utf8(BSTR text) {
  std::string out;
  for (UINT i = 0; text && i < SysStringLen(text); ++i) {
    const unsigned c = static_cast<unsigned>(text[i]) & 0xFFFFu;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace tarvox::tool
