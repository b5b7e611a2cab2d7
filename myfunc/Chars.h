// Bit casts and the decimal texts of doubles, for C++ libraries without the
// standard's own: libc++ 13 (a browser build's) has neither std::bit_cast nor
// the floating-point std::to_chars and std::from_chars. Where the library has
// them, BitCast, ToChars and FromChars call them; elsewhere, or built with
// KX29_PORTABLE_CHARS, they take the fallbacks below, which give the same
// characters and values through the C library's printf and strtod.
#pragma once

#include <charconv>
#include <cstring>
#include <type_traits>
#include <version>
#if defined(__cpp_lib_bit_cast) && !defined(KX29_PORTABLE_CHARS)
#include <bit>
#endif

namespace chars {

template <class To, class From>
constexpr To BitCast(const From& from) noexcept {
  static_assert(sizeof(To) == sizeof(From) && std::is_trivially_copyable_v<To> &&
                std::is_trivially_copyable_v<From>);
#if defined(__cpp_lib_bit_cast) && !defined(KX29_PORTABLE_CHARS)
  return std::bit_cast<To>(from);
#else
  To to;
  std::memcpy(&to, &from, sizeof to);
  return to;
#endif
}

// As std::to_chars(first, last, v): the shortest text that reads back as v,
// of the closest to v, in fixed or scientific notation, whichever is shorter
// (fixed on a tie).
std::to_chars_result ToCharsFallback(char* first, char* last, double v);
// As std::to_chars(first, last, v, format, precision), for the fixed,
// scientific and general formats.
std::to_chars_result ToCharsFallback(char* first, char* last, double v, std::chars_format format,
                                     int precision);
// As std::from_chars(first, last, v) in the general format: the longest
// number at first, without a leading "+", blank or "0x"; v untouched unless
// ec is std::errc().
std::from_chars_result FromCharsFallback(const char* first, const char* last, double& v);

#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L && !defined(KX29_PORTABLE_CHARS)
inline std::to_chars_result ToChars(char* first, char* last, double v) {
  return std::to_chars(first, last, v);
}
inline std::to_chars_result ToChars(char* first, char* last, double v, std::chars_format format,
                                    int precision) {
  return std::to_chars(first, last, v, format, precision);
}
inline std::from_chars_result FromChars(const char* first, const char* last, double& v) {
  return std::from_chars(first, last, v);
}
#else
inline std::to_chars_result ToChars(char* first, char* last, double v) {
  return ToCharsFallback(first, last, v);
}
inline std::to_chars_result ToChars(char* first, char* last, double v, std::chars_format format,
                                    int precision) {
  return ToCharsFallback(first, last, v, format, precision);
}
inline std::from_chars_result FromChars(const char* first, const char* last, double& v) {
  return FromCharsFallback(first, last, v);
}
#endif

}  // namespace chars
