// Sine and cosine rounded to the nearest double.
//
// A drawing must come out the same whichever system computed it, so the
// result is defined as the double nearest the true value, and it is
// computed in integer arithmetic alone, whose every bit is the same on
// every processor; no C library function and no floating-point operation
// but exact conversions and scalings by powers of two comes near it.
//
// 1. The argument is reduced exactly: |x| = (4k + q + f) pi/2 with
//    |f| <= 1/2, from enough bits of 2/pi that even the largest doubles,
//    and those that come closest to a multiple of pi/2 (about 2^-61 away),
//    keep over 120 correct bits of f.
// 2. sin or cos of r = f pi/2 is evaluated in 128-bit fixed point, with an
//    error below 2^-103 of the value. When every value within 2^-96 of the
//    result (the bound with room to spare) rounds to the same double, that
//    double is the answer.
// 3. Otherwise (about once in 2^42 arguments) the reduction and the series
//    are done again with 256 bits, then 512, then 1024, until both ends of
//    the error interval round alike. Neither sine nor cosine of a nonzero
//    double ever equals a rounding boundary, so this ends.
#include "myfunc/ExactTrig.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "myfunc/Chars.h"
#include "myfunc/FixedPoint.h"
#include "myfunc/MyFunc.h"
#include "myfunc/TrigTables.h"

namespace {

using namespace fixedpoint;

// The largest double not above pi/4: below it no reduction is needed.
constexpr double kQuarterPi = 0x1.921fb54442d18p-1;

// ---- Quarter turns ----------------------------------------------------------

// The bits of 2/pi from bit s on (bit 1 is the first after the binary point;
// s may start up to 63 bits before it, where the bits are zero), as a whole
// number of `count` words, most significant first.
void TwoOverPiBits(int s, u64* out, int count) {
  const int g = s + 63;
  const int i = g / 64, shift = g % 64;
  for (int j = 0; j < count; ++j) {
    out[j] = trigtables::kTwoOverPi[i + j] << shift;
    if (shift != 0) out[j] |= trigtables::kTwoOverPi[i + j + 1] >> (64 - shift);
  }
}

struct Turns {
  unsigned quadrant;
  bool negative;  // f < 0
};

// For |x| = ax >= pi/4 (finite): ax 2/pi = 4k + quadrant + f, |f| <= 1/2,
// with |f| left in w as a number of `count` words scaled by 2^(64 count - 2).
// With ax = m 2^e, the bits of 2/pi before bit e - 1 add multiples of 4 to
// m 2^e 2/pi and are skipped; those after the `count` words add less than
// 2^(55 - 64 count).
Turns QuarterTurns(double ax, u64* w, int count) {
  const u64 bits = chars::BitCast<u64>(ax);
  const int e = static_cast<int>(bits >> 52) - 1075;
  const u64 m = (bits & ((u64{1} << 52) - 1)) | u64{1} << 52;
  TwoOverPiBits(e - 1, w, count);
  u64 carry = 0;  // m times the window, modulo 2^(64 count)
  for (int j = count; j-- > 0;) {
    const u128 p = static_cast<u128>(w[j]) * m + carry;
    w[j] = static_cast<u64>(p);
    carry = static_cast<u64>(p >> 64);
  }
  Turns t{static_cast<unsigned>(w[0] >> 62), false};
  w[0] &= ~(u64{3} << 62);
  if (w[0] >> 61 != 0) {  // f >= 1/2: the next quarter turn is nearer
    t.quadrant = (t.quadrant + 1) & 3;
    t.negative = true;
    bool carry = true;  // |f - 1|: the two's complement, cut to the fraction
    for (int j = count; j-- > 0;) {
      w[j] = ~w[j] + (carry ? 1 : 0);
      carry = carry && w[j] == 0;
    }
    w[0] &= ~(u64{3} << 62);
  }
  return t;
}

// Which of sin r and cos r gives the result, and its sign before that of r:
// sin(x) = sin(r + q pi/2), cos(x) = sin(r + (q + 1) pi/2).
struct Branch {
  bool cosOfR;
  bool negative;
};
Branch Choose(unsigned quadrant, bool cosine) {
  const unsigned k = quadrant + (cosine ? 1 : 0);
  return {(k & 1) != 0, (k & 2) != 0};
}

// The sign of the result: the branch's, flipped by sin(-r) = -sin r and by
// sin(-x) = -sin x.
bool Negative(Branch br, bool rNegative, bool cosine, double x) {
  return (br.negative != (!br.cosOfR && rNegative)) != (!cosine && x < 0);
}

// ---- Quick evaluation: 128-bit fixed point ---------------------------------

// |x| <= pi/4 (and >= 2^-27) as it is.
Mantissa FromDouble(double ax) {
  const u64 bits = chars::BitCast<u64>(ax);
  const u64 m = (bits & ((u64{1} << 52) - 1)) | u64{1} << 52;
  return {static_cast<u128>(m) << 75, -53 - (static_cast<int>(bits >> 52) - 1075)};
}

// |r| = |f| pi/2 for |x| > pi/4, to 2^-123 of it; false when |f| is below
// 2^-73, which no double comes near (the bits of 2/pi after the window would
// then weigh too much).
bool ReduceQuick(double ax, Turns& t, Mantissa& r) {
  u64 w[4];
  t = QuarterTurns(ax, w, 4);
  const int lead = w[0] != 0 ? std::countl_zero(w[0]) : 64 + std::countl_zero(w[1]);
  if (lead > 74) return false;
  // |f| = w 2^-254; its first 128 bits from the leading one: f = F 2^(-126 - lead).
  const int i = lead / 64, sh = lead % 64;
  u128 f = (static_cast<u128>(w[i]) << 64 | w[i + 1]) << sh;
  if (sh != 0) f |= w[i + 2] >> (64 - sh);
  // pi/2 = P 2^-127; F P 2^-128 lies in [2^126.6, 2^128).
  const u128 p = static_cast<u128>(trigtables::kPiOver2[0]) << 127 |
                 static_cast<u128>(trigtables::kPiOver2[1]) << 63 | trigtables::kPiOver2[2] >> 1;
  r = {MulHi(f, p), lead - 3};
  if (r.m >> 127 == 0) {
    r.m <<= 1;
    ++r.s;
  }
  return true;
}

// sin r or cos r for r <= pi/4 (cos r from 2^-27 on), within 2^-103 of the
// value: every
// product and term is cut by a few units of 2^-128, the small terms by a
// few units of 2^-103 which the powers of z they stand behind shrink below
// 2^-105, and the series stop at terms below 2^-109.
Mantissa SinCosQuick(Mantissa r, bool cosOfR) {
  const u128 z = Square(r);
  if (cosOfR) {
    // 1 - z C(z), with z C(z) in (0, 0.31].
    const u128 t = Series(trigtables::kCosWide, trigtables::kCosSmall, trigtables::kCosSmallScale, z);
    return {~t + 1, 0};
  }
  // r (1 - z S(z)), with z S(z) in [0, 0.103].
  return TimesOneMinus(r, Series(trigtables::kSinWide, trigtables::kSinSmall, trigtables::kSinSmallScale, z));
}

// ---- Wide evaluation -------------------------------------------------------

// The largest double is m 2^971: its window starts at bit 970, in word
// (970 + 63) / 64, and takes kMaxWords + 1 words and one more to shift from.
static_assert((970 + 63) / 64 + kMaxWords + 2 <= std::size(trigtables::kTwoOverPi));
static_assert(std::size(trigtables::kPiOver2) >= kMaxWords + 1);

// sin or cos of x by the wide evaluation with n words of fraction; false
// when its error interval still straddles a rounding boundary.
bool WideTry(double x, bool cosine, int n, double& out) {
  const double ax = x < 0 ? -x : x;
  Wide r;
  Branch br{cosine, false};
  bool rNegative = false;
  if (ax <= kQuarterPi) {  // r = ax exactly: its last bit, 2^-79 or above, is within 2 words
    const u64 bits = chars::BitCast<u64>(ax);
    const u64 m = (bits & ((u64{1} << 52) - 1)) | u64{1} << 52;
    const int shift = static_cast<int>(bits >> 52) - 1075 + 64 * n;
    const int t = shift / 64, b = shift % 64;
    r.w[n - t] = m << b;
    if (b != 0) r.w[n - t - 1] = m >> (64 - b);
  } else {
    u64 f[kMaxWords + 1] = {};
    const Turns turns = QuarterTurns(ax, f, n + 1);
    br = Choose(turns.quadrant, cosine);
    rNegative = turns.negative;
    Wide fw;  // |f| = f 2^(2 - 64 (n + 1)), cut to n words
    for (int i = 1; i <= n; ++i) fw.w[i] = f[i - 1] << 2 | f[i] >> 62;
    Wide pio2;
    for (int i = 0; i <= n; ++i) pio2.w[i] = trigtables::kPiOver2[i];
    MulWide(fw, pio2, r, n);
  }
  // The series of sin r or cos r: each term from the last by one product
  // and one division, subtracted and added in turn.
  Wide r2, term, sum;
  MulWide(r, r, r2, n);
  if (br.cosOfR) {
    term.w[0] = 1;
  } else {
    term = r;
  }
  sum = term;
  int steps = 0;
  for (u64 k = br.cosOfR ? 1 : 2;; k += 2) {
    Wide next;
    MulWide(term, r2, next, n);
    DivSmall(next, k * (k + 1), n);
    if (IsZero(next, n)) break;
    term = next;
    if (++steps % 2 != 0) {
      SubWide(sum, term, n);
    } else {
      AddWide(sum, term, n);
    }
  }
  // Errors: r is off by under 4 units and r^2 by under 6; a term by under 2
  // more than it inherits, which the step shrinks; the first term left out
  // is under 3 units. 16 + 4 a step covers it all.
  double a;
  if (!RoundsAlike(sum, 16 + 4 * static_cast<u64>(steps), n, a)) return false;
  out = Negative(br, rNegative, cosine, x) ? -a : a;
  return true;
}

// Failing at 1024 bits would take a sine or cosine within 2^-1000 of a
// rounding boundary.
double WideResult(double x, bool cosine) {
  return Widening([x, cosine](int n, double& out) { return WideTry(x, cosine, n, out); });
}

// The cases that need no evaluation: NaN for NaN and infinities; for
// |x| < 2^-26, sin x = x (the distance, under x^3/6, is below half the gap
// under x) and for |x| < 2^-27, cos x = 1 (likewise, x^2/2 < 2^-54).
bool Trivial(double x, bool cosine, double& out) {
  const double ax = x < 0 ? -x : x;
  if (!(ax <= 0x1.fffffffffffffp+1023)) {
    out = x - x;
    return true;
  }
  if (cosine ? ax < 0x1p-27 : ax < 0x1p-26) {
    out = cosine ? 1.0 : x;
    return true;
  }
  return false;
}

}  // namespace

namespace exacttrig {

double SinOrCos(double x, bool cosine, int quickBits) {
  double out;
  if (Trivial(x, cosine, out)) return out;
  const double ax = x < 0 ? -x : x;
  Turns turns{0, false};
  Mantissa r;
  if (ax <= kQuarterPi) {
    r = FromDouble(ax);
  } else if (!ReduceQuick(ax, turns, r)) {
    return WideResult(x, cosine);
  }
  const Branch br = Choose(turns.quadrant, cosine);
  if (br.cosOfR && r.s >= 27) {
    out = 1;  // r < 2^-27: as for x itself in Trivial
  } else if (!RoundsSafely(SinCosQuick(r, br.cosOfR), quickBits, out)) {
    return WideResult(x, cosine);
  }
  return Negative(br, turns.negative, cosine, x) ? -out : out;
}

double WideSinOrCos(double x, bool cosine) {
  double out;
  if (Trivial(x, cosine, out)) return out;
  return WideResult(x, cosine);
}

}  // namespace exacttrig

double ExactSin(double x) { return exacttrig::SinOrCos(x, false); }
double ExactCos(double x) { return exacttrig::SinOrCos(x, true); }
