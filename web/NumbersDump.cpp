// The number routines as the web build computes them, printed, to compare
// with the native build (web/test_same_bytes.py builds this both ways):
//   numbers_dump COUNT
// For doubles of every exponent, chosen by a fixed sequence, and the
// formatter's edge cases: the number text the file is written with
// (FloatStr) and what reading it back gives, the shortest text, the text in
// 15 significant digits, and the correctly rounded sine, cosine and arc
// tangent, every double as its bits. Then texts of digits read as numbers.
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "myfunc/Chars.h"
#include "myfunc/MyFunc.h"
#include "platform/Platform.h"

namespace {

uint64_t state = 0x2545F4914F6CDD1DULL;
uint64_t Next() {  // splitmix64: the same sequence on every system
  uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

uint64_t Bits(double v) { return chars::BitCast<uint64_t>(v); }

void Dump(double v, double w) {
  char shortest[64], fixed15[64];
  const char* s = chars::ToChars(shortest, shortest + sizeof shortest, v).ptr;
  const char* g = chars::ToChars(fixed15, fixed15 + sizeof fixed15, v, std::chars_format::scientific, 14).ptr;
  const std::u16string text = FloatStr(v);
  std::printf("%016" PRIx64 " %s %016" PRIx64 " %.*s %.*s %016" PRIx64 " %016" PRIx64 " %016" PRIx64 "\n",
              Bits(v), platform::TextToUtf8(text).c_str(), Bits(StrToFloatZ(text)),
              static_cast<int>(s - shortest), shortest, static_cast<int>(g - fixed15), fixed15,
              Bits(ExactSin(v)), Bits(ExactCos(v)), Bits(ExactAtan2(v, w)));
}

}  // namespace

int main(int argc, char** argv) {
  const long count = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 100000;
  const double edges[] = {0.0, -0.0, 1.0, -1.0, 0.1, 0.5, 1e-4, 9.99999999999999e-5, 1e15,
                          999999999999999.0, 999999999999999.5, 1e-10, 1e-11, 123456.7890123,
                          3.14159265358979, 6.28318530717958, 1e22, 1e23, 5e-324, 2.2250738585072014e-308,
                          std::numeric_limits<double>::max(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), std::nan("")};
  for (double v : edges) Dump(v, 1.0);
  for (int e = -1074; e <= 1023; ++e) Dump(std::ldexp(1.0, e), std::ldexp(1.0, -e / 2));
  for (long k = 0; k < count; ++k) {
    // Every exponent alike: random bits, now and then with NaN and infinity.
    const double v = chars::BitCast<double>(Next());
    const double w = chars::BitCast<double>(Next());
    Dump(v, w);
    // Coordinates as drawings hold them: a few decimals, up to 1e7 mm.
    const double c = static_cast<double>(static_cast<int64_t>(Next() % 20000000000ULL) - 10000000000LL) / 1000.0;
    Dump(c, c / 3);
  }
  // Texts of digits, signs, points and exponents read as the file's numbers:
  // mostly well formed, with up to 30 digits and exponents past the range.
  const char* alphabet = "0123456789.-+eE ";
  auto digits = [](std::u16string& s, int most) {
    for (int i = static_cast<int>(Next() % static_cast<uint64_t>(most)); i >= 0; --i)
      s += static_cast<char16_t>(u'0' + Next() % 10);
  };
  for (long k = 0; k < count; ++k) {
    std::u16string s;
    if (Next() % 5 == 0) {
      const int n = 1 + static_cast<int>(Next() % 30);
      for (int i = 0; i < n; ++i) s += static_cast<char16_t>(alphabet[Next() % 16]);
    } else {
      if (Next() % 3 == 0) s += u'-';
      digits(s, 18);
      if (Next() % 2) { s += u'.'; digits(s, 12); }
      if (Next() % 4 == 0) {
        s += u'E';
        if (Next() % 2) s += u'-';
        digits(s, 3);
      }
    }
    double strict = 0;
    const bool ok = TryStrToFloat(s, strict);
    std::printf("%s|%016" PRIx64 " %d %016" PRIx64 "\n", platform::TextToUtf8(s).c_str(),
                Bits(StrToFloatZ(s)), ok, Bits(strict));
  }
  return 0;
}
