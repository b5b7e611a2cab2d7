// The system's ANSI code page through Windows' own tables (code page 932 on
// a Japanese system). UTF-8 and UTF-16 do not depend on the system and are
// shared with the other platforms.
#include <windows.h>

#include <algorithm>
#include <array>
#include <climits>

#include "platform/Platform.h"

namespace platform {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr UINT kUtf8CodePage = 65001;

struct AnsiCodePage {
  UINT cp;
  std::array<bool, 256> lead{};  // bytes that begin a two-byte character
  AnsiCodePage() : cp(GetACP()) {
    for (int b = 0x80; b < 256; ++b) lead[b] = IsDBCSLeadByteEx(cp, static_cast<BYTE>(b)) != 0;
  }
};

const AnsiCodePage& Ansi() {
  static const AnsiCodePage acp;
  return acp;
}

// Decodes a stretch of bytes that begins and ends on character bounds and
// gives the number of bytes it took. Most stretches convert whole. In one
// that holds a byte that starts no character, or a lead byte whose second
// byte does not fit it, the characters before that byte are decoded, the
// byte becomes U+FFFD, and the caller measures afresh from the byte after
// it, since a byte taken for a second byte may itself start a character.
size_t DecodeStretch(const AnsiCodePage& acp, const char* s, size_t n, std::u16string& out) {
  const size_t before = out.size();
  out.resize(before + n);
  wchar_t* const o = reinterpret_cast<wchar_t*>(out.data()) + before;
  const int whole = n <= INT_MAX / 2 ? MultiByteToWideChar(acp.cp, MB_ERR_INVALID_CHARS, s,
                                                           static_cast<int>(n), o, static_cast<int>(n))
                                     : 0;
  if (whole > 0) {
    out.resize(before + static_cast<size_t>(whole));
    return n;
  }
  size_t k = 0, w = 0;
  while (k < n) {
    const unsigned char b = static_cast<unsigned char>(s[k]);
    const int len = acp.lead[b] && k + 1 < n ? 2 : 1;
    const int got = MultiByteToWideChar(acp.cp, MB_ERR_INVALID_CHARS, s + k, len, o + w, 2);
    if (got <= 0 || (len == 1 && acp.lead[b])) {
      o[w++] = static_cast<wchar_t>(kReplacement);
      out.resize(before + w);
      return k + 1;
    }
    w += static_cast<size_t>(got);
    k += static_cast<size_t>(len);
  }
  out.resize(before + w);
  return n;
}

}  // namespace

void AnsiToText(std::string_view bytes, std::u16string& out) {
  const AnsiCodePage& acp = Ansi();
  if (acp.cp == kUtf8CodePage) {
    Utf8ToText(bytes, out);
    return;
  }
  out.clear();
  out.reserve(bytes.size());
  const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t i = 0;
  while (i < n) {
    while (i < n && s[i] < 0x80) out.push_back(s[i++]);
    if (i == n) break;
    // Up to the next ASCII byte that stands on its own: the second byte of
    // a two-byte character may lie in the ASCII range.
    size_t end = i;
    while (end < n && s[end] >= 0x80) end += acp.lead[s[end]] ? 2 : 1;
    end = std::min(end, n);
    // A long stretch in pieces, each ending on a character bound.
    if (end - i > (1u << 20)) {
      size_t stop = i;
      while (stop < end && stop - i < (1u << 20)) stop += acp.lead[s[stop]] ? 2 : 1;
      end = std::min(stop, end);
    }
    i += DecodeStretch(acp, bytes.data() + i, end - i, out);
  }
}

std::string TextToAnsi(std::u16string_view text) {
  const AnsiCodePage& acp = Ansi();
  if (acp.cp == kUtf8CodePage) return TextToUtf8(text);
  std::string out;
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    // Pieces small enough for the API's int counts, never cutting a
    // surrogate pair in two.
    size_t len = std::min<size_t>(n - i, 1u << 28);
    if (i + len < n && text[i + len - 1] >= 0xD800 && text[i + len - 1] <= 0xDBFF) --len;
    const auto* w = reinterpret_cast<const wchar_t*>(text.data() + i);
    // No best fit: a character the code page cannot hold becomes its default
    // character instead of a look-alike ("é" stays "?", not "e").
    const int need = WideCharToMultiByte(acp.cp, WC_NO_BEST_FIT_CHARS, w, static_cast<int>(len),
                                         nullptr, 0, nullptr, nullptr);
    if (need > 0) {
      const size_t at = out.size();
      out.resize(at + static_cast<size_t>(need));
      const int got = WideCharToMultiByte(acp.cp, WC_NO_BEST_FIT_CHARS, w, static_cast<int>(len),
                                          out.data() + at, need, nullptr, nullptr);
      out.resize(at + static_cast<size_t>(std::max(got, 0)));
    }
    i += len;
  }
  return out;
}

}  // namespace platform
