// Internal to the library: the geometric tolerance shared by the commands and
// the store-building operations, so that what the one refuses the other does.
//
// Every test is made in extended precision against 1e-10 rounded to it; the
// double nearest 1e-10 lies just above that limit, so a value equal to that
// double is not within the tolerance.
#pragma once

#include <cmath>
#include <string_view>

#include "myfunc/MyFunc.h"

namespace jwwtol {

constexpr long double kTol = 1e-10L;

// |v| <= tolerance.
inline bool Tiny(double v) { return std::fabs(static_cast<long double>(v)) <= kTol; }

// v <= tolerance, signed: a negative radius is as degenerate as a zero one.
inline bool NotPositive(double v) { return static_cast<long double>(v) <= kTol; }

// Two points are near when both coordinate differences lie strictly within the
// tolerance; the differences are formed in extended precision.
inline bool Near(double xp, double yp, double xq, double yq) {
  return std::fabs(static_cast<long double>(xq) - xp) < kTol &&
         std::fabs(static_cast<long double>(yq) - yp) < kTol;
}

// A ring needs an inner radius above zero and clearly below the outer one. The
// width r - ri is formed in extended precision and compared with the limit.
inline bool BadRing(double r, double h, double ri) {
  return NotPositive(r) || NotPositive(ri) || static_cast<long double>(r) - ri <= kTol ||
         Tiny(h);
}

// A four-corner solid with two coinciding corners is a triangle of the other
// three, or nothing when the coinciding corners lie across the diagonal.
// Gives how many corners are kept (4, 3 or 0) and, for 3, their numbers
// (0-based) in `kept`; the pairs are tested in this order.
inline int SolidCorners(const double x[4], const double y[4], int kept[3]) {
  struct Rule {
    int a, b, n, k0, k1, k2;
  };
  static constexpr Rule kRules[] = {{0, 1, 3, 0, 2, 3}, {0, 2, 0, 0, 0, 0},
                                    {0, 3, 3, 0, 1, 2}, {1, 2, 3, 0, 1, 3},
                                    {1, 3, 0, 0, 0, 0}, {2, 3, 3, 0, 1, 2}};
  for (const Rule& r : kRules) {
    if (!Near(x[r.a], y[r.a], x[r.b], y[r.b])) continue;
    kept[0] = r.k0, kept[1] = r.k1, kept[2] = r.k2;
    return r.n;
  }
  return 4;
}

// Empty, or nothing but spaces, full-width spaces and control characters.
inline bool Blank(std::u16string_view m) { return StripSpaces(m).empty(); }

// The length a dimension without a text shows: the distance rounded to ten
// decimals, halves upward (truncl, not an integer cast, so a huge length
// cannot overflow). The squares overflow a double beyond lengths of about
// 1e154; extended precision has the range to square the differences of any
// two finite points, and its products, sum and square root are rounded as
// IEEE 754 prescribes, the same on every system (a C library's hypot is not).
inline double DimLength(double x1, double y1, double x2, double y2) {
  long double d = Dist2P(x1, y1, x2, y2);
  if (std::isinf(d)) {
    const long double dx = static_cast<long double>(x2) - x1, dy = static_cast<long double>(y2) - y1;
    d = std::sqrt(dx * dx + dy * dy);
  }
  return static_cast<double>(std::truncl(d / kTol + 0.5L) * kTol);
}

}  // namespace jwwtol
