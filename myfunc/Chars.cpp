// The fallbacks of Chars.h, built everywhere so that the tests can hold them
// to the standard library's results. printf and strtod read and write the C
// locale's point: nothing here changes the locale.
#include "myfunc/Chars.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace chars {
namespace {

std::to_chars_result Put(char* first, char* last, const char* text, size_t n) {
  if (static_cast<size_t>(last - first) < n) return {last, std::errc::value_too_large};
  std::memcpy(first, text, n);
  return {first + n, std::errc()};
}

// printf's text of v by a conversion with a precision, such as "%.*e".
std::to_chars_result Printed(char* first, char* last, const char* conversion, int precision, double v) {
  char local[400];
  const int n = std::snprintf(local, sizeof local, conversion, precision, v);
  if (n < 0) return {last, std::errc::value_too_large};
  if (static_cast<size_t>(n) < sizeof local) return Put(first, last, local, static_cast<size_t>(n));
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), conversion, precision, v);
  return Put(first, last, big.data(), static_cast<size_t>(n));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// d[0].d[1]...d[n-1] x 10^exp10.
struct Digits {
  char d[17];
  int n;
  int exp10;
};

// printf's closest k digits to a, and whether they read back as a.
bool Closest(double a, int k, Digits& s) {
  char sci[32];
  std::snprintf(sci, sizeof sci, "%.*e", k - 1, a);
  s.n = k;
  s.d[0] = sci[0];
  if (k > 1) std::memcpy(s.d + 1, sci + 2, static_cast<size_t>(k - 1));
  s.exp10 = std::atoi(sci + (k > 1 ? k + 2 : 2));
  return std::strtod(sci, nullptr) == a;
}

bool ReadsBackAs(const Digits& s, double a) {
  char text[32];
  std::snprintf(text, sizeof text, "%c.%.*se%d", s.d[0], s.n - 1, s.d + 1, s.exp10);
  return std::strtod(text, nullptr) == a;
}

// The shortest digits that read back as a (finite, above 0), of them the
// closest to a.
Digits Shortest(double a) {
  Digits s{};
  const uint64_t bits = BitCast<uint64_t>(a);
  if ((bits & ((uint64_t{1} << 52) - 1)) != 0 || bits >> 52 <= 1) {
    // a's rounding interval reaches as far down as up, so if any k digits
    // read back as a, the closest do, and so do the closest k + 1. The
    // shortest are sought between 1 and 17 digits (17 always read back),
    // first at 16 and 15, where most doubles' are.
    int lo = 1, hi = 17;
    Digits found{};
    for (int probe = 0; lo < hi; ++probe) {
      const int k = probe < 2 ? hi - 1 : (lo + hi) / 2;
      if (Closest(a, k, s)) {
        hi = k;
        found = s;
      } else {
        lo = k + 1;
      }
    }
    if (found.n == hi) return found;
    Closest(a, 17, s);
    return s;
  }
  // A power of two, whose interval reaches half as far down as up: the
  // closest k digits can lie below it, out of reach, while the next k
  // digits up lie within.
  for (int k = 1;; ++k) {
    if (Closest(a, k, s)) return s;
    int i = k - 1;
    for (; i >= 0 && s.d[i] == '9'; --i) s.d[i] = '0';
    if (i >= 0) {
      ++s.d[i];
    } else {
      s.d[0] = '1';
      ++s.exp10;
    }
    if (ReadsBackAs(s, a)) return s;
  }
}

}  // namespace

std::to_chars_result ToCharsFallback(char* first, char* last, double v) {
  const char* sign = std::signbit(v) ? "-" : "";
  if (std::isnan(v) || std::isinf(v) || v == 0) {
    const std::string text = std::string(sign) + (std::isnan(v) ? "nan" : std::isinf(v) ? "inf" : "0");
    return Put(first, last, text.data(), text.size());
  }
  const double a = std::fabs(v);
  Digits s = Shortest(a);
  while (s.n > 1 && s.d[s.n - 1] == '0') --s.n;
  const int n = s.n, e = s.exp10;
  const int scientificLength = n + (n > 1 ? 1 : 0) + 2 + (e <= -100 || e >= 100 ? 3 : 2);
  const int fixedLength = e >= n - 1 ? e + 1 : e >= 0 ? n + 1 : n + 1 - e;
  std::string text = sign;
  if (fixedLength > scientificLength) {
    text += s.d[0];
    if (n > 1) text.append(".").append(s.d + 1, static_cast<size_t>(n - 1));
    char exponent[16];
    std::snprintf(exponent, sizeof exponent, "e%c%02d", e < 0 ? '-' : '+', e < 0 ? -e : e);
    text += exponent;
  } else if (e > n - 1) {
    // A whole number with zeros after its digits: written as it is, which
    // the zeros need not be.
    char whole[32];
    std::snprintf(whole, sizeof whole, "%.0f", a);
    text += whole;
  } else if (e >= 0) {
    text.append(s.d, static_cast<size_t>(e + 1));
    if (n > e + 1) text.append(".").append(s.d + e + 1, static_cast<size_t>(n - e - 1));
  } else {
    text.append("0.").append(static_cast<size_t>(-e - 1), '0').append(s.d, static_cast<size_t>(n));
  }
  return Put(first, last, text.data(), text.size());
}

std::to_chars_result ToCharsFallback(char* first, char* last, double v, std::chars_format format,
                                     int precision) {
  switch (format) {
    case std::chars_format::fixed: return Printed(first, last, "%.*f", precision, v);
    case std::chars_format::scientific: return Printed(first, last, "%.*e", precision, v);
    case std::chars_format::general: return Printed(first, last, "%.*g", precision, v);
    default: return {first, std::errc::invalid_argument};
  }
}

std::from_chars_result FromCharsFallback(const char* first, const char* last, double& v) {
  // The extent of the number, as from_chars reads it.
  const char* p = first;
  if (p != last && *p == '-') ++p;
  auto isWord = [&p, last](const char* w) {  // w at p, in either case
    const size_t n = std::strlen(w);
    if (static_cast<size_t>(last - p) < n) return false;
    for (size_t k = 0; k < n; ++k) {
      if ((p[k] | 0x20) != w[k]) return false;
    }
    return true;
  };
  const char* end = p;
  bool decimal = false, nonZero = false;
  if (isWord("inf")) {
    end = p + (isWord("infinity") ? 8 : 3);
  } else if (isWord("nan")) {
    end = p + 3;
    if (end != last && *end == '(') {
      const char* q = end + 1;
      while (q != last && (IsDigit(*q) || ((*q | 0x20) >= 'a' && (*q | 0x20) <= 'z') || *q == '_')) ++q;
      if (q != last && *q == ')') end = q + 1;
    }
  } else {
    size_t digits = 0;
    for (bool point = false; end != last; ++end) {
      if (IsDigit(*end)) {
        ++digits;
        nonZero = nonZero || *end != '0';
      } else if (*end == '.' && !point) {
        point = true;
      } else {
        break;
      }
    }
    if (digits == 0) return {first, std::errc::invalid_argument};
    decimal = true;
    if (end != last && (*end == 'e' || *end == 'E')) {
      const char* q = end + 1;
      if (q != last && (*q == '+' || *q == '-')) ++q;
      if (q != last && IsDigit(*q)) {
        while (q != last && IsDigit(*q)) ++q;
        end = q;
      }
    }
  }

  // strtod of it, from a copy that ends in a NUL.
  const size_t n = static_cast<size_t>(end - first);
  char local[256];
  std::string big;
  char* text = local;
  if (n < sizeof local) {
    std::memcpy(local, first, n);
    local[n] = '\0';
  } else {
    big.assign(first, n);
    text = big.data();
  }
  const double r = std::strtod(text, nullptr);
  // Beyond the largest double, or below half the smallest.
  if (decimal && (std::isinf(r) || (r == 0 && nonZero))) return {end, std::errc::result_out_of_range};
  v = r;
  return {end, std::errc()};
}

}  // namespace chars
