#!/usr/bin/python3
"""Write the reference values that tests/sincos/Check.h compares ExactSin
and ExactCos with: the double nearest the true sine and cosine of each
argument, from mpmath at high precision (Debian: python3-mpmath).

    /usr/bin/python3 tests/sincos/make_reference.py

writes, beside this script:
  hard.txt    chosen arguments, one a line: the bits of x, sin x and cos x
              in hexadecimal, then what the argument is;
  random.bin  100,000 random arguments over the angles a drawing uses and
              over every exponent: x, sin x, cos x as little-endian doubles,
              24 bytes each.

Each value is computed at 160 bits or more, and at twice the precision
again until it lies far enough from a rounding boundary that the rounding
is certain. Everything is deterministic (fixed seed); it takes under a
minute.
"""

import math
import os
import random
import struct
import sys
from fractions import Fraction

from mpmath import mp, mpf
from mpmath.libmp import mpf_cos_sin, round_nearest

HERE = os.path.dirname(os.path.abspath(__file__))
SEED = 20240613
RANDOM_COUNT = 100_000


def bits(x):
    return struct.unpack("<Q", struct.pack("<d", x))[0]


def from_bits(b):
    return struct.unpack("<d", struct.pack("<Q", b))[0]


def next_up(x):
    return math.nextafter(x, math.inf)


def next_down(x):
    return math.nextafter(x, -math.inf)


def round_to_double(v):
    """The double nearest the exact rational v (ties to even), subnormals
    included; None beyond the largest double."""
    if v == 0:
        return 0.0
    sign = -1.0 if v < 0 else 1.0
    a = abs(v)
    e = a.numerator.bit_length() - a.denominator.bit_length()
    if Fraction(2) ** e > a:
        e -= 1
    q = max(e - 52, -1074)
    scaled = a / Fraction(2) ** q
    n = scaled.numerator // scaled.denominator
    rest = scaled - n
    if rest > Fraction(1, 2) or (rest == Fraction(1, 2) and n % 2 == 1):
        n += 1
    return sign * math.ldexp(n, q)


def exact(v):
    """An mpmath number (its raw sign, mantissa, exponent) as a fraction."""
    sign, man, exp, _ = v
    f = Fraction(int(man)) * Fraction(2) ** exp
    return -f if sign else f


def nearest_sin_cos(x):
    """(sin x, cos x), each the double nearest the true value."""
    if math.isnan(x) or math.isinf(x):
        return math.nan, math.nan
    if x == 0:
        return x, 1.0
    prec = 160
    while True:
        c, s = mpf_cos_sin(mpf(x)._mpf_, prec, round_nearest)
        out = []
        for v in (s, c):
            value = exact(v)
            # mpmath's result is within a few units of its last place:
            # 2^-(prec - 10) of the value covers that many times over.
            radius = abs(value) / Fraction(2) ** (prec - 10)
            lo, hi = round_to_double(value - radius), round_to_double(value + radius)
            out.append(lo if lo == hi else None)
        if None not in out:
            return tuple(out)
        prec *= 2


def hard_arguments():
    """(x, what it is): the places where sine and cosine are hard to get
    right, and the values a drawing produces."""
    rows = []

    def add(x, what):
        rows.append((x, what))

    for x, what in ((0.0, "zero"), (-0.0, "negative zero"),
                    (5e-324, "least subnormal"), (-5e-324, "least subnormal, negative"),
                    (from_bits(0x000FFFFFFFFFFFFF), "largest subnormal"),
                    (from_bits(0x0008000000000001), "subnormal"),
                    (2.2250738585072014e-308, "least normal"),
                    (1e-300, "tiny"), (1e-20, "tiny"), (-3.5e-10, "tiny")):
        add(x, what)
    # Where sin x = x and cos x = 1 stop being the answer.
    for e in (-27, -26, -25):
        b = 2.0 ** e
        for x in (next_down(b), b, next_up(b)):
            add(x, f"about 2^{e}")
            add(-x, f"about -2^{e}")
    # Where the reduction starts: pi/4.
    q = math.pi / 4
    for x in (next_down(q), q, next_up(q), next_up(next_up(q))):
        add(x, "about pi/4")
    # Multiples of pi/2, near and far, and their neighbours.
    with mp.workprec(400):
        half_pi = exact((+mp.pi / 2)._mpf_)
    for k in list(range(1, 17)) + [100, 1000, 12345, 2**20, 2**30 + 3, 2**40, 2**52 - 1, 2**60,
                                   2**100 + 1]:
        x = float(k * half_pi)
        for y in (next_down(x), x, next_up(x)):
            add(y, f"about {k} pi/2")
            add(-y, f"about -{k} pi/2")
    # The double closest to a multiple of pi/2 (about 2^-61 away).
    add(6381956970095103.0 * 2.0**797, "closest to a multiple of pi/2")
    add(-6381956970095103.0 * 2.0**797, "closest to a multiple of pi/2, negative")
    # Degrees turned into radians as the tool does it: a rotation angle
    # times 3.14159265358979 / 180, an arc angle / 180 times the double pi.
    for deg in (1, 15, 30, 45, 60, 90, 120, 135, 150, 180, 225, 270, 300, 315, 360, 720, 3600,
                -90, -180, -3765.2, 4804.93, 12.5, 5000, -5000, 1e6, 123456789012345678.0):
        add(deg * 3.14159265358979 / 180, f"{deg} degrees with pi to 15 digits")
        add(deg / 180 * math.pi, f"{deg} degrees")
    # Sines (s) and cosines (c) that lie 2^-78 to 2^-81 of their value from
    # a rounding boundary, found among 150 million angles of drawings.
    for b, which in ((0x3ff462bf10c30700, "s"), (0x4008c3897ce2ed72, "s"), (0x4045a45e8791e670, "s"),
                     (0x40553ea269a6a526, "c"), (0x40190142d23fcf42, "c"), (0x3fced04788dc87b8, "s"),
                     (0xc043e070d9ba5e00, "s"), (0x4026340da842d568, "s"), (0x40146e2d46e56efd, "s"),
                     (0x403aea73657b82bc, "s")):
        add(from_bits(b), ("sine" if which == "s" else "cosine") + " close to a rounding boundary")
    # Huge arguments.
    for x, what in ((1e22, "1e22"), (1e100, "1e100"), (1e300, "1e300"), (2.0**1023, "2^1023"),
                    (1.7976931348623157e308, "largest double"),
                    (next_down(1.7976931348623157e308), "next to the largest double"),
                    (-1.7976931348623157e308, "largest double, negative"),
                    (2.0**52 - 0.5, "2^52 - 1/2"), (2.0**53 + 2, "2^53 + 2")):
        add(x, what)
    for x, what in ((math.inf, "infinity"), (-math.inf, "negative infinity"), (math.nan, "NaN")):
        add(x, what)
    return rows


def random_arguments(rng):
    """The angles of drawings, then every exponent."""
    out = []
    pi15 = 3.14159265358979

    def degrees():
        r = rng.random()
        if r < 0.4:
            return float(rng.randint(-5000, 5000))
        if r < 0.7:
            return round(rng.uniform(-5000, 5000), rng.choice((1, 2)))
        return rng.uniform(-5000, 5000)

    for _ in range(20_000):  # rotations and arc starts
        d = degrees()
        out.append(d * pi15 / 180 if rng.random() < 0.5 else d / 180 * math.pi)
    for _ in range(20_000):  # radians up to arcs of +-5000 degrees and more
        out.append(rng.uniform(-100, 100))
    for _ in range(15_000):  # division points: t summed step by step
        n = rng.randint(2, 1000)
        if rng.random() < 0.5:
            t, step = 0.0, 2 * math.pi / n
        else:
            sa, span = degrees(), rng.uniform(0.001, 360)
            t, step = sa / 180 * math.pi, (math.pi * span / 180) / n
        for _ in range(rng.randint(1, n)):
            t = t + step
        out.append(t)
    for _ in range(10_000):  # one turn, and no reduction at all
        out.append(rng.uniform(0, 2 * math.pi) if rng.random() < 0.5
                   else rng.uniform(-math.pi / 4, math.pi / 4))
    while len(out) < RANDOM_COUNT:  # every exponent, subnormals included
        e = rng.randint(0, 2046)
        out.append(from_bits(rng.getrandbits(1) << 63 | e << 52 | rng.getrandbits(52)))
    return out


def main():
    with open(os.path.join(HERE, "hard.txt"), "w", newline="\n") as f:
        f.write("# x, sin x, cos x as the bits of doubles; what x is. "
                "Written by make_reference.py.\n")
        for x, what in hard_arguments():
            s, c = nearest_sin_cos(x)
            f.write(f"{bits(x):016x} {bits(s):016x} {bits(c):016x} {what}\n")
    rng = random.Random(SEED)
    args = random_arguments(rng)
    with open(os.path.join(HERE, "random.bin"), "wb") as f:
        for i, x in enumerate(args):
            s, c = nearest_sin_cos(x)
            f.write(struct.pack("<3d", x, s, c))
            if i % 10000 == 0:
                print(f"{i} of {len(args)}", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
