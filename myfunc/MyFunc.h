// Shared routines: number texts, plane geometry and texts as UTF-16 code
// units. Pure: they ask nothing of the system; the routines that do (FileThere,
// FileRemove, EscPressed) are in platform/Platform.h.
// Texts are UTF-16; a character is one code unit; indexes are 0-based.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// 0 for an empty text or one that is not a whole integer (decimal, or up to
// eight hexadecimal digits after "$", "x", "X", "0x", "0X").
int32_t StrToIntZ(std::u16string_view s);
std::u16string IntStr(int32_t v);
// 0 for an empty text or one that is not a whole decimal number.
double StrToFloatZ(std::u16string_view s);
// The same grammars, strictly, for numbers a user gives: true with value set
// when the whole text is one number in range (finite, for TryStrToFloat);
// false, value untouched, for an empty text, anything else in it or beside it
// ("5 ", "1,5", "nan"), or a value out of range.
bool TryStrToInt(std::u16string_view s, int32_t& value);
bool TryStrToFloat(std::u16string_view s, double& value);
// 15 significant digits; fixed notation for 1E-4 <= |x| < 1E15, else 1.5E20 style.
std::u16string FloatStr(double v);
// FloatStr's text appended to out, for building a line without a string per number.
void AppendFloat(std::u16string& out, double v);

// The sine and cosine of x radians: the double nearest the true value, the
// same on every system. NaN for infinities and NaN; sin keeps the sign of 0.
double ExactSin(double x);
double ExactCos(double x);
// The angle of the point (x, y) from the x axis in radians, in [-pi, pi]:
// the double nearest the true value, the same on every system. Zeros,
// infinities and NaN as IEEE 754 defines atan2 for them.
double ExactAtan2(double y, double x);

void RotatePoint(double& x, double& y, double px, double py, double cx, double cy,
                 double angle);
double DirAngle(double dx, double dy);
double Dist2P(double x1, double y1, double x2, double y2);

std::u16string StripSpaces(std::u16string_view s);
int32_t RgbValue(int32_t r, int32_t g, int32_t b);

int32_t TextLen(std::u16string_view s);
std::u16string CharAt(std::u16string_view s, int32_t i);
int32_t TextPos(std::u16string_view sub, std::u16string_view s);
std::u16string TextFrom(std::u16string_view s, int32_t i);
std::u16string TextMid(std::u16string_view s, int32_t i, int32_t n);
bool IsHalfWidth(char16_t c);
int32_t SurrogateKind(char16_t c);
