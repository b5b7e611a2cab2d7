// Until the library carries its own portable number conversions
// (KX29_PORTABLE_CHARS): what emscripten's libc++ 13 lacks, for the web build
// alone, made from musl's correctly rounded strtod and printf. Force-included
// only while myfunc/Chars.h is missing.
#pragma once

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace std {

template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  return __builtin_bit_cast(To, from);
}

inline from_chars_result from_chars(const char* first, const char* last, double& value,
                                    chars_format = chars_format::general) {
  const std::string text(first, last);
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  const char* ptr = first + (end - text.c_str());
  if (ptr == first) return {first, errc::invalid_argument};
  const bool nonzero = text.find_first_of("123456789") < text.find_first_of("eE");
  if (std::isinf(v) || (v == 0 && nonzero)) return {ptr, errc::result_out_of_range};
  value = v;
  return {ptr, errc()};
}

inline to_chars_result to_chars(char* first, char* last, double value, chars_format,
                                int precision) {
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, "%.*e", precision, value);
  if (n < 0 || n > last - first) return {last, errc::value_too_large};
  std::memcpy(first, buf, static_cast<size_t>(n));
  return {first + n, errc()};
}

}  // namespace std
