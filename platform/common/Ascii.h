// Internal to the platform layer: the plain-ASCII fast paths shared by the
// text conversions. Files hold millions of lines, nearly all plain ASCII, so
// the converters widen and test eight bytes or four code units at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace platform::ascii {

constexpr char16_t kReplacement = 0xFFFD;

// Widens the ASCII bytes from s[i] on into o and returns the index of the
// first byte that is not ASCII (or n).
inline size_t WidenAscii(const unsigned char* s, size_t i, size_t n, char16_t*& o) {
  while (n - i >= 8) {
    uint64_t w;
    std::memcpy(&w, s + i, 8);
    if (w & 0x8080808080808080ULL) break;
    for (int k = 0; k < 8; ++k) o[k] = s[i + k];
    o += 8;
    i += 8;
  }
  while (i < n && s[i] < 0x80) *o++ = s[i++];
  return i;
}

// Four UTF-16 code units below 0x80 at once.
inline bool FourAscii(const char16_t* p) {
  uint64_t w;
  std::memcpy(&w, p, 8);
  return (w & 0xFF80FF80FF80FF80ULL) == 0;
}

}  // namespace platform::ascii
