// The ANSI code page of this platform is Windows-1252, as on a western Windows installation.
#include <array>

#include "tarvox_platform/com_runtime.h"

namespace {

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 controls, as Windows does.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t ToWide(unsigned char byte) {
  if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
  return byte;
}

bool ToNarrow(char16_t unit, char& byte) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
    byte = static_cast<char>(unit);
    return true;
  }
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == unit) {
      byte = static_cast<char>(0x80 + i);
      return true;
    }
  }
  return false;
}

template <typename Char>
int InputLength(const Char* text, int length) {
  if (length >= 0) return length;
  int n = 0;
  while (text[n]) ++n;
  return n + 1;  // a length of -1 counts the terminator too
}

}  // namespace

extern "C" int MultiByteToWideChar(UINT code_page, DWORD, LPCSTR text, int length, OLECHAR* wide,
                                   int wide_length) {
  if (code_page != CP_ACP || !text) return 0;
  const int count = InputLength(text, length);
  if (wide_length == 0) return count;
  if (!wide || wide_length < count) return 0;
  for (int i = 0; i < count; ++i) wide[i] = ToWide(static_cast<unsigned char>(text[i]));
  return count;
}

extern "C" int WideCharToMultiByte(UINT code_page, DWORD, const OLECHAR* wide, int length, LPSTR text,
                                   int text_length, LPCSTR default_char, BOOL* used_default) {
  if (code_page != CP_ACP || !wide) return 0;
  const int count = InputLength(wide, length);
  if (used_default) *used_default = FALSE;
  if (text_length == 0) return count;
  if (!text || text_length < count) return 0;
  for (int i = 0; i < count; ++i) {
    if (!ToNarrow(wide[i], text[i])) {
      text[i] = default_char ? *default_char : '?';
      if (used_default) *used_default = TRUE;
    }
  }
  return count;
}
