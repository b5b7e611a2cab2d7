/// @file
/// Shared routines: number texts, plane geometry and texts as UTF-16 code
/// units. Pure: they ask nothing of the system; the routines that do (FileThere,
/// FileRemove, EscPressed) are in platform/Platform.h.
/// Texts are UTF-16; a character is one code unit; indexes are 0-based.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// 0 for an empty text or one that is not a whole integer (decimal, or up to
/// eight hexadecimal digits after "$", "x", "X", "0x", "0X").
int32_t StrToIntZ(std::u16string_view s);
std::u16string IntStr(int32_t v);  ///< v in decimal, "-" before a negative one
/// 0 for an empty text or one that is not a whole decimal number.
double StrToFloatZ(std::u16string_view s);
///@{
/// The same grammars, strictly, for numbers a user gives: true with value set
/// when the whole text is one number in range (finite, for TryStrToFloat);
/// false, value untouched, for an empty text, anything else in it or beside it
/// ("5 ", "1,5", "nan"), or a value out of range.
bool TryStrToInt(std::u16string_view s, int32_t& value);
bool TryStrToFloat(std::u16string_view s, double& value);
///@}
/// 15 significant digits; fixed notation for 1E-4 <= |x| < 1E15, else 1.5E20 style.
std::u16string FloatStr(double v);
/// FloatStr's text appended to out, for building a line without a string per number.
void AppendFloat(std::u16string& out, double v);

///@{
/// The sine and cosine of x radians: the double nearest the true value, the
/// same on every system. NaN for infinities and NaN; sin keeps the sign of 0.
double ExactSin(double x);
double ExactCos(double x);
///@}
/// The angle of the point (x, y) from the x axis in radians, in [-pi, pi]:
/// the double nearest the true value, the same on every system. Zeros,
/// infinities and NaN as IEEE 754 defines atan2 for them.
double ExactAtan2(double y, double x);

/// (x, y) := the point (px, py) turned counter-clockwise by angle degrees
/// about (cx, cy).
void RotatePoint(double& x, double& y, double px, double py, double cx, double cy,
                 double angle);
/// The direction of (dx, dy) in radians, in [0, 2 pi); 0 for a vector within
/// 1e-14 of zero and for a direction within 1e-10 radians of the positive x
/// axis, so that it never reads as a whole turn.
double DirAngle(double dx, double dy);
double Dist2P(double x1, double y1, double x2, double y2);  ///< distance of two points

/// s without spaces, control characters and ideographic spaces (U+3000).
std::u16string StripSpaces(std::u16string_view s);
/// r + 256 g + 65536 b, the RGB value of a fill colour, wrapping as 32 bits.
int32_t RgbValue(int32_t r, int32_t g, int32_t b);

int32_t TextLen(std::u16string_view s);  ///< length in code units
/// The code unit at i as a text of one; empty when i lies outside s.
std::u16string CharAt(std::u16string_view s, int32_t i);
/// Where sub first occurs in s; -1 when it does not, or either is empty.
int32_t TextPos(std::u16string_view sub, std::u16string_view s);
/// s from i on: all of s for a negative i, empty when i is past the end.
std::u16string TextFrom(std::u16string_view s, int32_t i);
/// Up to n code units of s from i (a negative i counts as 0); empty for n <= 0.
std::u16string TextMid(std::u16string_view s, int32_t i, int32_t n);
/// Printable ASCII (space to "~") or half-width katakana (U+FF61-U+FF9F).
bool IsHalfWidth(char16_t c);
/// 1 for a high (leading) surrogate, 2 for a low (trailing) one, else 0.
int32_t SurrogateKind(char16_t c);
