#include "myfunc/MyFunc.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <iterator>
#include <limits>
#include <system_error>
#include <utility>

#include "myfunc/Chars.h"

namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  return -1;
}

// Leading spaces are only U+0020; tabs and other blanks make the text invalid.
size_t SkipSpaces(std::u16string_view s, size_t i) {
  while (i < s.size() && s[i] == u' ') ++i;
  return i;
}

size_t ReadSign(std::u16string_view s, size_t i, bool& negative) {
  negative = false;
  if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
    negative = s[i] == u'-';
    ++i;
  }
  return i;
}

// Length of the hexadecimal prefix at i, 0 when there is none.
size_t HexPrefix(std::u16string_view s, size_t i) {
  if (i >= s.size()) return 0;
  if (s[i] == u'$' || s[i] == u'x' || s[i] == u'X') return 1;
  if (s[i] == u'0' && i + 1 < s.size() && (s[i + 1] == u'x' || s[i + 1] == u'X')) return 2;
  return 0;
}

// A text holding 800 significant digits decides the rounding to double exactly
// like the full text, once the dropped digits leave a mark: every halfway point
// between two doubles has fewer than 770 significant digits.
constexpr size_t kKeptDigits = 800;
// An exponent text is read up to this size; beyond it no text that fits in
// memory could bring the value back into range, and adding a text length to
// it cannot overflow.
constexpr long long kExponentCap = 100'000'000'000'000'000LL;
// Far outside the range of double for any number of kept digits.
constexpr long long kScaleCap = 1'000'000LL;

// Whether the integer digits [d, end) times 10^exponent (first digit not 0)
// is at most 1.79769313486232E308, the largest double as written with 15
// significant digits.
bool NotAboveLargestWritten(const char* d, const char* end, long long exponent) {
  static constexpr char kLargest[] = "179769313486232";
  constexpr size_t kLen = sizeof kLargest - 1;
  const size_t n = static_cast<size_t>(end - d);
  // Out of range below (a tiny value) or beyond 1E309: not this case.
  if (static_cast<long long>(n) - 1 + exponent != 308) return false;
  for (size_t k = 0; k < std::max(n, kLen); ++k) {
    const char a = k < n ? d[k] : '0';
    const char b = k < kLen ? kLargest[k] : '0';
    if (a != b) return a < b;
  }
  return true;
}

}  // namespace

namespace {

// The integer grammar of StrToIntZ; false where that gives 0 for no number.
bool ReadInt(std::u16string_view s, int32_t& out) {
  size_t i = SkipSpaces(s, 0);
  bool negative;
  i = ReadSign(s, i, negative);
  if (i >= s.size()) return false;

  uint32_t value = 0;
  if (size_t prefix = HexPrefix(s, i)) {
    i += prefix;
    const size_t digits = s.size() - i;
    if (digits == 0 || digits > 8) return false;
    for (; i < s.size(); ++i) {
      const int h = HexValue(s[i]);
      if (h < 0) return false;
      value = value << 4 | static_cast<uint32_t>(h);
    }
  } else {
    // The limit is 2^31 for "-2147483648"; stopping above it keeps long digit
    // strings from overflowing.
    const uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    uint64_t acc = 0;
    for (; i < s.size(); ++i) {
      if (!IsDigit(s[i])) return false;
      acc = acc * 10 + static_cast<uint64_t>(s[i] - u'0');
      if (acc > limit) return false;
    }
    value = static_cast<uint32_t>(acc);
  }
  // A sign before a hexadecimal pattern negates the pattern modulo 2^32.
  if (negative) value = 0u - value;
  out = static_cast<int32_t>(value);
  return true;
}

// The number grammar of StrToFloatZ; false where that gives 0 for no number.
bool ReadFloat(std::u16string_view s, double& result) {
  size_t i = SkipSpaces(s, 0);
  bool negative;
  i = ReadSign(s, i, negative);

  // The number is rewritten for FromChars as its significant digits followed
  // by a decimal exponent: "-0.00125e3" becomes "-125e-2".
  char buf[1 + kKeptDigits + 1 + 1 + 24];
  char* out = buf;
  if (negative) *out++ = '-';
  size_t kept = 0;
  bool droppedNonZero = false;
  long long shift = 0;  // power of ten the kept digits must be scaled by

  size_t mantissaDigits = 0;
  auto takeDigit = [&](char16_t c, bool fraction) {
    ++mantissaDigits;
    if (kept == 0 && c == u'0') {
      if (fraction) --shift;  // a leading zero after the point only moves it
      return;
    }
    if (kept < kKeptDigits) {
      *out++ = static_cast<char>(c);
      ++kept;
      if (fraction) --shift;
    } else {
      if (c != u'0') droppedNonZero = true;
      if (!fraction) ++shift;
    }
  };

  for (; i < s.size() && IsDigit(s[i]); ++i) takeDigit(s[i], false);
  if (i < s.size() && s[i] == u'.') {
    for (++i; i < s.size() && IsDigit(s[i]); ++i) takeDigit(s[i], true);
  }
  if (mantissaDigits == 0) return false;

  long long exponent = 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    bool expNegative;
    i = ReadSign(s, i + 1, expNegative);
    size_t expDigits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++expDigits) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (s[i] - u'0');
    }
    if (expDigits == 0) return false;
    if (expNegative) exponent = -exponent;
  }
  if (i != s.size()) return false;

  if (kept == 0) {
    result = negative ? -0.0 : 0.0;
    return true;
  }
  if (droppedNonZero) {
    // One more digit below the kept ones stands for everything dropped.
    *out++ = '1';
    --shift;
  }
  exponent += shift;
  if (exponent > kScaleCap) exponent = kScaleCap;
  if (exponent < -kScaleCap) exponent = -kScaleCap;
  if (exponent != 0) {
    *out++ = 'e';
    out = std::to_chars(out, buf + sizeof buf, exponent).ptr;
  }

  double value = 0;
  const auto res = chars::FromChars(buf, out, value);
  if (res.ec == std::errc::result_out_of_range && res.ptr == out) {
    // The largest doubles are written with 15 digits as 1.79769313486232E308,
    // a hair above the largest double: such a text reads back as the largest
    // double, so that a coordinate there survives being written and read.
    const char* digits = buf + (negative ? 1 : 0);
    const char* digitsEnd = std::find(digits, static_cast<const char*>(out), 'e');
    if (NotAboveLargestWritten(digits, digitsEnd, exponent)) {
      result = negative ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max();
      return true;
    }
  }
  if (res.ec != std::errc() || res.ptr != out) return false;
  result = value;
  return true;
}

}  // namespace

int32_t StrToIntZ(std::u16string_view s) {
  int32_t v = 0;
  return ReadInt(s, v) ? v : 0;
}

bool TryStrToInt(std::u16string_view s, int32_t& value) { return ReadInt(s, value); }

double StrToFloatZ(std::u16string_view s) {
  double v = 0;
  return ReadFloat(s, v) ? v : 0;
}

bool TryStrToFloat(std::u16string_view s, double& value) {
  double v = 0;
  if (!ReadFloat(s, v) || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::u16string IntStr(int32_t v) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::u16string(buf, res.ptr);
}

std::u16string FloatStr(double v) {
  std::u16string s;
  AppendFloat(s, v);
  return s;
}

namespace {

// 5^0 to 5^27, the powers of five below 2^64.
constexpr auto kPow5 = [] {
  std::array<uint64_t, 28> p{};
  p[0] = 1;
  for (size_t k = 1; k < p.size(); ++k) p[k] = p[k - 1] * 5;
  return p;
}();
constexpr uint64_t kLow15 = 100'000'000'000'000ULL;  // 1E14, the smallest 15-digit number
constexpr uint64_t kHigh15 = 10 * kLow15;              // 1E15

// |v| rounded to 15 significant digits, halves to even: |v| is about
// digits x 10^(exp10 - 14), with 1E14 <= digits < 1E15. Exact: a normal v
// is f x 2^e, and for 1E-13 <= |v| < 1E15 the product f x 5^p (p = 14 -
// exp10, at most 27) fits 128 bits, so |v| x 10^p = f x 5^p x 2^(e + p) is a
// shift whose dropped bits decide the rounding. False outside that range and
// for subnormal v.
bool Round15(double v, uint64_t& digits, int& exp10) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  const int biased = static_cast<int>(bits >> 52 & 0x7FF);
  if (biased == 0 || biased == 0x7FF) return false;
  const uint64_t f = (bits & ((uint64_t{1} << 52) - 1)) | uint64_t{1} << 52;
  const int e = biased - 1075;
  // floor(log10 |v|) is this or one more; the loop settles it.
  int est = ((biased - 1023) * 78913) >> 18;
  for (int round = 0; round < 3; ++round) {
    const int p = 14 - est;
    if (p < 0 || p >= static_cast<int>(kPow5.size())) return false;
    const unsigned __int128 n = static_cast<unsigned __int128>(f) * kPow5[p];
    const int r = -(e + p);  // bits below the unit of the result
    if (r <= 0 || r >= 128) return false;
    const unsigned __int128 q = n >> r;
    if (q >= kHigh15) {
      ++est;
      continue;
    }
    if (q < kLow15) {
      --est;
      continue;
    }
    const unsigned __int128 rest = n - (q << r), half = static_cast<unsigned __int128>(1) << (r - 1);
    digits = static_cast<uint64_t>(q) + (rest > half || (rest == half && (q & 1) != 0));
    exp10 = est;
    if (digits == kHigh15) {  // 999999999999999.5 and the like carry into a new digit
      digits = kLow15;
      ++exp10;
    }
    return true;
  }
  return false;
}

// The same through the standard library's general conversion, for what
// Round15 leaves: subnormal, very small and very large values.
void Round15Slow(double v, uint64_t& digits, int& exp10) {
  char sci[32];
  const char* end = chars::ToChars(sci, sci + sizeof sci, std::fabs(v), std::chars_format::scientific, 14).ptr;
  digits = 0;
  const char* p = sci;
  for (; p < end && *p != 'e'; ++p) {
    if (*p != '.') digits = digits * 10 + static_cast<uint64_t>(*p - '0');
  }
  exp10 = 0;
  std::from_chars(p + 1 + (p[1] == '+'), end, exp10);
}

// The decimal digits of v written so that they end just before end; gives
// where they begin.
char16_t* DigitsBefore(char16_t* end, uint64_t v) {
  static constexpr auto kPairs = [] {
    std::array<char16_t, 200> t{};
    for (size_t k = 0; k < 100; ++k) {
      t[2 * k] = static_cast<char16_t>(u'0' + k / 10);
      t[2 * k + 1] = static_cast<char16_t>(u'0' + k % 10);
    }
    return t;
  }();
  while (v >= 100) {
    const size_t r = static_cast<size_t>(v % 100);
    v /= 100;
    *--end = kPairs[2 * r + 1];
    *--end = kPairs[2 * r];
  }
  if (v >= 10) {
    *--end = kPairs[2 * v + 1];
    *--end = kPairs[2 * v];
  } else {
    *--end = static_cast<char16_t>(u'0' + v);
  }
  return end;
}

// Drops the trailing zeros of d and gives how many digits are left of its
// `count`.
int DropTrailingZeros(uint64_t& d, int count) {
  for (const auto& [pow, k] : {std::pair<uint64_t, int>{100'000'000, 8}, {10'000, 4}, {100, 2}, {10, 1}}) {
    if (d % pow == 0) {
      d /= pow;
      count -= k;
    }
  }
  return count;
}

}  // namespace

void AppendFloat(std::u16string& out, double v) {
  if (std::isnan(v)) {
    out += u"NAN";
    return;
  }
  if (std::isinf(v)) {
    out += v < 0 ? u"-INF" : u"INF";
    return;
  }
  if (v == 0) {
    out += u'0';
    return;
  }
  char16_t text[32];
  char16_t* o = text;
  if (v < 0) *o++ = u'-';
  const double a = std::fabs(v);
  // Whole numbers below 1E15, a third of a drawing's coordinates, have at most
  // 15 digits and are written as they are: no rounding to do.
  if (a < 1e15 && a == std::trunc(a)) {
    char16_t whole[16];
    const char16_t* first = DigitsBefore(std::end(whole), static_cast<uint64_t>(a));
    out.append(text, static_cast<size_t>(o - text));
    out.append(first, static_cast<size_t>(std::end(whole) - first));
    return;
  }

  uint64_t d;
  int exp10;  // the value is d.dddd x 10^exp10
  if (!Round15(v, d, exp10)) Round15Slow(v, d, exp10);
  const int n = DropTrailingZeros(d, 15);
  if (exp10 >= -4 && exp10 <= 14) {
    if (exp10 < 0) {
      *o++ = u'0';
      *o++ = u'.';
      for (int k = -1; k > exp10; --k) *o++ = u'0';
      o += n;
      DigitsBefore(o, d);
    } else {
      // The digits, then the fraction's moved one place on for the point,
      // or zeros up to the units.
      const int whole = exp10 + 1;
      DigitsBefore(o + n, d);
      if (n > whole) {
        std::copy_backward(o + whole, o + n, o + n + 1);
        o[whole] = u'.';
        o += n + 1;
      } else {
        o += n;
        for (int k = n; k < whole; ++k) *o++ = u'0';
      }
    }
  } else {
    DigitsBefore(o + n, d);
    if (n > 1) {
      std::copy_backward(o + 1, o + n, o + n + 1);
      o[1] = u'.';
      o += n + 1;
    } else {
      o += 1;
    }
    *o++ = u'E';
    if (exp10 < 0) *o++ = u'-';
    const uint64_t e = static_cast<uint64_t>(exp10 < 0 ? -exp10 : exp10);
    char16_t digits[4];
    const char16_t* first = DigitsBefore(std::end(digits), e);
    o = std::copy(first, static_cast<const char16_t*>(std::end(digits)), o);
  }
  out.append(text, static_cast<size_t>(o - text));
}

void RotatePoint(double& x, double& y, double px, double py, double cx, double cy,
                 double angle) {
  const double phi = angle * 3.14159265358979 / 180;
  const double c = ExactCos(phi);
  const double s = ExactSin(phi);
  x = cx + (px - cx) * c - (py - cy) * s;
  y = cy + (px - cx) * s + (py - cy) * c;
}

double DirAngle(double dx, double dy) {
  if (std::fabs(dx) < 1e-14 && std::fabs(dy) < 1e-14) return 0;
  double a = ExactAtan2(dy, dx);
  // A direction a hair off the x axis is the x axis itself, so that it never
  // reads as a full turn.
  if (std::fabs(static_cast<long double>(a)) <= 1e-10L) return 0;
  if (a < 0) a += 6.28318530717958;
  return a;
}

double Dist2P(double x1, double y1, double x2, double y2) {
  const double dx = x2 - x1;
  const double dy = y2 - y1;
  return std::sqrt(dx * dx + dy * dy);
}

std::u16string StripSpaces(std::u16string_view s) {
  std::u16string r;
  r.reserve(s.size());
  for (char16_t c : s) {
    if (c != u'\u3000' && c > u' ') r.push_back(c);
  }
  return r;
}

int32_t RgbValue(int32_t r, int32_t g, int32_t b) {
  const uint32_t v = static_cast<uint32_t>(r) + static_cast<uint32_t>(g) * 256u +
                     static_cast<uint32_t>(b) * 65536u;
  return static_cast<int32_t>(v);
}

int32_t TextLen(std::u16string_view s) { return static_cast<int32_t>(s.size()); }

std::u16string CharAt(std::u16string_view s, int32_t i) {
  if (i < 0 || static_cast<size_t>(i) >= s.size()) return {};
  return std::u16string(1, s[static_cast<size_t>(i)]);
}

int32_t TextPos(std::u16string_view sub, std::u16string_view s) {
  if (sub.empty() || s.empty()) return -1;
  const size_t at = s.find(sub);
  return at == std::u16string_view::npos ? -1 : static_cast<int32_t>(at);
}

std::u16string TextFrom(std::u16string_view s, int32_t i) {
  if (i < 0) return std::u16string(s);
  if (static_cast<size_t>(i) >= s.size()) return {};
  return std::u16string(s.substr(static_cast<size_t>(i)));
}

std::u16string TextMid(std::u16string_view s, int32_t i, int32_t n) {
  if (i < 0) i = 0;
  if (n <= 0 || static_cast<size_t>(i) >= s.size()) return {};
  return std::u16string(s.substr(static_cast<size_t>(i), static_cast<size_t>(n)));
}

bool IsHalfWidth(char16_t c) {
  return (c >= u' ' && c <= u'~') || (c >= u'\uFF61' && c <= u'\uFF9F');
}

int32_t SurrogateKind(char16_t c) {
  if (c >= 0xD800 && c <= 0xDBFF) return 1;
  if (c >= 0xDC00 && c <= 0xDFFF) return 2;
  return 0;
}
