// Fixed-point arithmetic in integers, shared by the exact sine, cosine and
// arc tangent: every bit of it is the same on every processor.
//
// Quick: a u128 v stands for v 2^-128 where nothing else is said.
// Wide: w[0] units, w[i] units of 2^-64i, of which the first n after w[0]
// are in use; every cut below them loses less than one unit of 2^-64n.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "myfunc/Chars.h"

namespace fixedpoint {

using u64 = uint64_t;
using u128 = unsigned __int128;

// 2^k for the normal range.
inline double Pow2(int k) { return chars::BitCast<double>(static_cast<u64>(1023 + k) << 52); }

// ---- Quick: 128 bits ------------------------------------------------------

// a b, short by less than 3 units.
inline u128 MulHi(u128 a, u128 b) {
  const u64 a1 = static_cast<u64>(a >> 64), a0 = static_cast<u64>(a);
  const u64 b1 = static_cast<u64>(b >> 64), b0 = static_cast<u64>(b);
  return static_cast<u128>(a1) * b1 + (static_cast<u128>(a1) * b0 >> 64) +
         (static_cast<u128>(a0) * b1 >> 64);
}

// The zero bits above the leading one (128 for 0).
inline int LeadingZeros(u128 v) {
  const u64 high = static_cast<u64>(v >> 64);
  return high != 0 ? std::countl_zero(high) : 64 + std::countl_zero(static_cast<u64>(v));
}

// A positive value m 2^-(128 + s), m with its top bit set.
struct Mantissa {
  u128 m;
  int s;
};

// x^2 in units of 2^-128, 0 below them.
inline u128 Square(Mantissa x) { return 2 * x.s >= 128 ? 0 : MulHi(x.m, x.m) >> 2 * x.s; }

// x (1 - t) for t below 1/2 (units of 2^-128), its top bit set again.
inline Mantissa TimesOneMinus(Mantissa x, u128 t) {
  Mantissa y{x.m - MulHi(x.m, t), x.s};
  if (y.m >> 127 == 0) {
    y.m <<= 1;
    ++y.s;
  }
  return y;
}

// z S(z) or z C(z), every partial sum positive: the terms from the small
// ones on by Horner's rule in 64-bit words (units of 2^-scale), the rest in
// 128 bits, in pairs (c0 - c1 z) + z^2 ((c2 - c3 z) + z^2 (...)), which do
// not wait for one another.
template <size_t NW, size_t NS>
inline u128 Series(const uint64_t (&wide)[NW][2], const uint64_t (&small)[NS], int scale, u128 z) {
  const u64 z64 = static_cast<u64>(z >> 64);
  u64 v = small[NS - 1];
  for (size_t j = NS - 1; j-- > 0;) v = small[j] - static_cast<u64>(static_cast<u128>(z64) * v >> 64);
  u128 t = static_cast<u128>(v) << (128 - scale);
  auto c = [&wide](size_t j) { return static_cast<u128>(wide[j][0]) << 64 | wide[j][1]; };
  const u128 z2 = MulHi(z, z);
  size_t j = NW;
  if (j % 2 != 0) t = c(--j) - MulHi(z, t);
  while (j > 0) {
    j -= 2;
    t = (c(j) - MulHi(z, c(j + 1))) + MulHi(z2, t);
  }
  return MulHi(z, t);
}

// The double nearest y, if every value within 2^-bits of y (bits >= 55)
// rounds to it too: the 75 bits below the double's 53 must stay clear of
// the half-way point.
inline bool RoundsSafely(Mantissa y, int bits, double& out) {
  const u128 rest = y.m & ((u128{1} << 75) - 1);
  const u128 half = u128{1} << 74;
  const u128 err = y.m >> bits;
  if ((rest > half ? rest - half : half - rest) <= err) return false;
  const u64 mant = static_cast<u64>(y.m >> 75) + (rest > half ? 1 : 0);  // 2^53 at most: exact
  out = static_cast<double>(mant) * Pow2(-53 - y.s);
  return true;
}

// ---- Wide: up to kMaxWords words -------------------------------------------

constexpr int kMaxWords = 16;

struct Wide {
  u64 w[kMaxWords + 1] = {};
};

inline void MulWide(const Wide& a, const Wide& b, Wide& out, int n) {
  u64 p[2 * kMaxWords + 2] = {};  // a b exactly, least significant first
  for (int i = 0; i <= n; ++i) {
    u64 carry = 0;
    for (int j = 0; j <= n; ++j) {
      const u128 t = static_cast<u128>(a.w[n - i]) * b.w[n - j] + p[i + j] + carry;
      p[i + j] = static_cast<u64>(t);
      carry = static_cast<u64>(t >> 64);
    }
    p[i + n + 1] = carry;
  }
  for (int k = 0; k <= n; ++k) out.w[n - k] = p[n + k];  // cut below 2^-64n
}

inline void DivSmall(Wide& a, u64 d, int n) {
  u64 rem = 0;
  for (int i = 0; i <= n; ++i) {
    const u128 cur = static_cast<u128>(rem) << 64 | a.w[i];
    a.w[i] = static_cast<u64>(cur / d);
    rem = static_cast<u64>(cur % d);
  }
}

inline void AddWide(Wide& a, const Wide& b, int n) {
  u64 carry = 0;
  for (int i = n; i >= 0; --i) {
    const u128 t = static_cast<u128>(a.w[i]) + b.w[i] + carry;
    a.w[i] = static_cast<u64>(t);
    carry = static_cast<u64>(t >> 64);
  }
}

inline void SubWide(Wide& a, const Wide& b, int n) {  // a >= b
  u64 borrow = 0;
  for (int i = n; i >= 0; --i) {
    const u64 bi = b.w[i] + borrow;
    borrow = (bi < borrow || a.w[i] < bi) ? 1 : 0;
    a.w[i] -= bi;
  }
}

inline bool IsZero(const Wide& a, int n) {
  for (int i = 0; i <= n; ++i)
    if (a.w[i] != 0) return false;
  return true;
}

// The double nearest a (a > 0, ties to even).
inline double NearestDouble(const Wide& a, int n) {
  int i = 0;
  while (i < n && a.w[i] == 0) ++i;
  const int lz = std::countl_zero(a.w[i]);
  u64 top = a.w[i] << lz;
  bool sticky = false;
  if (i < n) {
    if (lz != 0) top |= a.w[i + 1] >> (64 - lz);
    sticky = (lz != 0 ? a.w[i + 1] << lz : a.w[i + 1]) != 0;
    for (int k = i + 2; k <= n; ++k) sticky = sticky || a.w[k] != 0;
  }
  u64 mant = top >> 11;
  const bool half = (top >> 10 & 1) != 0;
  sticky = sticky || (top & 0x3ff) != 0;
  if (half && (sticky || (mant & 1) != 0)) ++mant;  // 2^53 at most: exact
  return static_cast<double>(mant) * Pow2(-64 * i + 63 - lz - 52);
}

// The double nearest v > 0, if v - err and v + err (units of 2^-64n, both
// positive) round to it alike; false when they straddle a rounding boundary.
inline bool RoundsAlike(const Wide& v, u64 err, int n, double& out) {
  Wide lo = v, hi = v, e;
  e.w[n] = err;
  SubWide(lo, e, n);
  AddWide(hi, e, n);
  out = NearestDouble(lo, n);
  return out == NearestDouble(hi, n);
}

// The first result that attempt(n, out) accepts with n = 4, 8, 16 words.
template <class Try>
double Widening(Try attempt) {
  double out = 0;
  for (int n = 4; n <= kMaxWords; n *= 2)
    if (attempt(n, out)) return out;
  return out;  // not reached for the functions here: see their notes
}

}  // namespace fixedpoint
