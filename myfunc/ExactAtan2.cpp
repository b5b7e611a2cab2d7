// The arc tangent of y/x in the quadrant of (x, y), rounded to the nearest
// double: the direction of a line, which must come out the same whichever
// system computed it. Integer arithmetic, as for the sine and cosine; the
// two floating-point divisions, rounded as IEEE 754 says on every system,
// only choose a table entry and start a reciprocal.
//
// 1. The angle of (|x|, |y|) is k pi/4 + or - atan(u), with u = Y/X <= 3/7
//    for exact integers X and Y: t, the smaller coordinate over the larger,
//    and above 2/5 (1 - t)/(1 + t), the tangent of the angle's distance to
//    the diagonal. A point left of the axis turns the angle into pi minus it.
// 2. u is brought near zero exactly: turning (X, Y) back by atan(i/128),
//    i the nearest step, gives d = (128 Y - i X)/(128 X + i Y) with
//    |d| <= 0.51/128, and atan u = atan(i/128) + atan d, the first from a
//    table. d is found in 128-bit fixed point through a reciprocal (Newton's
//    iteration), its arc tangent by a short series; the sum lies within
//    2^-112 of its value. When every value within 2^-96 of it rounds to the
//    same double, that double is the answer.
// 3. Otherwise (about once in 2^42 pairs) u itself is divided out bit by
//    bit with 256 bits, then 512, then 1024, and its series summed, until
//    both ends of the error interval round alike. The arc tangent of a
//    nonzero rational, and k pi/4 plus or minus it, is never a rounding
//    boundary, so this ends.
// 4. Below 2^-61 the arc tangent of t = y/x lies below t and nearer to it
//    than any rounding boundary but t itself: the answer is t rounded, a tie
//    going toward zero. Only here can the result be subnormal.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include "myfunc/Chars.h"
#include "myfunc/ExactTrig.h"
#include "myfunc/FixedPoint.h"
#include "myfunc/MyFunc.h"
#include "myfunc/TrigTables.h"

namespace {

using namespace fixedpoint;

constexpr double kPi = 0x1.921fb54442d18p+1;  // the doubles nearest pi and pi/2
constexpr double kHalfPi = 0x1.921fb54442d18p+0;

// ---- The angle as k pi/4 + or - atan(u) ------------------------------------

// A finite positive double as m 2^e, m in [2^52, 2^53).
struct Split {
  u64 m;
  int e;
};
Split SplitDouble(double a) {
  const u64 bits = chars::BitCast<u64>(a);
  const u64 frac = bits & ((u64{1} << 52) - 1);
  const int biased = static_cast<int>(bits >> 52);
  if (biased != 0) return {frac | u64{1} << 52, biased - 1075};
  const int lead = std::countl_zero(frac) - 11;  // subnormal: shifted up to 53 bits
  return {frac << lead, -1074 - lead};
}

// The angle of (|x|, |y|) plus, for x < 0, its turn into pi minus it:
// k pi/4 + atan(u) (negate: minus), u = num / (den 2^shift) in [0, 3/7].
struct Octant {
  unsigned k;
  bool negate;
  u64 num, den;
  int shift;
};

Octant Reduce(double ax, double ay, bool xNegative) {
  const bool steep = ay > ax;  // pi/2 - atan(|x|/|y|)
  const Split small = SplitDouble(steep ? ax : ay), large = SplitDouble(steep ? ay : ax);
  Octant o{steep ? 2u : 0u, steep, small.m, large.m, large.e - small.e};
  // t = num / (den 2^shift) <= 1; above 2/5, atan t = pi/4 - atan((1 - t)/(1 + t)).
  if (o.shift <= 2 && 5 * o.num > 2 * (o.den << o.shift)) {
    const u64 den = o.den << o.shift;
    o = {1, !steep, den - o.num, den + o.num, 0};
  }
  if (xNegative) {
    o.k = 4 - o.k;
    o.negate = !o.negate;
  }
  return o;
}

// The direction of a tiny slope: see 4. above.
constexpr int kTinyShift = 62;  // num / (den 2^shift) < 2^-61

// The double nearest (q + f) 2^e, 0 <= f < 1 (f > 0 when inexact), q < 2^75,
// a tie going toward zero; subnormal or zero where it falls there.
double RoundTiesDown(u128 q, int e, bool inexact) {
  const int top = 127 - LeadingZeros(q) + e;   // the exponent of the leading bit
  const int last = std::max(top - 52, -1074);  // that of the double's last bit
  const int drop = last - e;                   // > 0 here
  if (drop > 75) return 0;                     // below half the least subnormal
  const u128 rest = q & ((u128{1} << drop) - 1), half = u128{1} << (drop - 1);
  const u64 kept = static_cast<u64>(q >> drop) + ((rest > half || (rest == half && inexact)) ? 1 : 0);
  // A carry out of the 53 bits (or into the normal range) steps the exponent.
  return chars::BitCast<double>((static_cast<u64>(last + 1074) << 52) + kept);
}

double TinyAtan(const Octant& o) {
  const u128 n = static_cast<u128>(o.num) << 74;
  return RoundTiesDown(n / o.den, -74 - o.shift, n % o.den != 0);
}

// ---- Quick evaluation: 128-bit fixed point ---------------------------------

// 2^254 / d for d in [2^127, 2^128), within 7 units of 2^-126 of its value:
// a double's 53 bits, then two steps of r' = r + r (1 - d r) that each square
// the error and add under 6 units from the cut products.
u128 Reciprocal(u128 d) {
  const double m = static_cast<double>(static_cast<u64>(d >> 75));  // exact
  u128 r = static_cast<u128>(static_cast<u64>(0x1p115 / m)) << 64;  // within 2^-51
  const u128 one = u128{1} << 126;
  for (int step = 0; step < 2; ++step) {
    const u128 dr = MulHi(d, r);  // d r 2^-254, within 2^-50 of one
    r = dr <= one ? r + MulHi(r, (one - dr) << 2) : r - MulHi(r, (dr - one) << 2);
  }
  return r;
}

// p / (q 2^shift) for p, q > 0, within 2^-122 of it.
Mantissa Quotient(u128 p, u128 q, int shift) {
  const int sp = LeadingZeros(p), sq = LeadingZeros(q);
  // p/q = (p 2^sp) (2^254 / (q 2^sq)) 2^(sq - sp - 254)
  u128 m = MulHi(p << sp, Reciprocal(q << sq));  // >= 2^125
  const int lead = LeadingZeros(m);
  return {m << lead, lead + sp - sq - 2 + shift};
}

// atan d for 0 < d < 2^-7.9, within 2^-121 of it: d (1 - z A(z)), z = d^2,
// the series stopping before z^8/17 < 2^-131; d's own error carries over,
// the products and the small terms add a few units of 2^-128.
Mantissa AtanQuick(Mantissa d) {
  return TimesOneMinus(
      d, Series(trigtables::kAtanWide, trigtables::kAtanSmall, trigtables::kAtanSmallScale, Square(d)));
}

// The sum: units of 2^-126, so that pi fits.
constexpr u128 kQuarterPi126 =
    u128{1} << 125 | static_cast<u128>(trigtables::kPiOver2[1]) << 61 | trigtables::kPiOver2[2] >> 3;

// The angle of o rounded, if its quick evaluation decides it.
bool QuickAtan(const Octant& o, int quickBits, double& out) {
  unsigned i = 0;      // the table step
  if (o.shift <= 8) {  // else u < 2^-8, nearer 0 than 1/128
    i = static_cast<unsigned>(
        static_cast<double>(o.num) / static_cast<double>(o.den << o.shift) * trigtables::kAtanSteps + 0.5);
  }
  Mantissa d{0, 0};
  bool dNegative = false;
  if (i == 0) {
    if (o.num != 0) d = AtanQuick(Quotient(o.num, o.den, o.shift));
    // The angle is atan u itself: kept to its own precision, however small.
    if (o.k == 0 && !o.negate) return RoundsSafely(d, quickBits, out);
  } else {
    // (X, Y) turned back by atan(i/128), scaled by 128: exact.
    const u128 x = static_cast<u128>(o.den) << o.shift, y = o.num;
    const u128 turnedX = trigtables::kAtanSteps * x + i * y;
    const u128 a = trigtables::kAtanSteps * y, b = i * x;
    dNegative = a < b;
    if (a != b) d = AtanQuick(Quotient(dNegative ? b - a : a - b, turnedX, 0));
  }
  // Every term cut to units of 2^-126: under 8 units in all, with k pi/4 (4)
  // and the table (1.25); the sum is at least atan(0.49/128), above 2^-8.1.
  const u128 step =
      static_cast<u128>(trigtables::kAtanOfStep[i][0]) << 62 | trigtables::kAtanOfStep[i][1] >> 2;
  const u128 dPart = d.s + 2 >= 128 ? 0 : d.m >> (d.s + 2);
  const u128 arc = dNegative ? step - dPart : step + dPart;
  const u128 sum = o.k * kQuarterPi126 + (o.negate ? -arc : arc);
  const int lead = LeadingZeros(sum);
  return RoundsSafely({sum << lead, lead - 2}, quickBits, out);
}

// ---- Wide evaluation -------------------------------------------------------

// u = num / (den 2^shift) to n words, cut: bit by bit, the remainder below den.
Wide Ratio(const Octant& o, int n) {
  Wide u;
  u64 rem = o.num;                           // num < 2 den
  for (int j = o.shift; j <= 64 * n; ++j) {  // the bit of 2^-j
    if (rem >= o.den) {
      rem -= o.den;
      const int word = (j + 63) / 64;
      u.w[word] |= u64{1} << (64 * word - j);
    }
    rem <<= 1;
  }
  return u;
}

// The angle of o by the wide evaluation with n words of fraction; false
// when its error interval still straddles a rounding boundary.
bool WideTry(const Octant& o, int n, double& out) {
  // atan u = u - u^3/3 + u^5/5 - ..., u <= 3/7.
  const Wide u = Ratio(o, n);
  Wide z, power = u, sum = u;
  MulWide(u, u, z, n);
  int steps = 0;
  for (u64 k = 3;; k += 2) {
    Wide next;
    MulWide(power, z, next, n);
    if (IsZero(next, n)) break;
    power = next;
    Wide term = power;
    DivSmall(term, k, n);
    if (++steps % 2 != 0) {
      SubWide(sum, term, n);
    } else {
      AddWide(sum, term, n);
    }
  }
  // k pi/4, from pi/2 halved: under 4 units.
  Wide quarter, angle;
  for (int i = 0; i <= n; ++i)
    quarter.w[i] = trigtables::kPiOver2[i] >> 1 | (i > 0 ? trigtables::kPiOver2[i - 1] << 63 : 0);
  for (unsigned j = 0; j < o.k; ++j) AddWide(angle, quarter, n);
  if (o.negate) {
    SubWide(angle, sum, n);
  } else {
    AddWide(angle, sum, n);
  }
  // Errors: u is cut by under a unit and z by under 2; a power of u by under
  // 4 (what it inherits shrinks by z < 0.19 a step), a term by under 3, the
  // terms left out add up to under 2. 16 + 4 a step covers it all.
  return RoundsAlike(angle, 16 + 4 * static_cast<u64>(steps), n, out);
}

// Failing at 1024 bits would take an angle within 2^-1000 of a rounding
// boundary.
double WideAtan(const Octant& o) {
  return Widening([&o](int n, double& out) { return WideTry(o, n, out); });
}

// The pairs that need no evaluation, as IEEE 754 defines them: NaN for a
// NaN; an infinity counts as the direction of a unit vector, a zero gives
// the angle of its axis, with the sign of y.
bool Trivial(double& y, double& x, double& out) {
  if (std::isnan(x) || std::isnan(y)) {
    out = x + y;
    return true;
  }
  if (std::isinf(x) || std::isinf(y)) {
    x = std::copysign(std::isinf(x) ? 1.0 : 0.0, x);
    y = std::copysign(std::isinf(y) ? 1.0 : 0.0, y);
  }
  if (y == 0) {
    out = std::signbit(x) ? std::copysign(kPi, y) : y;
    return true;
  }
  if (x == 0) {
    out = std::copysign(kHalfPi, y);
    return true;
  }
  return false;
}

template <class Evaluate>
double Atan2By(double y, double x, Evaluate evaluate) {
  double out;
  if (Trivial(y, x, out)) return out;
  const Octant o = Reduce(std::fabs(x), std::fabs(y), x < 0);
  out = o.k == 0 && !o.negate && o.shift >= kTinyShift ? TinyAtan(o) : evaluate(o);
  return y < 0 ? -out : out;
}

}  // namespace

namespace exacttrig {

double Atan2(double y, double x, int quickBits) {
  return Atan2By(y, x, [quickBits](const Octant& o) {
    double out;
    return QuickAtan(o, quickBits, out) ? out : WideAtan(o);
  });
}

double WideAtan2(double y, double x) { return Atan2By(y, x, WideAtan); }

}  // namespace exacttrig

double ExactAtan2(double y, double x) { return exacttrig::Atan2(y, x); }
