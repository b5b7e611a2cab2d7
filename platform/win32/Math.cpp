// Sine and cosine for the Windows build.
//
// MinGW-w64's sin and cos are the x87 instructions fsin and fcos, which
// reduce the argument by pi/2 with a pi of only 66 bits: near the multiples
// of pi/2 most digits are lost (cos(pi/2) comes out as 6.12303176911189E-17
// instead of 6.12323399573677E-17). The tool writes coordinates to the last
// of 15 digits, and a drawing must come out the same whichever system made
// it; so the argument is reduced here with pi/2 to 128 bits, and the
// instructions only see |r| <= pi/4, where they are accurate well beyond
// double precision. These definitions take the place of the library's,
// sincos among them: the compiler joins a sine and a cosine of the same
// argument into one call of it.
#include <cmath>

namespace {

constexpr long double kTwoOverPi = 0xa2f9836e4e441529p-64L;
// pi/2 in three parts: the first two short enough that n times each is
// exact for every n below 2^31 (beyond that the reduction loses digits, as
// any would that is not exact to thousands of bits).
constexpr long double kPio2Part1 = 0xc90fdaa2p-31L;
constexpr long double kPio2Part2 = 0x2168c234p-63L;
constexpr long double kPio2Part3 = 0xc4c6628b80dc1cd1p-127L;

// The instructions themselves, not the library's sinl and cosl: the
// compiler would join those into sincosl, which lives beside the library's
// sincos and would bring it back.
long double Fsin(long double r) {
  long double y;
  asm("fsin" : "=t"(y) : "0"(r));
  return y;
}
long double Fcos(long double r) {
  long double y;
  asm("fcos" : "=t"(y) : "0"(r));
  return y;
}

// x = n * pi/2 + r with |r| <= pi/4 (a little more for huge x); the
// quadrant is n mod 4. False for infinities and NaN.
bool Reduce(double x, long double& r, unsigned& quadrant) {
  if (!std::isfinite(x)) return false;
  const long double n = nearbyintl(static_cast<long double>(x) * kTwoOverPi);
  r = ((static_cast<long double>(x) - n * kPio2Part1) - n * kPio2Part2) - n * kPio2Part3;
  quadrant = static_cast<unsigned>(static_cast<unsigned long long>(std::fmod(std::fabs(n), 4.0L)));
  if (n < 0) quadrant = (4 - quadrant) & 3;
  return true;
}

// The sine and cosine of x.
void SinCos(double x, double& s, double& c) {
  long double r;
  unsigned q;
  if (!Reduce(x, r, q)) {
    s = c = x - x;  // NaN
    return;
  }
  const long double sr = Fsin(r), cr = Fcos(r);
  switch (q) {
    case 0: s = static_cast<double>(sr), c = static_cast<double>(cr); break;
    case 1: s = static_cast<double>(cr), c = static_cast<double>(-sr); break;
    case 2: s = static_cast<double>(-sr), c = static_cast<double>(-cr); break;
    default: s = static_cast<double>(-cr), c = static_cast<double>(sr); break;
  }
}

}  // namespace

extern "C" double sin(double x) {
  double s, c;
  SinCos(x, s, c);
  return s;
}

extern "C" double cos(double x) {
  double s, c;
  SinCos(x, s, c);
  return c;
}

extern "C" void sincos(double x, double* s, double* c) { SinCos(x, *s, *c); }
