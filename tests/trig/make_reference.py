#!/usr/bin/python3
"""Write the reference values that tests/trig/Check.h compares ExactSin,
ExactCos and ExactAtan2 with: the double nearest the true value of each,
from mpmath at high precision (Debian: python3-mpmath).

    /usr/bin/python3 tests/trig/make_reference.py [sincos] [atan2]

writes, beside this script (both sets when none is named):
  sincos_hard.txt    chosen arguments, one a line: the bits of x, sin x and
                     cos x in hexadecimal, then what the argument is;
  sincos_random.bin  100,000 random arguments over the angles a drawing uses
                     and over every exponent: x, sin x, cos x as
                     little-endian doubles, 24 bytes each;
  atan2_hard.txt     chosen pairs: the bits of y, x and atan2(y, x), then
                     what the pair is;
  atan2_random.bin   100,000 random pairs over the directions of drawn
                     lines, the seams of the evaluation and every exponent:
                     y, x, atan2(y, x) as little-endian doubles.

Each value is computed at 160 bits or more, and at twice the precision
again until it lies far enough from a rounding boundary that the rounding
is certain. Everything is deterministic (fixed seeds); it takes about a
minute a set.
"""

import math
import os
import random
import struct
import sys
from fractions import Fraction

from mpmath import mp, mpf
from mpmath.libmp import mpf_atan2, mpf_cos_sin, round_nearest

HERE = os.path.dirname(os.path.abspath(__file__))
SEED = 20240613
ATAN2_SEED = 20240921
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


def certain(values_at):
    """The doubles nearest the values that values_at(prec) gives as raw
    mpmath numbers, each computed within a few units of its last place."""
    prec = 160
    while True:
        out = []
        for v in values_at(prec):
            value = exact(v)
            # 2^-(prec - 10) of the value covers those units many times over.
            radius = abs(value) / Fraction(2) ** (prec - 10)
            lo, hi = round_to_double(value - radius), round_to_double(value + radius)
            out.append(lo if lo == hi else None)
        if None not in out:
            return out
        prec *= 2


def nearest_sin_cos(x):
    """(sin x, cos x), each the double nearest the true value."""
    if math.isnan(x) or math.isinf(x):
        return math.nan, math.nan
    if x == 0:
        return x, 1.0
    s, c = certain(lambda prec: reversed(mpf_cos_sin(mpf(x)._mpf_, prec, round_nearest)))
    return s, c


def nearest_pi_times(k):
    """The double nearest k pi."""
    def at(prec):
        with mp.workprec(prec):
            return [(mp.pi * k)._mpf_]
    return certain(at)[0]


def nearest_atan2(y, x):
    """atan2(y, x), the double nearest the true value; the zeros,
    infinities and NaN as IEEE 754 defines them."""
    if math.isnan(y) or math.isnan(x):
        return math.nan
    if math.isinf(y):
        turn = 0.5 if not math.isinf(x) else 0.25 if x > 0 else 0.75
        return math.copysign(nearest_pi_times(turn), y)
    if math.isinf(x):
        return math.copysign(0.0 if x > 0 else nearest_pi_times(1), y)
    if y == 0:  # the positive or the negative x axis
        return math.copysign(nearest_pi_times(1), y) if math.copysign(1, x) < 0 else y
    if x == 0:
        return math.copysign(nearest_pi_times(0.5), y)
    return certain(lambda prec: [mpf_atan2(mpf(y)._mpf_, mpf(x)._mpf_, prec, round_nearest)])[0]


def sincos_hard_arguments():
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


def sincos_random_arguments(rng):
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


# Lines of drawings, from one end point to the other, whose directions lie
# so near a rounding boundary that glibc's and MinGW-w64's atan2 disagree on
# them; on the first six the two programs wrote different points.
DISAGREEING_LINES = [
    (-2270.94, -218.5, 227.16, 299.33), (1870.5, -4.1, -1627, -1519.99),
    (-1050.71, 1986, -1988.17, -2017.656), (-1327.9, -297, 1815.3, -4906),
    (4439, -554.88, -4060, 3017), (2045, 4156, -2710, -2499),
    (-4286, 383, 1729, 967), (-4823, 712.3, 3082, 492),
]


def atan2_hard_pairs():
    """(y, x, what it is): the places where atan2 is hard to get right, and
    the directions a drawing produces."""
    rows = []

    def add(y, x, what):
        rows.append((y, x, what))

    inf, nan = math.inf, math.nan
    least, largest = 5e-324, 1.7976931348623157e308
    # Zeros, infinities and NaN, every sign.
    for y in (0.0, -0.0):
        for x in (0.0, -0.0, 1.0, -1.0, least, -least, inf, -inf):
            add(y, x, "zero y")
    for x in (0.0, -0.0):
        for y in (1.0, -1.0, least, -largest, inf, -inf):
            add(y, x, "zero x")
    for y in (inf, -inf):
        for x in (inf, -inf, 1.0, -1.0, largest, -least):
            add(y, x, "infinite y")
    for x in (inf, -inf):
        for y in (1.0, -1.0, largest, -least):
            add(y, x, "infinite x")
    for y, x in ((nan, 1.0), (1.0, nan), (nan, nan), (nan, inf), (-inf, nan), (nan, 0.0)):
        add(y, x, "NaN")
    # The axes and the diagonals at every scale, and next to them.
    for v in (least, 1e-300, 1.0, 3.0, 1e300, largest):
        for sy, sx in ((1, 1), (1, -1), (-1, 1), (-1, -1)):
            add(sy * v, sx * v, "diagonal")
            add(sy * next_up(v), sx * v, "next to a diagonal")
            add(sy * v, sx * next_down(v), "next to a diagonal")
    # The ratio y/x overflowing and underflowing.
    for y, x, what in ((largest, least, "largest over least"), (-1e308, 1e-308, "ratio beyond range"),
                       (1.0, -least, "ratio beyond range, to the left"),
                       (least, largest, "least over largest"), (1e-300, 1e300, "ratio below range"),
                       (-least, -largest, "least over largest, to the left"),
                       (1.0, 1e308, "subnormal angle"), (1.0, 2.0**1023, "subnormal angle, exact"),
                       (1e-10, 1e300, "subnormal angle"), (-1e-320, 3.0, "subnormal over 3"),
                       (from_bits(0x000FFFFFFFFFFFFF), 1.0, "largest subnormal over 1"),
                       (from_bits(0x0008000000000001), -1.0, "subnormal, to the left"),
                       (2.2250738585072014e-308, 1.0, "least normal over 1")):
        add(y, x, what)
    # Angles below 2^-1022 that are exactly half way between two subnormals
    # as a ratio: the angle, a hair below the ratio, rounds down.
    for y, x, what in ((3 * least, 2.0, "3 least / 2"), (least, 2.0, "least / 2"),
                       (-5 * least, 2.0, "-5 least / 2"), (least, next_down(2.0), "least / (2 - ulp)"),
                       ((2**52 + 1) * least, 2.0, "least normal plus one, halved"),
                       (3 * least, 4.0, "3 least / 4")):
        add(y, x, "ratio on a subnormal rounding boundary: " + what)
    # Ratios a hair above a rounding boundary, by less than the arc tangent
    # takes off: the angle rounds down, the ratio up.
    for e in (30, 40, 50):
        add(2.0**-e, next_down(2.0), f"2^-{e} / (2 - ulp)")
        add(-(2.0**-e), next_down(2.0), f"-2^-{e} / (2 - ulp)")
    # Where the arc tangent is the ratio itself: about 2^-61.
    for x in (2.0**60, 2.0**61, next_down(2.0**62), 2.0**62, next_up(2.0**62), 2.0**63):
        add(1.0, x, "ratio about 2^-61")
        add(next_down(2.0), x, "ratio about 2^-61")
        add(-1.0, -x, "ratio about 2^-61, to the left")
        add(x, 1.0, "ratio about 2^61")
    # The seams of the evaluation: ratio 2/5 and next to it, exactly on the
    # steps i/128 and half way between them, near 2^-8, and exactly 1.
    for y, x, what in ((2.0, 5.0, "2/5"), (0.4, 1.0, "0.4"), (next_down(0.4), 1.0, "below 0.4"),
                       (5.0, 2.0, "5/2"), (-2.0, -5.0, "2/5, third quadrant"),
                       (1.0, 256.0, "1/256"), (1.0, next_down(256.0), "above 1/256"),
                       (1.0, 255.0, "1/255"), (3.0, 768.0, "1/256"),
                       (1.0, 128.0, "1/128"), (3.0, 128.0, "3/128"), (55.0, 128.0, "55/128"),
                       (51.0, 128.0, "51/128"), (109.0, 256.0, "109/256"), (111.0, 256.0, "111/256"),
                       (100.0, 156.0, "(1 - t)/(1 + t) = 28/128"),
                       (73.0, 183.0, "73/183, just below 2/5"), (-73.0, 183.0, "-73/183"),
                       (next_up(1.0), 1.0, "just steeper than the diagonal"),
                       (1.0, 3.0, "1/3"), (-4.0, 3.0, "-4/3"), (3.0, -4.0, "3/-4")):
        add(y, x, "ratio " + what)
    # Directions whose angles lie 2^-79 to 2^-86 of their value from a
    # rounding boundary, found among 400 million lines of drawings.
    h = float.fromhex
    for y, x in ((h("-0x1.61ddeb851eb85p+12"), h("-0x1.d686666666666p+10")),
                 (h("-0x1.2a6bd356d71dcp+13"), h("-0x1.b8f3333333332p+10")),
                 (h("0x1.9bb8a5fe0b8c9p+10"), h("0x1.bab2c60dc8eb4p+12")),
                 (h("-0x1.705c7557677a4p+11"), h("-0x1.bed9d1e17a43ep+12")),
                 (h("-0x1.8b83d3a43938cp+8"), h("-0x1.272970a3d70a4p+12")),
                 (h("-0x1.c8651eb851ebcp+9"), h("-0x1.d5649dd69166p+6")),
                 (h("-0x1.bc4p+12"), h("0x1.fcdc22f7b229p+12")),
                 (h("0x1.9d3p+12"), h("0x1.62628f5c28f5cp+9")),
                 (h("-0x1.2918f5c28f5c2p+11"), h("0x1.4f84584446ecp+9")),
                 (h("-0x1.3be6666666668p+9"), h("-0x1.c4cp+12"))):
        add(y, x, "angle close to a rounding boundary")
    for x1, y1, x2, y2 in DISAGREEING_LINES:
        add(y2 - y1, x2 - x1, f"line ({x1}, {y1}) to ({x2}, {y2}), where C libraries disagree")
    # Directions of lines as drawn.
    for y, x in ((4.0, 3.0), (4804.93, -3765.2), (-1e-3, 5000.0), (1e-12, -1.0), (0.1, 0.3),
                 (2.0**-30, 1.0), (1.0, 1e-14)):
        add(y, x, "a drawn line")
    return rows


def atan2_random_pairs(rng):
    """The directions of drawn lines, the seams of the evaluation, then
    every exponent."""
    out = []

    def coordinate():
        r = rng.random()
        places = 0 if r < 0.35 else 1 if r < 0.6 else 2 if r < 0.8 else 3 if r < 0.9 else None
        v = rng.uniform(-5000, 5000)
        return v if places is None else round(v, places)

    for _ in range(40_000):  # from one end point to the other
        x1, y1, x2, y2 = coordinate(), coordinate(), coordinate(), coordinate()
        out.append((y2 - y1, x2 - x1))
    for _ in range(10_000):  # offsets of points turned about a centre
        a, r = rng.uniform(0, 2 * math.pi), rng.uniform(1e-3, 1e4)
        out.append((r * math.sin(a), r * math.cos(a)))
    for _ in range(15_000):  # ratios near the steps, 2/5, 1 and 2^-8, a few units off
        x = rng.uniform(0.5, 2) * 2.0 ** rng.randint(-20, 20)
        t = rng.choice((rng.randint(0, 56) / 128, (rng.randint(0, 56) + 0.5) / 128, 0.4, 1.0,
                        2.0**-8, 2.0**-61))
        y = from_bits(max(0, bits(x * t) + rng.randint(-4, 4)))
        y, x = (x, y) if rng.random() < 0.5 else (y, x)
        out.append((rng.choice((1, -1)) * y, rng.choice((1, -1)) * x))
    for _ in range(15_000):  # exponents up to 80 apart
        x = rng.uniform(1, 2) * 2.0 ** rng.randint(-900, 900)
        out.append((rng.choice((1, -1)) * x * rng.uniform(1, 2) * 2.0 ** rng.randint(-80, 80),
                    rng.choice((1, -1)) * x))

    def any_double():
        return from_bits(rng.getrandbits(1) << 63 | rng.randint(0, 2046) << 52 | rng.getrandbits(52))

    while len(out) < RANDOM_COUNT:  # every exponent, subnormals included
        out.append((any_double(), any_double()))
    return out


def write_set(name, hard, random_cases, nearest, header):
    """Writes name_hard.txt and name_random.bin."""
    with open(os.path.join(HERE, name + "_hard.txt"), "w", newline="\n") as f:
        f.write(f"# {header} Written by make_reference.py.\n")
        for row in hard:
            *args, what = row
            values = list(args) + list(nearest(*args))
            f.write(" ".join(f"{bits(v):016x}" for v in values) + f" {what}\n")
    with open(os.path.join(HERE, name + "_random.bin"), "wb") as f:
        for i, args in enumerate(random_cases):
            f.write(struct.pack("<3d", *args, *nearest(*args)))
            if i % 10000 == 0:
                print(f"{name}: {i} of {len(random_cases)}", file=sys.stderr)


def main():
    wanted = sys.argv[1:] or ["sincos", "atan2"]
    if "sincos" in wanted:
        write_set("sincos", [(x, what) for x, what in sincos_hard_arguments()],
                  [(x,) for x in sincos_random_arguments(random.Random(SEED))], nearest_sin_cos,
                  "x, sin x, cos x as the bits of doubles; what x is.")
    if "atan2" in wanted:
        write_set("atan2", atan2_hard_pairs(), atan2_random_pairs(random.Random(ATAN2_SEED)),
                  lambda y, x: (nearest_atan2(y, x),),
                  "y, x, atan2(y, x) as the bits of doubles; what the pair is.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
