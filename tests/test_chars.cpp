// The bit casts and double texts of myfunc/Chars.h: the fallbacks, which a
// C++ library without the standard's own conversions takes, give what the
// standard library's to_chars and from_chars give, character for character
// and bit for bit, for doubles of every kind and every text the code reads.
#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "myfunc/Chars.h"

namespace {

using chars::BitCast;

// Doubles of every kind: random bits (every exponent, subnormals, NaNs and
// infinities among them); zeros, the ends of the range, the powers of two
// and ten, each with its neighbours; halves, short binary fractions and
// 16-digit whole numbers ending in 5, which round from exactly halfway; and
// whole numbers up to 2^83.
std::vector<double> Doubles() {
  const double inf = std::numeric_limits<double>::infinity(), nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> v{0.0, -0.0, inf, -inf, nan, -nan};
  std::vector<double> edges{DBL_MAX, DBL_MIN, DBL_TRUE_MIN, 1.0};
  for (int e = -1074; e <= 1023; ++e) edges.push_back(std::ldexp(1.0, e));
  for (int e = -323; e <= 308; ++e) edges.push_back(std::strtod(("1e" + std::to_string(e)).c_str(), nullptr));
  for (double e : edges) {
    for (double x : {e, std::nextafter(e, 0.0), std::nextafter(e, inf)}) {
      v.push_back(x);
      v.push_back(-x);
    }
  }
  std::mt19937_64 rng(29);
  for (int k = 0; k < 1000000; ++k) v.push_back(BitCast<double>(rng()));
  for (int m = 0; m < 4096; ++m) {
    v.push_back(m + 0.5);
    v.push_back(m / 4096.0);
    v.push_back(static_cast<double>(1'000'000'000'000'000 + 10 * (rng() % 900'000'000'000'000) + 5));
    v.push_back(std::ldexp(static_cast<double>(rng() >> 11), m % 31));
  }
  return v;
}

const std::vector<double>& AllDoubles() {
  static const std::vector<double> v = Doubles();
  return v;
}

std::string Shown(double v) {
  char b[40];
  std::snprintf(b, sizeof b, "%a", v);
  return b;
}

TEST(Chars, BitCastTakesTheBits) {
  const struct {
    double value;
    uint64_t bits;
  } cases[] = {{0.0, 0}, {-0.0, 0x8000'0000'0000'0000}, {1.0, 0x3FF0'0000'0000'0000},
               {-2.5, 0xC004'0000'0000'0000}, {DBL_TRUE_MIN, 1}, {DBL_MAX, 0x7FEF'FFFF'FFFF'FFFF},
               {std::numeric_limits<double>::infinity(), 0x7FF0'0000'0000'0000}};
  for (const auto& c : cases) {
    EXPECT_EQ(BitCast<uint64_t>(c.value), c.bits) << c.value;
    EXPECT_EQ(BitCast<uint64_t>(BitCast<double>(c.bits)), c.bits) << c.value;
  }
}

// The shortest text, and the texts with a precision in the formats the code
// writes (every tenth double for these, which take longer to compare).
TEST(Chars, TextsAreTheStandardOnes) {
  const std::vector<double>& all = AllDoubles();
  const struct {
    std::chars_format format;
    int precision;
  } withPrecision[] = {{std::chars_format::fixed, 0},       {std::chars_format::fixed, 2},
                       {std::chars_format::fixed, 12},      {std::chars_format::scientific, 0},
                       {std::chars_format::scientific, 14}, {std::chars_format::scientific, 17},
                       {std::chars_format::general, 15}};
  int failures = 0;
  for (size_t i = 0; i < all.size() && failures < 20; ++i) {
    const double v = all[i];
    char want[400], got[400];
    std::to_chars_result w = std::to_chars(want, want + sizeof want, v);
    std::to_chars_result g = chars::ToCharsFallback(got, got + sizeof got, v);
    if (std::string(got, g.ptr) != std::string(want, w.ptr) || g.ec != w.ec) {
      ADD_FAILURE() << Shown(v) << ": " << std::string(got, g.ptr) << ", not " << std::string(want, w.ptr);
      ++failures;
    }
    if (i % 10 != 0 && i > 20000) continue;
    for (const auto& [format, precision] : withPrecision) {
      w = std::to_chars(want, want + sizeof want, v, format, precision);
      g = chars::ToCharsFallback(got, got + sizeof got, v, format, precision);
      if (std::string(got, g.ptr) != std::string(want, w.ptr) || g.ec != w.ec) {
        ADD_FAILURE() << Shown(v) << " to precision " << precision << ": " << std::string(got, g.ptr)
                      << ", not " << std::string(want, w.ptr);
        ++failures;
      }
    }
  }
}

// A text that does not fit leaves nothing but the error.
TEST(Chars, ATextTooLongForItsRoomIsAnError) {
  char b[5];
  for (const double v : {123456.0, 1e300, -1.5}) {
    const auto r = chars::ToCharsFallback(b, b + (v < 0 ? 3 : 5), v);
    EXPECT_TRUE(r.ec == std::errc::value_too_large && r.ptr == b + (v < 0 ? 3 : 5)) << v;
  }
  const auto r = chars::ToCharsFallback(b, b + 5, 1234.5, std::chars_format::fixed, 2);
  EXPECT_TRUE(r.ec == std::errc::value_too_large && r.ptr == b + 5);
}

void ExpectReadAlike(const std::string& text, int& failures) {
  double want = 7, got = 7;
  const char* end = text.data() + text.size();
  const std::from_chars_result w = std::from_chars(text.data(), end, want);
  const std::from_chars_result g = chars::FromCharsFallback(text.data(), end, got);
  const bool same = BitCast<uint64_t>(got) == BitCast<uint64_t>(want) ||
                    (std::isnan(got) && std::isnan(want) && std::signbit(got) == std::signbit(want));
  if (g.ptr != w.ptr || g.ec != w.ec || !same) {
    if (++failures <= 20) {
      ADD_FAILURE() << '"' << text.substr(0, 80) << "\": " << Shown(got) << " " << (g.ptr - text.data())
                    << " " << static_cast<int>(g.ec) << ", not " << Shown(want) << " "
                    << (w.ptr - text.data()) << " " << static_cast<int>(w.ec);
    }
  }
}

// What the code reads: the texts written above, digits with an exponent as
// the number reader makes them (up to 801 digits, exponents up to a million
// either way), decimals exactly halfway between two doubles and a hair to
// either side, and texts cut anywhere, with signs, points, words and
// letters where a number may or may not go on.
TEST(Chars, ReadingIsTheStandardOnes) {
  static_assert(LDBL_MANT_DIG > DBL_MANT_DIG, "halfway between two doubles needs a wider type");
  int failures = 0;
  const std::vector<double>& all = AllDoubles();
  for (size_t i = 0; i < all.size(); ++i) {
    char b[400];
    ExpectReadAlike(std::string(b, std::to_chars(b, b + sizeof b, all[i]).ptr), failures);
    if (i % 10 != 0) continue;
    ExpectReadAlike(std::string(b, std::to_chars(b, b + sizeof b, all[i], std::chars_format::scientific, 14).ptr),
                    failures);
    if (std::isfinite(all[i]) && all[i] != 0 && std::fabs(all[i]) < DBL_MAX) {
      // Exactly halfway to the next double up, written in full.
      const long double mid = (static_cast<long double>(all[i]) + std::nextafter(all[i], HUGE_VAL)) / 2;
      std::vector<char> text(1200);
      std::snprintf(text.data(), text.size(), "%.800Le", mid);
      std::string t = text.data();
      const size_t e = t.find('e');
      size_t cut = e;
      while (t[cut - 1] == '0') --cut;
      t.erase(cut, e - cut);
      ExpectReadAlike(t, failures);
      // A hair above and a hair below: a 1 after the last digit (never 0),
      // and the last digit one less with a 9 after it.
      const std::string digits = t.substr(0, t.find('e')), exponent = t.substr(digits.size());
      std::string below = digits;
      --below.back();
      ExpectReadAlike(digits + '1' + exponent, failures);
      ExpectReadAlike(below + '9' + exponent, failures);
    }
  }
  std::mt19937 rng(801);
  for (int k = 0; k < 20000; ++k) {
    std::string t = rng() % 2 ? "-" : "";
    const int digits = k % 50 == 0 ? 801 : 1 + static_cast<int>(rng() % 25);
    t += static_cast<char>('1' + rng() % 9);
    for (int d = 1; d < digits; ++d) t += static_cast<char>('0' + rng() % 10);
    const int exponent = static_cast<int>(rng() % 2'000'001) - 1'000'000;
    t += 'e';
    t += std::to_string(k % 4 == 0 ? exponent : exponent % 700);
    ExpectReadAlike(t, failures);
  }
  for (const char* t : {"", "-", ".", "-.", ".5", "5.", "-.e1", "e5", "1e", "1e+", "1E-x", "1e5.5", "1..2",
                        "00012", "+1", " 1", "0x10", "-0", "-0e5", "0e999999", "1e-400", "1e400", "-1e400",
                        "1e-310", "2.4703282292062327e-324", "2.4703282292062328e-324",
                        "1.7976931348623158e308", "1.7976931348623159e308", "inf", "-Infinity", "infinit",
                        "INFINITYx", "in", "nan", "-NaN", "nan(", "nan()", "nan(abc_1)", "nan(a-b)", "nanx"}) {
    ExpectReadAlike(t, failures);
  }
  const std::string alphabet = "0123456789.eE+-infatyINFNA()_x ";
  for (int k = 0; k < 200000; ++k) {
    std::string t;
    for (int n = 1 + static_cast<int>(rng() % 12); n > 0; --n) t += alphabet[rng() % alphabet.size()];
    ExpectReadAlike(t, failures);
  }
}

}  // namespace
