#!/usr/bin/python3
"""Run modes 7 to 13 of the built kx29 against a model of their geometry of
our own: exact rational arithmetic where the figures allow it (lines, their
crossings and overlaps), 50-digit arithmetic elsewhere (circles, arcs, the
length of an ellipse, the crossings of two ellipses as the roots of their
quartic), every pair tried, nothing shared with the program.

    tests/point_tools.py KX29

Needs python3-mpmath. Prints one line per case and exits 1 when any fails.
"""
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile
from fractions import Fraction as Q

import mpmath as mp

mp.mp.dps = 50
KX29 = os.path.abspath(sys.argv[1])
SAME = 1e-6     # points closer than this are one, in millimetres
CAP = 100000    # points in one run at most


def exchange(*records, points=()):
    lines = ['hq', 'lg0', 'ly0', 'lc1', 'lt1']
    lines += [f'hp{k} {x} {y}' for k, (x, y) in enumerate(points, 1)]
    return ''.join(line + '\r\n' for line in [*lines, *records]).encode('cp932')


def run(data, *args):
    """The points kx29 writes for the exchange file data and the arguments."""
    with tempfile.TemporaryDirectory() as d:
        shutil.copy(KX29, os.path.join(d, 'kx29'))
        with open(os.path.join(d, 'JWC_TEMP.TXT'), 'wb') as f:
            f.write(data)
        r = subprocess.run([os.path.join(d, 'kx29'), *map(str, args)], cwd=d, timeout=120,
                           capture_output=True)
        assert r.returncode == 0, r
        with open(os.path.join(d, 'JWC_TEMP.TXT'), 'rb') as f:
            text = f.read().decode('cp932')
    pts = []
    for line in text.split('\r\n'):
        if line.startswith('pt '):
            v = line.split()
            pts.append((float(v[1]), float(v[2])))
    return pts


def near(p, q, tol=1e-9):
    return all(abs(a - b) <= tol * max(1.0, abs(a), abs(b)) for a, b in zip(p, q))


def same_list(got, want, tol=1e-9):
    if len(got) != len(want):
        return f'{len(got)} points, want {len(want)}: {got[:6]} / {want[:6]}'
    for k, (g, w) in enumerate(zip(got, want)):
        if not near(g, tuple(float(v) for v in w), tol):
            return f'point {k}: {g}, want {tuple(float(v) for v in w)}'
    return None


def same_set(got, want, tol=1e-9):
    """Every point wanted found once among those got, and no other."""
    want = [tuple(float(v) for v in w) for w in want]
    left = list(got)
    for w in want:
        hit = next((g for g in left if near(g, w, tol)), None)
        if hit is None:
            return f'missing {w}; got {len(got)} points, want {len(want)}'
        left.remove(hit)
    return f'{len(left)} points too many, first {left[0]}' if left else None


# --- points at a pitch -----------------------------------------------------------

def pitch_line(a, b, p, split=False):
    """Points every p from a towards b, the ends included, exact but for the
    length itself."""
    (ax, ay), (bx, by) = a, b
    length = mp.sqrt((mp.mpf(bx) - ax) ** 2 + (mp.mpf(by) - ay) ** 2)
    n = int(mp.floor((length + SAME) / p))
    rest = length - n * p
    at = [k * p for k in range(n + 1)]
    if split and rest > 2 * SAME:
        at = [0] + [rest / 2 + k * p for k in range(n + 1)] + [length]
    elif rest > SAME:
        at.append(length)
    return [(ax + (bx - ax) * s / length, ay + (by - ay) * s / length) for s in at]


def ellipse_point(cx, cy, r, he, ka, t):
    u, w = r * mp.cos(t), r * he * mp.sin(t)
    k = mp.radians(ka)
    return (cx + u * mp.cos(k) - w * mp.sin(k), cy + u * mp.sin(k) + w * mp.cos(k))


def ellipse_length(r, he, t0, t1):
    """Split at the ends of the axes, where a flat ellipse turns sharply."""
    lo, hi = min(t0, t1), max(t0, t1)
    cuts = [lo] + [q * mp.pi / 2 for q in range(int(mp.floor(lo / (mp.pi / 2))) + 1,
                                                 int(mp.ceil(hi / (mp.pi / 2))))] + [hi]
    return mp.quad(lambda t: r * mp.sqrt(mp.sin(t) ** 2 + he ** 2 * mp.cos(t) ** 2), cuts)


def check_pitch():
    problems = []
    cases = [
        ('a whole number of pitches along a line: no extra end',
         exchange('0 0 3640 0'), (7, 910), pitch_line((0, 0), (3640, 0), 910)),
        ('an oblique line: the remainder at the far end',
         exchange('0 0 3000 4000'), (7, 1200), pitch_line((0, 0), (3000, 4000), 1200)),
        ('the remainder split at both ends ("両")',
         exchange('0 0 3000 4000'), (7, 1200, '両'), pitch_line((0, 0), (3000, 4000), 1200, True)),
        ('the remainder split at both ends (2)',
         exchange('0 0 3000 4000'), (7, 1200, 2), pitch_line((0, 0), (3000, 4000), 1200, True)),
        ('from the end nearest the indicated point',
         exchange('0 0 3000 4000', points=[(2990, 4010)]), (7, 1200),
         pitch_line((3000, 4000), (0, 0), 1200)),
        ('a pitch longer than the line: its two ends',
         exchange('10 20 310 420'), (7, 910), [(10, 20), (310, 420)]),
        ('every selected line, each from its own nearest end',
         exchange('0 0 1000 0', '2000 500 2000 0', points=[(0, 0)]), (7, 400),
         pitch_line((0, 0), (1000, 0), 400) + pitch_line((2000, 0), (2000, 500), 400)),
        ('zero and negative pitch, a line of no length, coordinates not finite: nothing',
         exchange('0 0 0 0', '1e308 0 -1e308 0'), (7, 0), []),
        ('full-width pitch and blank as a Japanese input method types them',
         exchange('0 0 3640 0'), (7, '９１０　両'), pitch_line((0, 0), (3640, 0), 910)),
    ]
    for name, data, args, want in cases:
        p = same_list(run(data, *args), want)
        problems += [f'{name}: {p}'] if p else []
    if run(exchange('0 0 1000 0'), 7, -5):
        problems.append('a negative pitch placed points')

    # A circle from the point nearest the indicated one, counter-clockwise.
    got = run(exchange('ci 100 200 1000', points=[(100, 5000)]), 7, 1000)
    start = mp.pi / 2
    want = [(100 + 1000 * mp.cos(start + k), 200 + 1000 * mp.sin(start + k)) for k in range(7)]
    p = same_list(got, want)
    problems += [f'circle: {p}'] if p else []

    # A circular arc from its end nearest the indicated point, clockwise from there.
    got = run(exchange('ci 0 0 500 10 100 1 20', points=[(0, 600)]), 7, 300)
    end = mp.radians(120)
    n = int(mp.floor((500 * mp.radians(90) + SAME) / 300))
    want = [(500 * mp.cos(end - k * mp.mpf(300) / 500), 500 * mp.sin(end - k * mp.mpf(300) / 500))
            for k in range(n + 1)] + [(500 * mp.cos(mp.radians(30)), 500 * mp.sin(mp.radians(30)))]
    p = same_list(got, want)
    problems += [f'arc: {p}'] if p else []

    # An ellipse arc: consecutive points a pitch apart along the curve, measured
    # to 1e-9 of its length; both ends placed.
    for he, ka, sa, ea in [(0.5, 30, 0, 180), (0.05, -10, 200, 100), (3, 0, 10, 350)]:
        r, pitch = 1000, 137
        got = run(exchange(f'ci 0 0 {r} {sa} {ea} {he} {ka}'), 7, pitch)
        t0 = mp.radians(sa)
        span = (ea - sa) % 360 or 360
        t1 = t0 + mp.radians(span)
        length = ellipse_length(r, he, t0, t1)
        n = int(mp.floor((length + SAME) / pitch))
        want_count = n + 1 + (length - n * pitch > SAME)
        params = []
        for x, y in got:
            u, v = rotate(x, y, -ka)
            t = mp.atan2(v / (r * he), u / r)
            while t < t0 - 1e-9:
                t += 2 * mp.pi
            params.append(t)
        gaps = [ellipse_length(r, he, a, b) for a, b in zip(params, params[1:])]
        bad = [k for k, g in enumerate(gaps[:-1]) if abs(g - pitch) > 1e-9 * length]
        ends = near(got[0], ellipse_point(0, 0, r, he, ka, t0)) and \
            near(got[-1], ellipse_point(0, 0, r, he, ka, t1))
        if len(got) != want_count or bad or not ends:
            problems.append(f'ellipse he {he}: {len(got)} points (want {want_count}), '
                            f'gaps off pitch at {bad[:5]}, ends {"right" if ends else "wrong"}')

    # More points than a run places: the first CAP.
    got = run(exchange('0 0 1000000 0'), 7, 0.001)
    if len(got) != CAP or got[1] != (0.001, 0):
        problems.append(f'cap: {len(got)} points')
    return problems


def rotate(x, y, deg):
    k = mp.radians(deg)
    return (x * mp.cos(k) - y * mp.sin(k), x * mp.sin(k) + y * mp.cos(k))


# --- intersections ---------------------------------------------------------------

def seg_seg(a, b):
    """Exact: the crossing of two segments; none for two on one straight,
    which are a joint, not an intersection."""
    (x1, y1, x2, y2), (x3, y3, x4, y4) = [tuple(map(Q, s)) for s in (a, b)]
    r, s = (x2 - x1, y2 - y1), (x4 - x3, y4 - y3)
    cross = r[0] * s[1] - r[1] * s[0]
    qx, qy = x3 - x1, y3 - y1
    if cross == 0:
        return []
    t = (qx * s[1] - qy * s[0]) / cross
    u = (qx * r[1] - qy * r[0]) / cross
    return [(x1 + r[0] * t, y1 + r[1] * t)] if 0 <= t <= 1 and 0 <= u <= 1 else []


def seg_circle(s, c):
    x1, y1, x2, y2 = map(mp.mpf, s)
    cx, cy, r = map(mp.mpf, c)
    dx, dy = x2 - x1, y2 - y1
    a, b, cc = dx * dx + dy * dy, (x1 - cx) * dx + (y1 - cy) * dy, (x1 - cx) ** 2 + (y1 - cy) ** 2 - r * r
    disc = b * b - a * cc
    if disc < 0:
        return []
    out = []
    for t in {(-b - mp.sqrt(disc)) / a, (-b + mp.sqrt(disc)) / a}:
        if 0 <= t <= 1:
            out.append((x1 + dx * t, y1 + dy * t))
    return out


def circle_circle(c1, c2):
    (x1, y1, r1), (x2, y2, r2) = [tuple(map(mp.mpf, c)) for c in (c1, c2)]
    d = mp.sqrt((x2 - x1) ** 2 + (y2 - y1) ** 2)
    if d == 0 or d > r1 + r2 or d < abs(r1 - r2):
        return []
    a = (d * d + r1 * r1 - r2 * r2) / (2 * d)
    h = mp.sqrt(max(0, r1 * r1 - a * a))
    mx, my = x1 + (x2 - x1) * a / d, y1 + (y2 - y1) * a / d
    return [(mx - (y2 - y1) * h / d, my + (x2 - x1) * h / d),
            (mx + (y2 - y1) * h / d, my - (x2 - x1) * h / d)]


def once(points):
    """The points in their order, each once: a point within SAME of one kept
    before it (in both coordinates) is dropped. Cells of SAME hold the kept."""
    kept, cells = [], {}
    for p in points:
        cx, cy = math.floor(p[0] / SAME), math.floor(p[1] / SAME)
        near = (q for dx in (-1, 0, 1) for dy in (-1, 0, 1) for q in cells.get((cx + dx, cy + dy), ()))
        if not any(abs(p[0] - q[0]) < SAME and abs(p[1] - q[1]) < SAME for q in near):
            kept.append(p)
            cells.setdefault((cx, cy), []).append(p)
    return kept


def check_intersections():
    problems = []
    cases = [
        ('a grid of axis lines: each crossing once, touching ends count',
         ['0 0 3640 0', '0 1820 3640 1820', '0 0 0 1820', '3640 -500 3640 2500', '1820 0 1820 900'],
         [(0, 0), (0, 1820), (3640, 0), (3640, 1820), (1820, 0)]),
        ('three lines through one point: one point',
         ['-10 0 10 0', '0 -10 0 10', '-10 -10 10 10'], [(0, 0)]),
        ('lines on one straight that overlap or continue each other: no joint points',
         ['0 0 100 0', '50 0 150 0', '0 10 100 10', '100 10 200 10'], []),
        ('a line drawn in two pieces and crossed: only the crossing',
         ['0 500 600 500', '600 500 1000 500', '300 0 300 1000'], [(300, 500)]),
        ('a cross whose bar is drawn twice: its middle alone',
         ['-500 0 500 0', '-500 0 500 0', '0 -500 0 500'], [(0, 0)]),
        ('a T-junction and a corner stay',
         ['0 0 1000 0', '500 0 500 800', '1000 0 1000 700'], [(500, 0), (1000, 0)]),
        ('parallel lines apart, a line of no length, coordinates not finite: nothing',
         ['0 0 100 0', '0 1 100 1', '50 -5 50 -5', '1e308 1e308 -1e308 -1e308'], []),
    ]
    for name, records, want in cases:
        p = same_set(run(exchange(*records), 8), want)
        problems += [f'{name}: {p}'] if p else []

    # Lines, circles and arcs of circles at random with whole coordinates: every
    # pair tried by the model.
    rnd = random.Random(29)
    segs = []
    for _ in range(300):
        x, y = rnd.randint(0, 2000), rnd.randint(0, 2000)
        segs.append((x, y, x + rnd.randint(-300, 300), y + rnd.randint(-300, 300)))
    segs += [(0, 500, 2000, 500), (1000, 0, 1000, 2000), (0, 500, 700, 500)]  # overlaps, crossings
    circles = [(rnd.randint(200, 1800), rnd.randint(200, 1800), rnd.randint(50, 400)) for _ in range(25)]
    want = []
    for i, a in enumerate(segs):
        if a[:2] == a[2:]:
            continue
        for b in segs[i + 1:]:
            if b[:2] != b[2:]:
                want += seg_seg(a, b)
        for c in circles:
            want += seg_circle(a, c)
    for i, c in enumerate(circles):
        for d in circles[i + 1:]:
            want += circle_circle(c, d)
    want = once([(float(x), float(y)) for x, y in want])
    records = [' '.join(map(str, s)) for s in segs] + [f'ci {x} {y} {r}' for x, y, r in circles]
    got = run(exchange(*records), 8)
    p = same_set(got, want, 1e-9)
    problems += [f'random lines and circles ({len(want)} points): {p}'] if p else []
    if got != sorted(got):
        problems.append('intersections not sorted by x, then y')

    # Figures far away beside a dense drawing (a stray line, one at the edge
    # of the number range) change nothing near the drawing.
    far = ['0 1e9 1 1e9', '-1e308 -1e308 -1e308 1e308', '1e308 0 1e308 1']
    got = run(exchange(*records, *far), 8)
    p = same_set(got, want, 1e-9)
    problems += [f'with stray figures far away: {p}'] if p else []

    # Arcs: only the crossings on the arcs.
    got = run(exchange('ci 0 0 100 0 90 1 0', 'ci 0 0 100 180 270 1 0', '-200 50 200 50'), 8)
    p = same_set(got, [(math.sqrt(100 ** 2 - 50 ** 2), 50)])
    problems += [f'arcs: {p}'] if p else []

    # An ellipse and a line through it: the model solves for the parameter.
    got = run(exchange('ci 0 0 1000 0 360 0.5 30', '-2000 100 2000 100'), 8)
    want = []
    for t in mp.findroot(lambda t: ellipse_point(0, 0, 1000, 0.5, 30, t)[1] - 100, 0.5), \
            mp.findroot(lambda t: ellipse_point(0, 0, 1000, 0.5, 30, t)[1] - 100, 2.5):
        want.append(ellipse_point(0, 0, 1000, 0.5, 30, t))
    p = same_set(got, want)
    problems += [f'ellipse and line: {p}'] if p else []
    return problems


def ellipse_pair(e1, e2):
    """The crossings of two elliptic arcs (cx, cy, a, he, tilt, sa, span in
    degrees, span 360 closed), or None where the drawing is too close to a
    tangency or an arc's end to say. The first is read by s = tan(t / 2) from
    a turn of its own, which puts the quartic of the two conics in s; its
    roots come from mpmath's polyroots at 50 digits."""
    (c1x, c1y, a1, h1, k1, sa1, sp1), (c2x, c2y, a2, h2, k2, sa2, sp2) = e1, e2
    b1, b2 = a1 * h1, a2 * h2
    k1, k2 = mp.radians(k1), mp.radians(k2)
    turn = mp.mpf('0.7853981')  # the first ellipse read from here, so that no root lies at s = oo
    ct, st = mp.cos(turn), mp.sin(turn)

    def mul(p, q):
        r = [mp.mpf(0)] * (len(p) + len(q) - 1)
        for i, x in enumerate(p):
            for j, y in enumerate(q):
                r[i + j] += x * y
        return r

    def add(*ps):
        n = max(len(p) for p in ps)
        return [sum(p[i] if i < len(p) else 0 for p in ps) for i in range(n)]

    # (1 + s^2) cos(t + turn) and (1 + s^2) sin(t + turn), coefficients of 1, s, s^2.
    cos_ = [ct, -2 * st, -ct]
    sin_ = [st, 2 * ct, -st]
    one = [mp.mpf(1), 0, mp.mpf(1)]
    # (1 + s^2) (P1 - c2), each coordinate.
    ux = [a1 * mp.cos(k1) * c for c in cos_]
    vx = [-b1 * mp.sin(k1) * c for c in sin_]
    uy = [a1 * mp.sin(k1) * c for c in cos_]
    vy = [b1 * mp.cos(k1) * c for c in sin_]
    X = add([(mp.mpf(c1x) - c2x) * c for c in one], ux, vx)
    Y = add([(mp.mpf(c1y) - c2y) * c for c in one], uy, vy)
    U = add([mp.cos(k2) * c for c in X], [mp.sin(k2) * c for c in Y])
    V = add([-mp.sin(k2) * c for c in X], [mp.cos(k2) * c for c in Y])
    G = add([c / a2 ** 2 for c in mul(U, U)], [c / b2 ** 2 for c in mul(V, V)],
            [-c for c in mul(one, one)])
    roots = mp.polyroots(G[::-1], maxsteps=400, extraprec=400)
    ts = []
    for r in roots:
        if abs(mp.im(r)) > 1e-30:
            if abs(mp.im(r)) < 1e-6:
                return None  # two crossings a hair apart, or nearly touching
            continue
        ts.append(2 * mp.atan(mp.re(r)) + turn)
    ts.sort()
    for x, y in zip(ts, ts[1:]):
        if y - x < 1e-6:
            return None

    def within(t, sa, span):
        if span == 360:
            return True
        d = (t - mp.radians(sa)) % (2 * mp.pi)
        if min(abs(d), abs(d - mp.radians(span)), abs(2 * mp.pi - d)) < 1e-7:
            raise ValueError('at an end')
        return d <= mp.radians(span)

    out = []
    try:
        for t in ts:
            x, y = ellipse_point(c1x, c1y, a1, h1, mp.degrees(k1), t)
            u, v = rotate(x - c2x, y - c2y, -mp.degrees(k2))
            t2 = mp.atan2(v / b2, u / a2)
            if within(t, sa1, sp1) and within(t2, sa2, sp2):
                out.append((x, y))
    except ValueError:
        return None
    return out


def check_ellipse_pairs():
    """Random pairs of ellipses and elliptic arcs, thin and small ones among
    them, against the model above."""
    problems = []
    rnd = random.Random(250)
    tried = 0
    while tried < 250:
        def one(cx, cy):
            a = 10 ** rnd.uniform(0, 3.5)
            he = 10 ** rnd.uniform(-2.7, 0) * rnd.choice([1, 1, -1])
            if rnd.random() < 0.1:
                he = 1 / he  # flatness above 1: the long axis across
            sa = round(rnd.uniform(0, 360), 3)
            span = 360 if rnd.random() < 0.5 else round(rnd.uniform(5, 355), 3)
            return (cx, cy, round(a, 4), round(he, 6), round(rnd.uniform(-180, 180), 3), sa, span)
        e1 = one(round(rnd.uniform(-500, 500), 3), round(rnd.uniform(-500, 500), 3))
        reach = e1[2] * max(1, abs(e1[3]))
        e2 = one(round(e1[0] + rnd.uniform(-reach, reach), 3), round(e1[1] + rnd.uniform(-reach, reach), 3))
        if abs(e1[3]) == 1 or abs(e2[3]) == 1:
            continue
        want = ellipse_pair(e1, e2)
        if want is None:
            continue
        tried += 1
        rec = [f'ci {cx} {cy} {a} {sa} {round((sa + span) % 360, 3) if span < 360 else sa + 360} {he} {k}'
               for cx, cy, a, he, k, sa, span in (e1, e2)]
        got = run(exchange(*rec), 8)
        p = same_set(got, [(float(x), float(y)) for x, y in want], 1e-9)
        if p:
            problems.append(f'{rec}: {p}')
    return problems


# --- end points and centres, every figure divided -----------------------------------

def check_ends_and_division():
    problems = []
    data = exchange('0 0 100 0', '100 0 100 50', 'ci 10 20 5', 'ci 0 0 10 0 90 1 0', 'ci 0 0 10 0 360 1 0')
    arc_ends = [(10, 0), (0, 10)]
    # (0, 0) is a line's end and both arcs' centre: one point.
    for args, want in [((9,), [(0, 0), (100, 0), (100, 50), (10, 20), *arc_ends]),
                       ((9, 1), [(0, 0), (100, 0), (100, 50), *arc_ends]),
                       ((9, 2), [(10, 20), (0, 0)])]:
        got = run(data, *args)
        p = same_set(got, want, 1e-12)
        problems += [f'mode {args}: {p}'] if p else []

    # Every figure divided into three, each point a third of the way exactly.
    data = exchange('0 0 1 1', '-5 7 10 -8', 'ci 0 0 3', 'ci 0 0 2 30 120 1 0')
    want = [(Q(k, 3), Q(k, 3)) for k in (1, 2)] + \
           [(Q(-5) + Q(15 * k, 3), Q(7) - Q(15 * k, 3)) for k in (1, 2)] + \
           [(3 * mp.cos(2 * mp.pi * k / 3), 3 * mp.sin(2 * mp.pi * k / 3)) for k in range(3)] + \
           [(2 * mp.cos(mp.radians(30 + 30 * k)), 2 * mp.sin(mp.radians(30 + 30 * k))) for k in (1, 2)]
    p = same_list(run(data, 10, 3), want, 1e-14)
    problems += [f'every figure divided: {p}'] if p else []
    problems += check_ellipses_divided()
    # The count kept to 2 .. 1000 as modes 5 and 6 keep theirs; a count that
    # cannot be read draws nothing (n 1), as the run says.
    for count, n in [('0', 2), ('abc', 1), ('5000', 1000), ('２', 2), ('４等分', 4)]:
        got = run(exchange('0 0 1 0'), 10, count)
        if len(got) != n - 1:
            problems.append(f'count {count}: {len(got)} points, want {n - 1}')
    return problems


# --- where lines meet when extended (mode 11) ----------------------------------------

PARALLEL = Q(1, 10 ** 12)   # the sine of an angle below which lines never meet


def line_line(a, b):
    """Exact: where the straight lines through two segments meet, or None."""
    (x1, y1, x2, y2), (x3, y3, x4, y4) = [tuple(map(Q, s)) for s in (a, b)]
    r, s = (x2 - x1, y2 - y1), (x4 - x3, y4 - y3)
    cross = r[0] * s[1] - r[1] * s[0]
    if cross ** 2 <= PARALLEL ** 2 * (r[0] ** 2 + r[1] ** 2) * (s[0] ** 2 + s[1] ** 2):
        return None
    t = ((x3 - x1) * s[1] - (y3 - y1) * s[0]) / cross
    return (x1 + r[0] * t, y1 + r[1] * t)


def extended(segs):
    pts = [line_line(a, b) for i, a in enumerate(segs) for b in segs[i + 1:]
           if a[:2] != a[2:] and b[:2] != b[2:]]
    return once(sorted((float(x), float(y)) for x, y in (p for p in pts if p)))


def check_extended():
    problems = []
    cases = [
        ('two walls that do not reach each other: their corner',
         ['0 0 1000 0', '1500 200 1500 900'], [(1500, 0)]),
        ('lines that cross: the crossing itself',
         ['-10 0 10 0', '0 -10 0 10'], [(0, 0)]),
        ('parallel lines, a line of no length: nothing',
         ['0 0 1000 0', '0 100 1000 100', '50 50 50 50'], []),
        ('nearly parallel lines (1e-6 apart over 1000): a billion mm away, exact',
         ['0 0 1000 0', '0 1 1000 1.000001'], extended([(0, 0, 1000, 0), (0, 1, 1000, Q(1.000001))])),
        ('parallel but for rounding (1e-14 over 1000): nothing',
         ['0 0 1000 0', '0 1 1000 1.00000000000001'], []),
        ('three lines through one point and a fourth: each point once, by x then y',
         ['-10 0 -5 0', '0 -10 0 -5', '-10 -10 -5 -5', '3 7 4 9'],
         extended([(-10, 0, -5, 0), (0, -10, 0, -5), (-10, -10, -5, -5), (3, 7, 4, 9)])),
        ('oblique lines with decimals',
         ['0.1 0.2 0.3 0.7', '5.5 -3.25 7.125 -1'],
         extended([(Q('0.1'), Q('0.2'), Q('0.3'), Q('0.7')), (Q('5.5'), Q('-3.25'), Q('7.125'), Q(-1))])),
    ]
    for name, records, want in cases:
        got = run(exchange(*records), 11)
        p = same_list(got, want, 1e-12)
        problems += [f'{name}: {p}'] if p else []

    # Random lines: every pair, the points in the order of x, then y.
    rnd = random.Random(11)
    segs = [(rnd.randint(0, 2000), rnd.randint(0, 2000), rnd.randint(0, 2000), rnd.randint(0, 2000))
            for _ in range(60)] + [(0, 0, 100, 0), (500, 0, 900, 0), (0, 7, 100, 7)]
    got = run(exchange(*[' '.join(map(str, s)) for s in segs]), 11)
    p = same_list(got, extended(segs), 1e-12)
    problems += [f'random lines: {p}'] if p else []

    # 1,000 lines, some parallel (a grid's rows) and some through one point:
    # far more crossings than a run places, found without trying every pair.
    rnd = random.Random(1000)
    segs = [(rnd.randint(-5000, 5000), rnd.randint(-5000, 5000), rnd.randint(-5000, 5000),
             rnd.randint(-5000, 5000)) for _ in range(860)]
    segs += [(0, 100 * k, 3000, 100 * k) for k in range(100)]
    segs += [(500 - k, 500 - 3 * k + k * k % 7, 500 + k, 500 + 3 * k - k * k % 7) for k in range(1, 41)]
    segs = [s for s in segs if s[:2] != s[2:]]
    want = sorted((float(x), float(y)) for x, y in
                  (p for p in (line_line(a, b) for i, a in enumerate(segs) for b in segs[i + 1:]) if p))
    got = run(exchange(*[' '.join(map(str, s)) for s in segs]), 11)
    p = same_list(got, once(want[:CAP + 50000])[:CAP], 1e-9)
    problems += [f'1,000 lines: {p}'] if p else []

    # More crossings than a run places: the first CAP by x, then y.
    segs = [(0, k * 7 % 1009, 1000, (k * k) % 997) for k in range(460)]
    want = sorted((float(x), float(y)) for x, y in
                  (p for p in (line_line(a, b) for i, a in enumerate(segs) for b in segs[i + 1:]) if p))
    got = run(exchange(*[' '.join(map(str, s)) for s in segs]), 11)
    if len(want) <= CAP:
        problems.append(f'cap case too small: {len(want)} points')
    else:
        p = same_list(got, once(want[:CAP + 1000])[:CAP], 1e-9)
        problems += [f'cap: {p}'] if p else []
    return problems


# --- points at distances along a figure (mode 12) ---------------------------------------

def along_line(a, b, d):
    (ax, ay), (bx, by) = [tuple(map(mp.mpf, v)) for v in (a, b)]
    length = mp.sqrt((bx - ax) ** 2 + (by - ay) ** 2)
    return [(ax + (bx - ax) * s / length, ay + (by - ay) * s / length) for s in d]


def ellipse_at(cx, cy, r, he, ka, t0, s, sign=1):
    """The point at the length s along the ellipse from the parameter t0, the
    parameter turning by sign; s of either sign, any size."""
    def h(u):  # the signed length from t0 to t0 + sign u, split at the flat turns
        lo, hi = sorted((t0, t0 + sign * u))
        cuts = [lo] + [k * mp.pi / 2 for k in range(int(mp.ceil(lo / (mp.pi / 2))),
                                                      int(mp.floor(hi / (mp.pi / 2))) + 1)
                       if lo < k * mp.pi / 2 < hi] + [hi]
        length = mp.quad(lambda t: r * mp.sqrt(mp.sin(t) ** 2 + he ** 2 * mp.cos(t) ** 2), cuts)
        return length if u >= 0 else -length
    lo, hi = mp.mpf(-1), mp.mpf(1)
    while h(hi) < s:
        hi *= 2
    while h(lo) > s:
        lo *= 2
    for _ in range(45):
        m = (lo + hi) / 2
        lo, hi = (m, hi) if h(m) < s else (lo, m)
    u = mp.findroot(lambda u: h(u) - s, ((lo + hi) / 2 - 1e-12, (lo + hi) / 2 + 1e-12), solver='secant')
    return ellipse_point(cx, cy, r, he, ka, t0 + sign * u)


def check_distances():
    problems = []
    L = 5000
    cases = [
        ('from the end nearest point 1: 0, inside, exactly the length, beyond, negative',
         exchange('0 0 3000 4000', points=[(3010, 3990)]), (12, 0, 1000, L, 6000, -500),
         along_line((3000, 4000), (0, 0), [0, 1000, L, 6000, -500])),
        ('both ways from point 1 on the line ("両" after a number)',
         exchange('0 0 1000 0', points=[(400, 0)]), (12, '100両', 250),
         [(500, 0), (300, 0), (650, 0), (150, 0)]),
        ('both ways from point 1 at an end, "両" alone, the same distance twice',
         exchange('0 0 1000 0', points=[(1000, 0)]), (12, 300, '両', 300, 0),
         [(700, 0), (1300, 0), (1000, 0)]),
        ('both ways, point 1 off the line: from its nearest end',
         exchange('0 0 1000 0', points=[(500, 10)]), (12, 300, '両'), [(300, 0), (-300, 0)]),
        ('full-width distances with the comma of the input method',
         exchange('0 0 1000 0', points=[(0, 0)]), (12, '１００、－２００　３００'),
         [(100, 0), (-200, 0), (300, 0)]),
        ('a distance that cannot be read: nothing',
         exchange('0 0 1000 0', points=[(0, 0)]), (12, 100, 'abc'), []),
    ]
    # A circular arc from 30 to 120 degrees, from its end nearest point 1:
    # clockwise; past its end and before its start on its circle.
    arc_len = 500 * mp.pi / 2
    cases.append(('an arc from its nearer end, on its circle beyond both ends',
                  exchange('ci 0 0 500 10 100 1 20', points=[(0, 600)]), (12, 0, 300, arc_len, arc_len + 100, -200),
                  [(500 * mp.cos(mp.radians(120) - s / 500), 500 * mp.sin(mp.radians(120) - s / 500))
                   for s in (0, 300, arc_len, arc_len + 100, -200)]))
    cases.append(('a circle from its point towards point 1, beyond a turn',
                  exchange('ci 100 200 1000', points=[(100, 5000)]), (12, 1000, -1000, 7000),
                  [(100 + 1000 * mp.cos(mp.pi / 2 + s / 1000), 200 + 1000 * mp.sin(mp.pi / 2 + s / 1000))
                   for s in (1000, -1000, 7000)]))
    # Ellipses, flat and tilted: the model measures the length itself.
    for r, he, ka, sa, ea, pick in [(1000, 0.5, 30, 0, 180, 0), (1000, 0.02, -10, 200, 100, 1),
                                    (800, 3, 0, 10, 350, 0)]:
        t0, t1 = mp.radians(sa), mp.radians(sa) + mp.radians((ea - sa) % 360 or 360)
        length = ellipse_length(r, he, t0, t1)
        start, sign = (t0, 1) if pick == 0 else (t1, -1)
        p1 = ellipse_point(0, 0, r, he, ka, start)
        d = [0, 137, length / 3, length, length + 50, -50]
        cases.append((f'an elliptic arc he {he} from its nearer end, on its ellipse beyond both ends',
                      exchange(f'ci 0 0 {r} {sa} {ea} {he} {ka}', points=[(float(p1[0]), float(p1[1]))]),
                      (12, *[mp.nstr(v, 20) for v in d]),
                      [ellipse_at(0, 0, r, he, ka, start, mp.mpf(mp.nstr(v, 20)), sign) for v in d]))
    for name, data, args, want in cases:
        p = same_list(run(data, *args), want)
        problems += [f'{name}: {p}'] if p else []

    # A quarter turn is exact: the arc's far end at 90 degrees is (0, 1000).
    got = run(exchange('ci 0 0 1000 0 90 1 0', points=[(1000, 0)]), 12, 1000 * math.pi / 2, 1000 * math.pi)
    if got != [(0.0, 1000.0), (-1000.0, 0.0)]:
        problems.append(f'quarter turns not exact: {got}')
    return problems


# --- a layout from a reference point (mode 13) ------------------------------------------

def check_layout():
    problems = []
    line = lambda a, b, at: [(a[0] + (b[0] - a[0]) * Q(s) / Q(5000), a[1] + (b[1] - a[1]) * Q(s) / Q(5000))
                             for s in at]
    c = lambda deg: (1000 * mp.cos(mp.radians(deg)), 1000 * mp.sin(mp.radians(deg)))
    cases = [
        ('a pitch both ways from point 1 projected, out to both ends',
         exchange('0 0 3640 0', points=[(1000, 50)]), (13, 910),
         [(0, 0), (90, 0), (1000, 0), (1910, 0), (2820, 0), (3640, 0)]),
        ('point 1 at an end: each point once',
         exchange('0 0 3640 0', points=[(0, 0)]), (13, 910),
         [(0, 0), (910, 0), (1820, 0), (2730, 0), (3640, 0)]),
        ('point 1 off the line beyond its end: the pitch carries on from there',
         exchange('0 0 1000 0', points=[(-500, 100)]), (13, 400), [(0, 0), (300, 0), (700, 0), (1000, 0)]),
        ('an oblique line, from its end nearest point 1',
         exchange('0 0 3000 4000', points=[(1000, 1000)]), (13, 600),
         line((0, 0), (3000, 4000), [0, 200, 800, 1400, 2000, 2600, 3200, 3800, 4400, 5000])),
        ('equal parts between points 1 and 2 projected',
         exchange('0 0 1000 0', points=[(100, 30), (700, -20)]), (13, '3等分'),
         [(100, 0), (300, 0), (500, 0), (700, 0)]),
        ('equal parts out to point 2 on the extension',
         exchange('0 0 1000 0', points=[(100, 30), (1300, 0)]), (13, 3, '等分'),
         [(100, 0), (500, 0), (900, 0), (1300, 0)]),
        ('a circle: both ways from point 1 until they meet',
         exchange('ci 0 0 1000', points=[(0, 2000)]), (13, 1000),
         [c(90 + mp.degrees(k)) for k in (0, 1, 2, 3, -3, -2, -1)]),
        ('a run of connected walls, given out of order and turned: the pitch goes on round the corner',
         exchange('1000 1000 1000 0', '0 0 1000 0', points=[(0, 0)]), (13, 300, '連'),
         [(0, 0), (300, 0), (600, 0), (900, 0), (1000, 200), (1000, 500), (1000, 800), (1000, 1000)]),
        ('without 連 the first figure only',
         exchange('1000 1000 1000 0', '0 0 1000 0', points=[(1000, 1000)]), (13, 300),
         [(1000, 1000), (1000, 700), (1000, 400), (1000, 100), (1000, 0)]),
        ('a run both ways from point 1, the corner on the pitch',
         exchange('0 0 1000 0', '1000 0 1000 1000', points=[(400, 0)]), (13, '300連'),
         [(0, 0), (100, 0), (400, 0), (700, 0), (1000, 0), (1000, 300), (1000, 600), (1000, 900), (1000, 1000)]),
        ('a corner of 180 degrees straight on',
         exchange('0 0 1000 0', '1000 0 2000 0', points=[(0, 0)]), (13, 700, '連'),
         [(0, 0), (700, 0), (1400, 0), (2000, 0)]),
        ('a corner of 180 degrees turning back: each point once',
         exchange('0 0 1000 0', '1000 0 400 0', points=[(0, 0)]), (13, 200, '連'),
         [(0, 0), (200, 0), (400, 0), (600, 0), (800, 0), (1000, 0)]),
        ('a count that cannot be read, a pitch of 0: nothing',
         exchange('0 0 1000 0', points=[(0, 0)]), (13, 'abc'), []),
    ]
    for name, data, args, want in cases:
        p = same_list(run(data, *args), want)
        problems += [f'{name}: {p}'] if p else []

    # An arc of a circle from 30 to 120 degrees, point 1 towards 60 degrees.
    got = run(exchange('ci 0 0 1000 10 100 1 20', points=[(500, 500 * math.sqrt(3))]), 13, 200)
    s1 = 1000 * mp.pi / 6
    at = [0] + [s1 + 200 * k for k in range(-2, 7) if 0 <= s1 + 200 * k <= 1000 * mp.pi / 2] + [1000 * mp.pi / 2]
    p = same_list(got, [c(30 + mp.degrees(s / 1000)) for s in at])
    problems += [f'arc: {p}'] if p else []

    # A flat closed ellipse: consecutive points a pitch apart along the curve,
    # both ways from point 1 until they meet.
    r, he, pitch = 1000, 0.01, 500
    got = run(exchange(f'ci 0 0 {r} 0 360 {he} 0', points=[(r, 0)]), 13, pitch)
    per = ellipse_length(r, he, 0, 2 * mp.pi)
    m = int(mp.floor(per / 2 / pitch))
    want = [ellipse_at(0, 0, r, he, 0, 0, mp.mpf(k * pitch)) for k in range(m + 1)] + \
           [ellipse_at(0, 0, r, he, 0, 0, mp.mpf(-k * pitch)) for k in range(m, 0, -1)]
    p = same_list(got, want)
    problems += [f'flat ellipse: {p}'] if p else []

    # More points than a run places: the first CAP from the start.
    got = run(exchange('0 0 1000000 0', points=[(0, 0)]), 13, 0.001)
    if len(got) != CAP or got[:3] != [(0, 0), (0.001, 0), (0.002, 0)]:
        problems.append(f'cap: {len(got)} points, first {got[:3]}')
    return problems


def check_ellipses_divided():
    """Mode 10 on ellipses and elliptic arcs: every point on the curve, and
    every part, from the start (a closed one: from the end of its first axis)
    round to the end, of the same length along it to 1e-9 of the whole."""
    problems = []
    for cx, cy, r, sa, ea, he, ka, n in [
            (0, 0, 1000, 0, 360, 0.5, 0, 8), (0, 0, 1000, 0, 360, 0.01, 0, 7),
            (5, -3, 10, 0, 360, 100, 0, 6), (0, 0, 1000, 0, 90, 0.5, 0, 3),
            (0, 0, 1000, 300, 60, 0.3, 0, 5), (1820, -800, 700, 10, 170, 0.4, 30, 4),
            (0, 0, 500, 200, 100, -0.05, -10, 9), (-40, 70, 300, 10, 350, 3, 115, 50)]:
        name = f'ci {cx} {cy} {r} {sa} {ea} {he} {ka} in {n}'
        got = run(exchange(name.split(' in ')[0]), 10, n)
        closed = (ea - sa) % 360 == 0
        t0 = mp.mpf(0) if closed else mp.radians(sa)
        t1 = t0 + mp.radians((ea - sa) % 360 or 360)
        if len(got) != (n if closed else n - 1):
            problems.append(f'{name}: {len(got)} points')
            continue
        params = [t0] if not closed else []
        for x, y in got:
            u, v = rotate(x - cx, y - cy, -ka)
            if abs((u / r) ** 2 + (v / (r * he)) ** 2 - 1) > 1e-9:
                problems.append(f'{name}: ({x}, {y}) is off the curve')
            t = mp.atan2(v / (r * he), u / r)
            while t < t0 - 1e-9:
                t += 2 * mp.pi
            params.append(t)
        params.append(t1)
        whole = ellipse_length(r, he, t0, t1)
        parts = [ellipse_length(r, he, a, b) for a, b in zip(params, params[1:])]
        bad = [k for k, part in enumerate(parts) if abs(part - whole / n) > 1e-9 * whole]
        if bad:
            problems.append(f'{name}: parts {bad[:5]} are {[mp.nstr(parts[k], 15) for k in bad[:5]]},'
                            f' want {mp.nstr(whole / n, 15)}')
    # The ends of the axes exactly where symmetry puts them.
    got = run(exchange('ci 0 0 1000 0 360 0.5 0'), 10, 8)
    if got[::2] != [(1000, 0), (0, 500), (-1000, 0), (0, -500)]:
        problems.append(f'the ends of the axes of an ellipse in 8: {got[::2]}')
    return problems


failed = 0
CHECKS = [('points at a pitch', check_pitch), ('intersections', check_intersections),
          ('random pairs of ellipses', check_ellipse_pairs),
          ('end points, centres, every figure divided', check_ends_and_division),
          ('ellipses divided by length', check_ellipses_divided),
          ('where lines meet when extended', check_extended),
          ('points at distances along a figure', check_distances),
          ('a layout from a reference point', check_layout)]
for name, check in CHECKS:
    problems = check()
    failed += bool(problems)
    print(('FAIL ' if problems else 'ok   ') + name)
    for p in problems:
        print('     ' + p)
print(f'{len(CHECKS) - failed} passed, {failed} failed')
sys.exit(1 if failed else 0)
