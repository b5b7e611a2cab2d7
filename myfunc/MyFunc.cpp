#include "myfunc/MyFunc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

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

int32_t StrToIntZ(std::u16string_view s) {
  size_t i = SkipSpaces(s, 0);
  bool negative;
  i = ReadSign(s, i, negative);
  if (i >= s.size()) return 0;

  uint32_t value = 0;
  if (size_t prefix = HexPrefix(s, i)) {
    i += prefix;
    const size_t digits = s.size() - i;
    if (digits == 0 || digits > 8) return 0;
    for (; i < s.size(); ++i) {
      const int h = HexValue(s[i]);
      if (h < 0) return 0;
      value = value << 4 | static_cast<uint32_t>(h);
    }
  } else {
    // The limit is 2^31 for "-2147483648"; stopping above it keeps long digit
    // strings from overflowing.
    const uint64_t limit = negative ? 2147483648ULL : 2147483647ULL;
    uint64_t acc = 0;
    for (; i < s.size(); ++i) {
      if (!IsDigit(s[i])) return 0;
      acc = acc * 10 + static_cast<uint64_t>(s[i] - u'0');
      if (acc > limit) return 0;
    }
    value = static_cast<uint32_t>(acc);
  }
  // A sign before a hexadecimal pattern negates the pattern modulo 2^32.
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

std::u16string IntStr(int32_t v) {
  char buf[16];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::u16string(buf, res.ptr);
}

double StrToFloatZ(std::u16string_view s) {
  size_t i = SkipSpaces(s, 0);
  bool negative;
  i = ReadSign(s, i, negative);

  // The number is rewritten for from_chars as its significant digits followed
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
  if (mantissaDigits == 0) return 0;

  long long exponent = 0;
  if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
    bool expNegative;
    i = ReadSign(s, i + 1, expNegative);
    size_t expDigits = 0;
    for (; i < s.size() && IsDigit(s[i]); ++i, ++expDigits) {
      if (exponent < kExponentCap) exponent = exponent * 10 + (s[i] - u'0');
    }
    if (expDigits == 0) return 0;
    if (expNegative) exponent = -exponent;
  }
  if (i != s.size()) return 0;

  if (kept == 0) return negative ? -0.0 : 0.0;
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
  const auto res = std::from_chars(buf, out, value, std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range && res.ptr == out) {
    // The largest doubles are written with 15 digits as 1.79769313486232E308,
    // a hair above the largest double: such a text reads back as the largest
    // double, so that a coordinate there survives being written and read.
    const char* digits = buf + (negative ? 1 : 0);
    const char* digitsEnd = std::find(digits, static_cast<const char*>(out), 'e');
    if (NotAboveLargestWritten(digits, digitsEnd, exponent)) {
      return negative ? -std::numeric_limits<double>::max()
                      : std::numeric_limits<double>::max();
    }
  }
  if (res.ec != std::errc() || res.ptr != out) return 0;
  return value;
}

std::u16string FloatStr(double v) {
  std::u16string s;
  AppendFloat(s, v);
  return s;
}

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
  // Whole numbers below 1E15, a third of a drawing's coordinates, have at most
  // 15 digits and are written as they are: no rounding to do.
  if (std::fabs(v) < 1e15 && v == std::trunc(v)) {
    char whole[20];
    const char* wEnd = std::to_chars(whole, whole + sizeof whole, static_cast<long long>(v)).ptr;
    char16_t text[20];
    const size_t n = static_cast<size_t>(wEnd - whole);
    std::copy(static_cast<const char*>(whole), wEnd, text);
    out.append(text, n);
    return;
  }

  // "-d.dddddddddddddde-ddd": the value rounded to 15 significant digits.
  // The shortest text that reads back as v is much cheaper to make; when it
  // has at most 15 digits it is that rounding already (a normal double lies
  // within half a unit of its last binary place of it, far less than half a
  // unit of the 15th digit), which holds for every number read from a file
  // of ours. Subnormal doubles have fewer binary places and take the long way.
  char sci[32];
  const char* end = sci;
  if (std::fabs(v) >= std::numeric_limits<double>::min()) {
    end = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific).ptr;
    // At most "-d." and 14 more digits before the exponent.
    if (std::find(static_cast<const char*>(sci), end, 'e') - sci > (v < 0 ? 17 : 16)) end = sci;
  }
  if (end == sci) {
    end = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, 14).ptr;
  }
  const char* p = sci;
  const bool negative = *p == '-';
  if (negative) ++p;

  char digits[15];
  size_t n = 0;
  for (; p < end && *p != 'e'; ++p) {
    if (*p != '.') digits[n++] = *p;
  }
  while (n > 1 && digits[n - 1] == '0') --n;
  int exp10 = 0;  // the value is d.ddd x 10^exp10
  std::from_chars(p + 1 + (p[1] == '+'), end, exp10);

  char16_t text[32];
  char16_t* o = text;
  if (negative) *o++ = u'-';
  if (exp10 >= -4 && exp10 <= 14) {
    if (exp10 < 0) {
      *o++ = u'0';
      *o++ = u'.';
      for (int k = -1; k > exp10; --k) *o++ = u'0';
      for (size_t k = 0; k < n; ++k) *o++ = digits[k];
    } else {
      const size_t whole = static_cast<size_t>(exp10) + 1;
      for (size_t k = 0; k < whole; ++k) *o++ = k < n ? digits[k] : u'0';
      if (n > whole) {
        *o++ = u'.';
        for (size_t k = whole; k < n; ++k) *o++ = digits[k];
      }
    }
  } else {
    *o++ = digits[0];
    if (n > 1) {
      *o++ = u'.';
      for (size_t k = 1; k < n; ++k) *o++ = digits[k];
    }
    *o++ = u'E';
    char e[8];
    const char* eEnd = std::to_chars(e, e + sizeof e, exp10).ptr;
    for (const char* q = e; q < eEnd; ++q) *o++ = *q;
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
