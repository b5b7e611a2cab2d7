// Code page 932 from the tables made at build time (platform/portable/Cp932.h)
// against the system's iconv: the ANSI conversions built on each
// (tests/CMakeLists.txt) must give the same for every byte, every lead byte
// with every second byte, every UTF-16 code unit, every character beyond the
// BMP, and strings that mix them or end inside a character.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <string_view>
#include <vector>

// platform/portable/Text.cpp, built in these namespaces in place of platform.
namespace platform_iconv {
void AnsiToText(std::string_view bytes, std::u16string& out);
std::string TextToAnsi(std::u16string_view text);
}  // namespace platform_iconv
namespace platform_tables {
void AnsiToText(std::string_view bytes, std::u16string& out);
std::string TextToAnsi(std::u16string_view text);
}  // namespace platform_tables

namespace {

template <class String>
std::string Hex(const String& s, size_t most = 24) {
  std::string h;
  for (size_t k = 0; k < s.size() && k < most; ++k) {
    char b[8];
    std::snprintf(b, sizeof b, "%02X ", static_cast<unsigned>(static_cast<std::make_unsigned_t<typename String::value_type>>(s[k])));
    h += b;
  }
  return s.size() > most ? h + "... (" + std::to_string(s.size()) + ")" : h;
}

void ExpectSameDecoding(const std::string& bytes) {
  std::u16string want, got;
  platform_iconv::AnsiToText(bytes, want);
  platform_tables::AnsiToText(bytes, got);
  EXPECT_TRUE(got == want) << Hex(bytes) << "\n gives " << Hex(got) << "\n iconv " << Hex(want);
}

void ExpectSameEncoding(const std::u16string& text) {
  const std::string want = platform_iconv::TextToAnsi(text), got = platform_tables::TextToAnsi(text);
  EXPECT_TRUE(got == want) << Hex(text) << "\n gives " << Hex(got) << "\n iconv " << Hex(want);
}

bool IsLead(int b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

void AppendPair(std::u16string& s, char32_t c) {
  s += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
  s += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
}

TEST(Cp932Tables, DecodeAsIconvDoes) {
  std::string allPairs;
  for (int b = 0; b < 256; ++b) {
    const char lead = static_cast<char>(b);
    ExpectSameDecoding(std::string(1, lead));
    if (!IsLead(b)) continue;
    for (int t = 0; t < 256; ++t) {
      const std::string pair{lead, static_cast<char>(t)};
      ExpectSameDecoding(pair);
      allPairs += pair;
    }
    // A lead byte at the end, after ASCII, a character, a byte that starts
    // none, and another lead byte.
    for (const std::string before : {"", "a", "\x82\xA0", "\x80", "\xFF", "\x81", "\xE0"}) {
      ExpectSameDecoding(before + lead);
    }
  }
  ExpectSameDecoding(allPairs);
  ExpectSameDecoding(allPairs + "\x9F");
}

TEST(Cp932Tables, EncodeAsIconvDoes) {
  std::u16string allUnits;
  for (char32_t u = 0; u < 0x10000; ++u) {
    ExpectSameEncoding(std::u16string(1, static_cast<char16_t>(u)));
    allUnits += static_cast<char16_t>(u);
  }
  ExpectSameEncoding(allUnits);
  // Sixteen characters a string: iconv takes time in proportion to what is
  // left of its input at every character it cannot convert.
  for (char32_t c = 0x10000; c < 0x110000; c += 16) {
    std::u16string beyond;
    for (char32_t d = c; d < c + 16; ++d) AppendPair(beyond, d);
    ExpectSameEncoding(beyond);
  }
  // A lone half of a pair at the end, and halves in the wrong order.
  for (const std::u16string before : {u"", u"a", u"\u3042", u"\uFFFD", u"\xDC00", u"\xD83D"}) {
    for (const char16_t last : {u'\xD83D', u'\xDB40', u'\xDC00', u'\xDFFF'}) ExpectSameEncoding(before + last);
  }
}

// Random strings of everything above, long and short.
TEST(Cp932Tables, MixturesConvertAsIconvDoes) {
  std::mt19937 rng(932);
  auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
  for (int k = 0; k < 20000; ++k) {
    const int length = k % 100 == 0 ? 2000 : 1 + pick(40);
    std::string bytes;
    std::u16string text;
    while (static_cast<int>(bytes.size()) < length) {
      bytes += static_cast<char>(pick(3) == 0 ? 0x20 + pick(0x60) : 0x80 + pick(0x80));
    }
    while (static_cast<int>(text.size()) < length) {
      switch (pick(6)) {
        case 0: text += static_cast<char16_t>(0x20 + pick(0x60)); break;
        case 1: text += static_cast<char16_t>(0x3000 + pick(0x7000)); break;   // mostly kanji
        case 2: text += static_cast<char16_t>(pick(0x10000)); break;
        case 3: text += static_cast<char16_t>(0xD800 + pick(0x800)); break;     // a half of a pair
        case 4: AppendPair(text, 0xE0000 + static_cast<char32_t>(pick(0x100))); break;  // tags and beyond
        default: AppendPair(text, 0x10000 + static_cast<char32_t>(pick(0x100000))); break;
      }
    }
    ExpectSameDecoding(bytes);
    ExpectSameEncoding(text);
  }
}

}  // namespace
