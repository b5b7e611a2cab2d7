// Code page 932 through the tables made at build time: see Cp932.h.
#include "platform/portable/Cp932.h"

#include <cerrno>
#include <cstring>

namespace platform::cp932 {

int Decode(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
  while (inLeft > 0) {
    if (outLeft < sizeof(char16_t)) return E2BIG;
    const unsigned char b = static_cast<unsigned char>(in[0]);
    uint16_t c = kByte[b];
    size_t used = 1;
    if (c == kLead) {
      if (inLeft < 2) return EINVAL;
      c = kPair[LeadRow(b)][static_cast<unsigned char>(in[1])];
      used = 2;
    }
    if (c == kNone) return EILSEQ;
    const char16_t unit = c;
    std::memcpy(out, &unit, sizeof unit);
    out += sizeof unit;
    outLeft -= sizeof unit;
    in += used;
    inLeft -= used;
  }
  return 0;
}

int Encode(const char*& in, size_t& inLeft, char*& out, size_t& outLeft) {
  while (inLeft >= sizeof(char16_t)) {
    char16_t u;
    std::memcpy(&u, in, sizeof u);
    if (u >= 0xD800 && u <= 0xDFFF) {
      // A surrogate pair is a character beyond the BMP, where the code page
      // has none; iconv passes over the language tags U+E0000-U+E007F,
      // which are invisible, and writes nothing for them.
      if (u >= 0xDC00) return EILSEQ;
      if (inLeft < 2 * sizeof u) return EINVAL;
      char16_t low;
      std::memcpy(&low, in + sizeof u, sizeof low);
      if (low < 0xDC00 || low > 0xDFFF) return EILSEQ;
      const char32_t c = 0x10000 + ((char32_t{u} - 0xD800) << 10) + (low - 0xDC00);
      if (c >> 7 != 0xE0000 >> 7) return EILSEQ;
      in += 2 * sizeof u;
      inLeft -= 2 * sizeof u;
      continue;
    }
    const uint16_t code = kCode[u];
    if (code == kNone) return EILSEQ;
    const size_t n = code < 0x100 ? 1 : 2;
    if (outLeft < n) return E2BIG;
    if (n == 2) *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
    outLeft -= n;
    in += sizeof u;
    inLeft -= sizeof u;
  }
  return inLeft == 0 ? 0 : EINVAL;
}

}  // namespace platform::cp932
