// UTF-8 and UTF-16, converted by hand, and the byte-order marks that name
// them: the same on every system.
//
// The exchange-file reader decodes one line at a time over files of millions
// of lines, nearly all plain ASCII, and the writer encodes the whole file at
// once; so every routine widens or narrows ASCII directly and writes into a
// buffer sized up front.
#include <cstdint>
#include <cstring>

#include "platform/Platform.h"
#include "platform/common/Ascii.h"

namespace platform {
namespace {

using ascii::kReplacement;

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

using ascii::FourAscii;
using ascii::WidenAscii;

template <bool BigEndian>
void Utf16ToText(std::string_view bytes, std::u16string& out) {
  const size_t units = bytes.size() / 2;
  const bool odd = bytes.size() % 2 != 0;
  out.resize(units + (odd ? 1 : 0));
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  char16_t* o = out.data();
  for (size_t k = 0; k < units; ++k) {
    const unsigned a = s[2 * k], b = s[2 * k + 1];
    o[k] = static_cast<char16_t>(BigEndian ? (a << 8 | b) : (b << 8 | a));
  }
  if (odd) o[units] = kReplacement;
}

}  // namespace

void Utf8ToText(std::string_view bytes, std::u16string& out) {
  // Never more code units than bytes: four bytes give at most two.
  const size_t n = bytes.size();
  out.resize(n);
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  char16_t* o = out.data();
  size_t i = 0;
  while (i < n) {
    i = WidenAscii(s, i, n, o);
    if (i == n) break;
    const unsigned b0 = s[i];
    // The range each continuation byte must lie in; the first one is narrowed
    // for the leads where a wider range would mean an overlong form, a
    // surrogate or a value beyond U+10FFFF.
    unsigned need, lo = 0x80, hi = 0xBF;
    char32_t cp;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      need = 1;
      cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      need = 2;
      cp = b0 & 0x0F;
      if (b0 == 0xE0) lo = 0xA0;
      if (b0 == 0xED) hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      need = 3;
      cp = b0 & 0x07;
      if (b0 == 0xF0) lo = 0x90;
      if (b0 == 0xF4) hi = 0x8F;
    } else {
      *o++ = kReplacement;
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool whole = true;
    for (unsigned k = 0; k < need; ++k, ++j) {
      if (j == n || s[j] < lo || s[j] > hi) {
        whole = false;
        break;
      }
      cp = cp << 6 | (s[j] & 0x3F);
      lo = 0x80;
      hi = 0xBF;
    }
    i = j;
    // A broken sequence is replaced once for its lead and the continuation
    // bytes that fit; the byte that broke it starts afresh.
    if (!whole) {
      *o++ = kReplacement;
    } else if (cp >= 0x10000) {
      cp -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (cp >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *o++ = static_cast<char16_t>(cp);
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

void Utf16LeToText(std::string_view bytes, std::u16string& out) { Utf16ToText<false>(bytes, out); }

void Utf16BeToText(std::string_view bytes, std::u16string& out) { Utf16ToText<true>(bytes, out); }

std::string TextToUtf8(std::u16string_view text) {
  const size_t n = text.size();
  const char16_t* t = text.data();
  // Measure first, so the result is allocated once at its final size.
  size_t len = 0;
  for (size_t i = 0; i < n;) {
    if (n - i >= 4 && FourAscii(t + i)) {
      len += 4;
      i += 4;
      continue;
    }
    const char16_t c = t[i++];
    if (c < 0x80) {
      len += 1;
    } else if (c < 0x800) {
      len += 2;
    } else if (IsHighSurrogate(c) && i < n && IsLowSurrogate(t[i])) {
      len += 4;
      ++i;
    } else {
      len += 3;  // the rest of the BMP, and a lone surrogate written as U+FFFD
    }
  }
  std::string out(len, '\0');
  auto* o = reinterpret_cast<unsigned char*>(out.data());
  for (size_t i = 0; i < n;) {
    if (n - i >= 4 && FourAscii(t + i)) {
      for (int k = 0; k < 4; ++k) o[k] = static_cast<unsigned char>(t[i + k]);
      o += 4;
      i += 4;
      continue;
    }
    char32_t c = t[i++];
    if (c < 0x80) {
      *o++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
      *o++ = static_cast<unsigned char>(0xC0 | c >> 6);
      *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (IsHighSurrogate(static_cast<char16_t>(c)) && i < n && IsLowSurrogate(t[i])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (t[i++] - 0xDC00);
      *o++ = static_cast<unsigned char>(0xF0 | c >> 18);
      *o++ = static_cast<unsigned char>(0x80 | (c >> 12 & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
      if (IsHighSurrogate(static_cast<char16_t>(c)) || IsLowSurrogate(static_cast<char16_t>(c))) c = kReplacement;
      *o++ = static_cast<unsigned char>(0xE0 | c >> 12);
      *o++ = static_cast<unsigned char>(0x80 | (c >> 6 & 0x3F));
      *o++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

TextEncoding TakeByteOrderMark(std::string_view& bytes) {
  static constexpr struct {
    std::string_view mark;
    TextEncoding encoding;
  } kMarks[] = {{"\xEF\xBB\xBF", TextEncoding::Utf8},
                {"\xFF\xFE", TextEncoding::Utf16Le},
                {"\xFE\xFF", TextEncoding::Utf16Be}};
  for (const auto& m : kMarks) {
    if (bytes.starts_with(m.mark)) {
      bytes.remove_prefix(m.mark.size());
      return m.encoding;
    }
  }
  return TextEncoding::Ansi;
}

void DecodeByMark(std::string_view bytes, std::u16string& out) {
  switch (TakeByteOrderMark(bytes)) {
    case TextEncoding::Utf8:
      return Utf8ToText(bytes, out);
    case TextEncoding::Utf16Le:
      return Utf16LeToText(bytes, out);
    case TextEncoding::Utf16Be:
      return Utf16BeToText(bytes, out);
    case TextEncoding::Ansi:
      break;
  }
  AnsiToText(bytes, out);
}

}  // namespace platform
