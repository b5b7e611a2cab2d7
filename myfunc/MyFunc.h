/// @file
/// Shared routines: number texts, plane geometry and texts as UTF-16 code
/// units. Pure: they ask nothing of the system; the routines that do (FileThere,
/// FileRemove, EscPressed) are in platform/Platform.h.
/// Texts are UTF-16; a character is one code unit; indexes are 0-based.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

/// An integer read leniently, as the fields of the exchange file are.
/// @param s the text: decimal, or up to eight hexadecimal digits after "$", "x",
///          "X", "0x", "0X"
/// @return its value; 0 for an empty text or one that is not a whole integer
int32_t StrToIntZ(std::u16string_view s);
/// An integer as text.
/// @param v the value
/// @return v in decimal, "-" before a negative one
std::u16string IntStr(int32_t v);
/// A number read leniently, as the fields of the exchange file are.
/// @param s the text: a decimal number, with a sign, a point and an exponent
/// @return its value; 0 for an empty text or one that is not a whole decimal number
double StrToFloatZ(std::u16string_view s);
/// StrToIntZ's grammar, strictly, for a number a user gives.
/// @param s the text, in StrToIntZ's grammar
/// @param value set to the number when it is read; untouched otherwise
/// @return true when the whole text is one integer in range; false for an
///         empty text, anything else in it or beside it ("5 "), or a value
///         out of range
bool TryStrToInt(std::u16string_view s, int32_t& value);
/// StrToFloatZ's grammar, strictly, for a number a user gives.
/// @param s the text, in StrToFloatZ's grammar
/// @param value set to the number when it is read; untouched otherwise
/// @return true when the whole text is one finite number in range; false for
///         an empty text, anything else in it or beside it ("5 ", "1,5",
///         "nan"), or a value out of range
bool TryStrToFloat(std::u16string_view s, double& value);
/// A number as the exchange file writes it.
/// @param v the value
/// @return 15 significant digits; fixed notation for 1E-4 <= |v| < 1E15,
///         else 1.5E20 style
std::u16string FloatStr(double v);
/// FloatStr's text appended to out, for building a line without a string per number.
/// @param out the text the number is appended to
/// @param v the value
void AppendFloat(std::u16string& out, double v);

/// The sine of x radians: the double nearest the true value, the same on
/// every system.
/// @param x the angle in radians
/// @return sin x; NaN for infinities and NaN; the sign of 0 kept
double ExactSin(double x);
/// The cosine of x radians: the double nearest the true value, the same on
/// every system.
/// @param x the angle in radians
/// @return cos x; NaN for infinities and NaN
double ExactCos(double x);
/// The angle of the point (x, y) from the x axis: the double nearest the true
/// value, the same on every system.
/// @param y the point's y
/// @param x the point's x
/// @return the angle in radians, in [-pi, pi]; zeros, infinities and NaN as
///         IEEE 754 defines atan2 for them
double ExactAtan2(double y, double x);

/// (x, y) := the point (px, py) turned counter-clockwise by angle degrees
/// about (cx, cy).
/// @param x set to the turned point's x
/// @param y set to the turned point's y
/// @param px the point's x
/// @param py the point's y
/// @param cx the centre's x
/// @param cy the centre's y
/// @param angle the turn in degrees, counter-clockwise
void RotatePoint(double& x, double& y, double px, double py, double cx, double cy,
                 double angle);
/// The direction of the vector (dx, dy).
/// @param dx the vector's x
/// @param dy the vector's y
/// @return radians in [0, 2 pi); 0 for a vector within 1e-14 of zero and for
///         a direction within 1e-10 radians of the positive x axis, so that it
///         never reads as a whole turn
double DirAngle(double dx, double dy);
/// The distance of two points.
/// @param x1 the first point's x
/// @param y1 the first point's y
/// @param x2 the second point's x
/// @param y2 the second point's y
/// @return the distance, in the points' unit
double Dist2P(double x1, double y1, double x2, double y2);

/// A text without blanks.
/// @param s the text
/// @return s without spaces, control characters and ideographic spaces (U+3000)
std::u16string StripSpaces(std::u16string_view s);
/// The RGB value of a fill colour.
/// @param r red, 0-255
/// @param g green, 0-255
/// @param b blue, 0-255
/// @return r + 256 g + 65536 b, wrapping as 32 bits
int32_t RgbValue(int32_t r, int32_t g, int32_t b);

/// The length of a text.
/// @param s the text
/// @return its length in code units
int32_t TextLen(std::u16string_view s);
/// One code unit of a text.
/// @param s the text
/// @param i the index, from 0
/// @return the code unit at i as a text of one; empty when i lies outside s
std::u16string CharAt(std::u16string_view s, int32_t i);
/// Where a text first occurs in another.
/// @param sub the text looked for
/// @param s the text looked in
/// @return the index of its first occurrence; -1 when it does not occur, or
///         either is empty
int32_t TextPos(std::u16string_view sub, std::u16string_view s);
/// The end of a text.
/// @param s the text
/// @param i the index it starts from
/// @return s from i on: all of s for a negative i, empty when i is past the end
std::u16string TextFrom(std::u16string_view s, int32_t i);
/// A part of a text.
/// @param s the text
/// @param i the index it starts from; a negative i counts as 0
/// @param n the most code units taken
/// @return up to n code units of s from i; empty for n <= 0
std::u16string TextMid(std::u16string_view s, int32_t i, int32_t n);
/// Whether a character is half-width.
/// @param c the code unit
/// @return true for printable ASCII (space to "~") or half-width katakana
///         (U+FF61-U+FF9F)
bool IsHalfWidth(char16_t c);
/// Which half of a surrogate pair a code unit is.
/// @param c the code unit
/// @return 1 for a high (leading) surrogate, 2 for a low (trailing) one, else 0
int32_t SurrogateKind(char16_t c);
