// The shared routines: number texts read and written to the last digit, the
// plane geometry, and the text routines at the edges of their indexes.
#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>

#include "myfunc/MyFunc.h"
#include "myfunc/TypedValue.h"

namespace {

std::string Narrow(std::u16string_view s) {
  std::string r;
  for (char16_t c : s) r += c < 0x80 ? static_cast<char>(c) : '?';
  return r;
}

// ---------------------------------------------------------------- StrToIntZ

struct IntRow {
  std::u16string text;
  int32_t value;
};

TEST(StrToIntZ, Grammar) {
  const IntRow rows[] = {
      {u"", 0},
      {u"0", 0},
      {u"123", 123},
      {u"   42", 42},
      {u"+7", 7},
      {u"-7", -7},
      {u"-0", 0},
      {u"2147483647", INT32_MAX},
      {u"-2147483648", INT32_MIN},
      {u"000000000000000000000000012", 12},
      {u"$10", 16},
      {u"x1f", 31},
      {u"X1F", 31},
      {u"0x7fffffff", INT32_MAX},
      {u"0XFFFFFFFF", -1},
      {u"$FFFFFFFF", -1},
      {u"$80000000", INT32_MIN},
      {u"$00000001", 1},
      {u"  $a", 10},
      // The sign stands before the number, whichever way it is written.
      {u"-$10", -16},
      {u"+$10", 16},
      {u"-$80000000", INT32_MIN},
      {u"-0x1", -1},
  };
  for (const auto& r : rows) EXPECT_EQ(StrToIntZ(r.text), r.value) << Narrow(r.text);
}

TEST(StrToIntZ, AnythingElseIsZero) {
  const std::u16string rows[] = {
      u"2147483648", u"-2147483649", u"4294967296", u"99999999999999999999999999999",
      u"12 ", u"\t12", u"\u00A012", u"1 2", u"1.0", u"1e3", u"1,000", u"+", u"-", u" ",
      u"--1", u"+-1", u"$", u"x", u"0x", u"$123456789", u"$000000010", u"$G", u"0x-1",
      u"$ 10", u"$10 ", u"0x+1", u"0b101", u"\uFF11\uFF12", u"12\u3000", std::u16string(u"1\0", 2),
  };
  for (const auto& t : rows) EXPECT_EQ(StrToIntZ(t), 0) << Narrow(t);
  EXPECT_EQ(StrToIntZ(std::u16string(5000, u'9')), 0);
  EXPECT_EQ(StrToIntZ(std::u16string(5000, u'0') + u"5"), 5);
}

TEST(TryStrToNumber, WholeTextInRangeOrFalse) {
  // Where StrToFloatZ and StrToIntZ give 0 for "no number", the strict forms
  // say false and leave the value as it was.
  const std::pair<std::u16string, bool> floats[] = {
      {u"1.5", true},  {u" -2e3", true}, {u".5", true},  {u"0", true},    {u"1.79769313486232E308", true},
      {u"", false},    {u"5 ", false},   {u"1,5", false}, {u"nan", false}, {u"inf", false},
      {u"1e999", false}, {u"1e-400", false}, {u"abc", false}, {u"0x10", false}, {u"１", false},
  };
  for (const auto& [text, ok] : floats) {
    double v = 42;
    EXPECT_EQ(TryStrToFloat(text, v), ok) << std::string(text.begin(), text.end());
    EXPECT_EQ(v, ok ? StrToFloatZ(text) : 42);
  }
  const std::pair<std::u16string, bool> ints[] = {
      {u"7", true},   {u"-2147483648", true}, {u"$FFFFFFFF", true}, {u" 12", true},
      {u"", false},   {u"7 ", false},         {u"2147483648", false}, {u"1.0", false},
      {u"x", false},  {u"$123456789", false},
  };
  for (const auto& [text, ok] : ints) {
    int32_t v = 42;
    EXPECT_EQ(TryStrToInt(text, v), ok) << std::string(text.begin(), text.end());
    EXPECT_EQ(v, ok ? StrToIntZ(text) : 42);
  }
}

TEST(IntStr, PlainDecimal) {
  const IntRow rows[] = {
      {u"0", 0},        {u"7", 7},
      {u"-7", -7},      {u"1000", 1000},
      {u"2147483647", INT32_MAX}, {u"-2147483648", INT32_MIN},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(IntStr(r.value), r.text);
    EXPECT_EQ(StrToIntZ(IntStr(r.value)), r.value);
  }
}

// -------------------------------------------------------------- StrToFloatZ

struct FloatRow {
  std::u16string text;
  double value;
};

TEST(StrToFloatZ, Grammar) {
  const FloatRow rows[] = {
      {u"0", 0},
      {u"1.5", 1.5},
      {u".5", 0.5},
      {u"5.", 5},
      {u"1e5", 1e5},
      {u"1E+5", 1e5},
      {u"-.5e-3", -0.5e-3},
      {u"  +2.25", 2.25},
      {u"-0.1", -0.1},
      {u"0.1", 0.1},
      {u"00012.50", 12.5},
      {u"1E-10", 1e-10},
      {u"123456789012345678", 123456789012345678.0},
      {u"1.7976931348623157E308", DBL_MAX},
      {u"4.94065645841247E-324", 5e-324},
      {u"2.2250738585072014e-308", DBL_MIN},
  };
  for (const auto& r : rows) EXPECT_EQ(StrToFloatZ(r.text), r.value) << Narrow(r.text);
}

TEST(StrToFloatZ, AnythingElseIsZero) {
  const std::u16string rows[] = {
      u"",      u" ",       u".",        u"e5",      u"1e",       u"1e+",   u"1e-",
      u"+",     u"-",       u"+.",       u"-.e1",    u"1.5 ",     u"1,5",   u"1 000",
      u"1.5.3", u"1e5.0",   u"1e--5",    u"--1",     u"+-1",      u"1d5",   u"\t1",
      u"1.5\u00A0", u"\uFF11", u"inf",   u"-inf",    u"INF",      u"nan",   u"NaN",
      u"infinity", u"0x1p3", u"0x10",    u"$10",     u"1e5 ",     u"1 e5",  u"e",
  };
  for (const auto& t : rows) EXPECT_EQ(StrToFloatZ(t), 0) << Narrow(t);
}

TEST(StrToFloatZ, OutOfRangeIsZero) {
  const std::u16string rows[] = {
      u"1e309", u"-1e309", u"1.797693134862321E308", u"1E-400", u"2e-324",
      u"1e99999999999999999999999", u"1e-99999999999999999999999",
  };
  for (const auto& t : rows) EXPECT_EQ(StrToFloatZ(t), 0) << Narrow(t);
  EXPECT_EQ(StrToFloatZ(u"0e99999999999999999999999"), 0);
}

// The largest doubles are written as 1.79769313486232E308, just beyond the
// largest double; that text and anything up to it reads as the largest
// double, so a coordinate there survives the round trip. Beyond it stays 0.
TEST(StrToFloatZ, LargestWrittenDoubleReadsBack) {
  const double max = DBL_MAX;
  const std::pair<std::u16string, double> rows[] = {
      {u"1.79769313486232E308", max},
      {u"-1.79769313486232E308", -max},
      {u"  +1.797693134862320000e308", max},
      {u"179769313486232" + std::u16string(294, u'0'), max},
      {u"0.179769313486232E309", max},
      {u"1.7976931348623159E308", max},
      {u"1.797693134862319999999E308", max},
      {u"1.79769313486232000000000001E308", 0},
      {u"1.797693134862321E308", 0},
      {u"1.8E308", 0},
      {u"-9E308", 0},
      {u"1E309", 0},
      {u"1.7976931348623157E308", max},  // the largest double itself, as always
      {u"1.79769313486231E308", 1.79769313486231E308},
  };
  for (const auto& [t, v] : rows) EXPECT_EQ(StrToFloatZ(t), v) << Narrow(t);
  // Every double written with that text reads back as the largest one, and
  // its neighbour below keeps its own text.
  for (double v : {max, -max, std::nextafter(max, 0.0), 1.797693134862315e308}) {
    const std::u16string text = FloatStr(v);
    EXPECT_EQ(Narrow(FloatStr(StrToFloatZ(text))), Narrow(text)) << v;
    if (text.ends_with(u"232E308")) {
      EXPECT_EQ(StrToFloatZ(text), v > 0 ? max : -max) << v;
    }
  }
}

// Texts far longer than any double needs still round as their full value does.
TEST(StrToFloatZ, LongTexts) {
  const std::u16string zeros(2000, u'0');
  EXPECT_EQ(StrToFloatZ(u"1" + zeros + u"e-2000"), 1);
  EXPECT_EQ(StrToFloatZ(u"0." + zeros + u"15e2001"), 1.5);
  EXPECT_EQ(StrToFloatZ(zeros + u"3.25"), 3.25);
  EXPECT_EQ(StrToFloatZ(u"-2.5E-" + zeros + u"3"), -2.5e-3);
  EXPECT_EQ(StrToFloatZ(u"1" + zeros), 0);  // 1E2000
  EXPECT_EQ(StrToFloatZ(u"0." + zeros + u"1"), 0);
  // 2^53 + 1 lies halfway between two doubles: ties go to even, but any
  // nonzero digit far behind tips it upwards.
  EXPECT_EQ(StrToFloatZ(u"9007199254740993." + zeros), 9007199254740992.0);
  EXPECT_EQ(StrToFloatZ(u"9007199254740993." + zeros + u"1"), 9007199254740994.0);
  EXPECT_EQ(StrToFloatZ(u"9007199254740993" + zeros + u"1e-2001"), 9007199254740994.0);
  EXPECT_EQ(StrToFloatZ(u"9007199254740993" + zeros + u"e-2000"), 9007199254740992.0);
}

// ------------------------------------------------------------------ FloatStr

struct FormatRow {
  double value;
  std::u16string text;
};

TEST(FloatStr, BoundaryTable) {
  const FormatRow rows[] = {
      {0.0, u"0"},
      {-0.0, u"0"},
      {1, u"1"},
      {-1, u"-1"},
      {100, u"100"},
      {0.5, u"0.5"},
      {-0.00123, u"-0.00123"},
      {123.456, u"123.456"},
      {0.1 + 0.2, u"0.3"},
      {2.0 / 3.0, u"0.666666666666667"},
      {1e-4, u"0.0001"},
      {-1e-4, u"-0.0001"},
      {1.5e-4, u"0.00015"},
      {1e-5, u"1E-5"},
      {9.99999999999999e-5, u"9.99999999999999E-5"},
      {9.999999999999999e-5, u"0.0001"},  // rounded before the notation is chosen
      {1e14, u"100000000000000"},
      {999999999999999.0, u"999999999999999"},
      {12345678901234.5, u"12345678901234.5"},
      {123456789012345.6, u"123456789012346"},
      {999999999999999.9, u"1E15"},
      // Exact halves, which only values of 15 whole digits can hold: to even.
      {100000000000000.5, u"100000000000000"},
      {100000000000001.5, u"100000000000002"},
      {-123456789012344.5, u"-123456789012344"},
      {999999999999999.5, u"1E15"},
      {1e-13, u"1E-13"},
      {1.23456789012345678e-14, u"1.23456789012346E-14"},
      {1e15, u"1E15"},
      {-1e15, u"-1E15"},
      {1e16, u"1E16"},
      {1.5e20, u"1.5E20"},
      {123456789012345678.0, u"1.23456789012346E17"},
      {-123456789012345678.0, u"-1.23456789012346E17"},
      {1e100, u"1E100"},
      {1e-10, u"1E-10"},
      {-2.5e-300, u"-2.5E-300"},
      {5e-324, u"4.94065645841247E-324"},
      {DBL_MAX, u"1.79769313486232E308"},
      {NAN, u"NAN"},
      {INFINITY, u"INF"},
      {-INFINITY, u"-INF"},
  };
  for (const auto& r : rows) EXPECT_EQ(Narrow(FloatStr(r.value)), Narrow(r.text)) << r.value;
}

// The digits are the value rounded to 15 significant digits, exactly: the
// standard library's general conversion to 15 digits gives the same number,
// for random bit patterns, the values a drawing holds, decimals of 15 and 16
// digits and the doubles next to all of them.
TEST(FloatStr, RoundsLikeTheGeneralConversion) {
  std::mt19937_64 rng(12);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> power(-16, 17);
  auto check = [](double v) {
    char ref[40];
    const char* end = std::to_chars(ref, ref + sizeof ref, v, std::chars_format::scientific, 14).ptr;
    double want = 0;
    std::from_chars(ref, end, want);
    const std::u16string text = FloatStr(v);
    ASSERT_EQ(StrToFloatZ(text), want) << Narrow(text) << " for " << ref;
  };
  for (int k = 0; k < 200000; ++k) {
    const uint64_t bits = rng();
    double v;
    std::memcpy(&v, &bits, sizeof v);
    if (std::isfinite(v) && std::fabs(v) < 1e300) check(v);
    const double d = mantissa(rng) * std::pow(10.0, power(rng));
    const double decimal =
        static_cast<double>(rng() % 10'000'000'000'000'000ULL) / std::pow(10.0, static_cast<int>(rng() % 24));
    for (double x : {d, decimal}) {
      check(x);
      check(std::nextafter(x, 0.0));
      check(std::nextafter(x, 1e300));
    }
  }
}

// What the tool writes, it reads back to the same text.
TEST(FloatStr, RoundTripsThroughStrToFloatZ) {
  std::mt19937_64 rng(29);
  std::uniform_real_distribution<double> mantissa(-10, 10);
  std::uniform_int_distribution<int> power(-12, 18);
  for (int k = 0; k < 4000; ++k) {
    double v;
    if (k % 2 == 0) {
      const uint64_t bits = rng();
      std::memcpy(&v, &bits, sizeof v);
      if (!std::isfinite(v)) continue;
    } else {
      // The sizes a drawing really holds, across the notation switches.
      v = mantissa(rng) * std::pow(10.0, power(rng));
    }
    const std::u16string text = FloatStr(v);
    ASSERT_EQ(Narrow(FloatStr(StrToFloatZ(text))), Narrow(text)) << v;
  }
}

// ------------------------------------------------------------------ geometry

TEST(RotatePoint, TurnsCounterClockwiseAboutTheCentre) {
  struct Row {
    double px, py, cx, cy, angle, x, y;
  };
  const Row rows[] = {
      {3, 4, 1, 1, 90, -2, 3},
      {3, 4, 1, 1, -90, 4, -1},
      {3, 4, 1, 1, 180, -1, -2},
      {3, 4, 1, 1, 360, 3, 4},
      {2, 0, 0, 0, 45, std::sqrt(2.0), std::sqrt(2.0)},
  };
  for (const auto& r : rows) {
    double x = 0, y = 0;
    RotatePoint(x, y, r.px, r.py, r.cx, r.cy, r.angle);
    EXPECT_NEAR(x, r.x, 1e-12) << r.angle;
    EXPECT_NEAR(y, r.y, 1e-12) << r.angle;
  }
  double x = 0, y = 0;
  RotatePoint(x, y, 3, 4, 1, 1, 0);
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 4);
}

// Half a turn with 3.14159265358979 for pi leaves the point a little above
// the axis, by pi less the double nearest that constant; the written
// coordinates show that difference.
TEST(RotatePoint, UsesTheFifteenDigitPi) {
  double x = 0, y = 0;
  RotatePoint(x, y, 1, 0, 0, 0, 180);
  EXPECT_EQ(x, -1);
  EXPECT_NEAR(y, 3.2310891488651736e-15, 1e-29);
}

TEST(DirAngle, Quadrants) {
  const double kTurn = 6.28318530717958;
  struct Row {
    double dx, dy, angle;
  };
  const Row rows[] = {
      {1, 0, 0},
      {1, 1, M_PI / 4},
      {0, 1, M_PI / 2},
      {-1, 1, 3 * M_PI / 4},
      {-1, 0, M_PI},
      {-1, -1, kTurn - 3 * M_PI / 4},
      {0, -1, kTurn - M_PI / 2},
      {1, -1, kTurn - M_PI / 4},
  };
  for (const auto& r : rows) {
    const double a = DirAngle(r.dx, r.dy);
    EXPECT_NEAR(a, r.angle, 1e-14) << r.dx << " " << r.dy;
    EXPECT_GE(a, 0);
    EXPECT_LT(a, 2 * M_PI);
  }
}

TEST(DirAngle, DegenerateAndNearTheAxis) {
  EXPECT_EQ(DirAngle(0, 0), 0);
  EXPECT_EQ(DirAngle(9.9e-15, -9.9e-15), 0);
  EXPECT_EQ(DirAngle(-9.9e-15, 9.9e-15), 0);
  EXPECT_NEAR(DirAngle(0, 1e-14), M_PI / 2, 1e-15);

  // Within 1e-10 of the axis is the axis; the double nearest 1e-10 lies above
  // 1e-10 and is not within.
  const double below = std::nextafter(1e-10, 0.0);
  EXPECT_EQ(DirAngle(1, below), 0);
  EXPECT_EQ(DirAngle(1, -below), 0);
  EXPECT_EQ(DirAngle(1, 1e-10), 1e-10);
  EXPECT_EQ(DirAngle(1, -1e-10), -1e-10 + 6.28318530717958);
  EXPECT_LT(DirAngle(1, -1e-10), 2 * M_PI);
}

TEST(Dist2P, Table) {
  struct Row {
    double x1, y1, x2, y2, d;
  };
  const Row rows[] = {
      {0, 0, 3, 4, 5},
      {-1, -1, 2, 3, 5},
      {2, 3, -1, -1, 5},
      {1.5, 1.5, 1.5, 1.5, 0},
      {0, 0, 0, -7, 7},
  };
  for (const auto& r : rows) EXPECT_EQ(Dist2P(r.x1, r.y1, r.x2, r.y2), r.d);
}

// ------------------------------------------------------------------- texts

TEST(TextRoutines, IndexEdges) {
  const std::u16string s = u"abc";
  EXPECT_EQ(TextLen(u""), 0);
  EXPECT_EQ(TextLen(s), 3);
  EXPECT_EQ(TextLen(u"\U0001F600"), 2);  // characters are code units

  EXPECT_EQ(CharAt(s, 0), u"a");
  EXPECT_EQ(CharAt(s, 2), u"c");
  EXPECT_EQ(CharAt(s, 3), u"");
  EXPECT_EQ(CharAt(s, -1), u"");

  EXPECT_EQ(TextPos(u"b", s), 1);
  EXPECT_EQ(TextPos(u"abc", s), 0);
  EXPECT_EQ(TextPos(u"c", u"abcabc"), 2);
  EXPECT_EQ(TextPos(u"abcd", s), -1);
  EXPECT_EQ(TextPos(u"x", s), -1);
  EXPECT_EQ(TextPos(u"", s), -1);
  EXPECT_EQ(TextPos(u"a", u""), -1);

  EXPECT_EQ(TextFrom(s, INT32_MIN), u"abc");
  EXPECT_EQ(TextFrom(s, -1), u"abc");
  EXPECT_EQ(TextFrom(s, 0), u"abc");
  EXPECT_EQ(TextFrom(s, 2), u"c");
  EXPECT_EQ(TextFrom(s, 3), u"");
  EXPECT_EQ(TextFrom(s, INT32_MAX), u"");

  EXPECT_EQ(TextMid(s, -5, 2), u"ab");
  EXPECT_EQ(TextMid(s, 1, 1), u"b");
  EXPECT_EQ(TextMid(s, 1, 100), u"bc");
  EXPECT_EQ(TextMid(s, 0, INT32_MAX), u"abc");
  EXPECT_EQ(TextMid(s, 2, INT32_MAX), u"c");
  EXPECT_EQ(TextMid(s, 3, 1), u"");
  EXPECT_EQ(TextMid(s, INT32_MAX, INT32_MAX), u"");
  EXPECT_EQ(TextMid(s, 0, 0), u"");
  EXPECT_EQ(TextMid(s, 0, -1), u"");
}

TEST(TextRoutines, CharacterClasses) {
  struct Row {
    char16_t c;
    bool half;
    int32_t surrogate;
  };
  const Row rows[] = {
      {0x1F, false, 0},   {u' ', true, 0},     {u'~', true, 0},     {0x7F, false, 0},
      {0x3042, false, 0}, {0xFF60, false, 0},  {0xFF61, true, 0},   {0xFF9F, true, 0},
      {0xFFA0, false, 0}, {0xD7FF, false, 0},  {0xD800, false, 1},  {0xDBFF, false, 1},
      {0xDC00, false, 2}, {0xDFFF, false, 2},  {0xE000, false, 0},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(IsHalfWidth(r.c), r.half) << std::hex << static_cast<int>(r.c);
    EXPECT_EQ(SurrogateKind(r.c), r.surrogate) << std::hex << static_cast<int>(r.c);
  }
}

TEST(TextRoutines, StripSpaces) {
  EXPECT_EQ(StripSpaces(u""), u"");
  EXPECT_EQ(StripSpaces(u" \u3000\t\r\n"), u"");
  EXPECT_EQ(StripSpaces(u"\u3000a b\tc\r\n\x01" u"d\u00A0\x7F"), u"abcd\u00A0\x7F");
  EXPECT_EQ(StripSpaces(std::u16string(u"x\0y", 3)), u"xy");
}

TEST(RgbValue, PartsAreNotMasked) {
  EXPECT_EQ(RgbValue(1, 2, 3), 1 + 2 * 256 + 3 * 65536);
  EXPECT_EQ(RgbValue(255, 255, 255), 0xFFFFFF);
  EXPECT_EQ(RgbValue(0, 256, 0), 65536);
  EXPECT_EQ(RgbValue(0, 0, 256), 0x1000000);
  EXPECT_EQ(RgbValue(-1, 0, 0), -1);
  EXPECT_EQ(RgbValue(0, 0, 32768), INT32_MIN);  // wraps, as 32-bit arithmetic does
  EXPECT_EQ(RgbValue(INT32_MAX, INT32_MAX, INT32_MAX),
            static_cast<int32_t>(0x7FFFFFFFu * 65793u));
}

// Typed values stand on the shared routines alone: full-width digits, signs,
// points and blanks narrowed, the number read as StrToFloatZ reads it.
TEST(TypedValue, NarrowedAndRead) {
  const struct {
    std::u16string_view typed;
    std::u16string_view narrow;
    double number;
  } cases[] = {
      {u"　２０００．５　", u"2000.5", 2000.5},
      {u"－１．５Ｅ３", u"-1.5E3", -1500},
      {u"＋７ｅ－１", u"+7e-1", 0.7},
      {u"\t−３。２５\t", u"-3.25", -3.25},
      {u"５等分", u"5等分", 0},  // a word after it: no whole number
      {u"　　", u"", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NarrowTyped(c.typed), c.narrow) << Narrow(c.narrow);
    EXPECT_EQ(TypedNumber(c.typed), c.number) << Narrow(c.narrow);
  }
}

}  // namespace
