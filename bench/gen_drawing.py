#!/usr/bin/env python3
"""Write a realistic JWC_TEMP.TXT: what the CAD program hands an external tool
when the user has selected a large part of a floor plan.

The file is built from the record formats alone and shares nothing with the
library that reads it, so that it can serve as an independent check of that
reader: --stats tells what a reader must find in it.

Python 3 standard library only. The same arguments give the same bytes on
every machine and every Python 3 version: all randomness comes from
random.Random(seed).random(), whose sequence Python keeps stable, geometry
is computed with + - * / and square roots alone (correctly rounded
everywhere, unlike the C library's sine and cosine), and every number is
formatted with Python's own correctly rounded conversions. Lines are
written in chunks, so memory stays small at any size.

Mixes:
  realistic  every record kind in the shares of a real selection (default)
  lines      nothing but bare line segments in the body
  drawable   only geometry that a write-back carries whole: no block inserts,
             no indicated point of an entity, every shape far from
             degenerate, every code and size within the range that is
             written back unchanged
"""

import argparse
import bisect
import functools
import json
import math
import random
import sys

ENCODINGS = {
    "cp932": ("cp932", b""),
    "utf8-bom": ("utf-8", b"\xef\xbb\xbf"),
    "utf16le-bom": ("utf-16-le", b"\xff\xfe"),
}

# Kinds of stored entity, in the names --stats reports them under.
KIND_NAMES = ("line", "curve", "curve_line", "circle", "arc", "text", "point",
              "marker", "dim", "block", "solid2", "solid3", "solid4",
              "sc", "se", "so", "sg")

# Share of stored entities per kind, in per cent. A curve's lines count as
# lines; the curve record weight is set from their mean number below.
SHARES = {
    "line": 48.3, "curve_line": 13.1, "text": 11.6, "dim": 6.8, "arc": 4.8,
    "circle": 3.9, "solid4": 3.4, "solid3": 1.4, "solid2": 0.4, "sc": 0.3,
    "se": 0.15, "so": 0.15, "sg": 0.2, "point": 2.9, "marker": 1.5,
    "block": 1.2,
}
CURVE_SHORT = (3, 8)     # most curves: a few segments of an outline
CURVE_LONG = (12, 40)    # some: a freehand or spline-like run
CURVE_LONG_SHARE = 0.3
CURVE_MEAN = ((1 - CURVE_LONG_SHARE) * sum(CURVE_SHORT) / 2
              + CURVE_LONG_SHARE * sum(CURVE_LONG) / 2)

SHEET = (42000.0, 29700.0)          # an A3 sheet at 1:100, in millimetres
MODULES = (455, 910, 1365, 1820, 2730, 3640, 4550, 5460)  # the 910 mm grid

# --- texts ---------------------------------------------------------------
# Japanese drawing texts, with what trips weak decoders: second bytes 0x5C in
# code page 932 (表 ソ 能 十 構 予 申), NEC and IBM extensions (① ㎡ Ⅲ № 髙),
# the characters whose Unicode mapping differs between Shift-JIS tables
# (～ －), half-width katakana, the ideographic space and straight quotes.
ROOM_NAMES = (
    "玄関", "ホール", "廊下", "ＬＤＫ", "洋室(1)", "洋室(2)", "和室", "台所",
    "浴室", "洗面脱衣室", "便所", "納戸", "寝室", "子供室", "書斎", "押入",
    "物入", "ポーチ", "バルコニー", "吹抜", "階段 UP", "階段 DN", "ソファ室",
    "能舞台", "ﾛﾌﾄ", "ｸﾛｰｾﾞｯﾄ", "倉庫", "機械室",
)
NOTES = (
    "仕上表参照", "構造図による", "床面積 32.5㎡", "第Ⅲ期工事範囲", "図面№A-12",
    "①通り", "②通り", "③通り", "Ⅱ期", "W=1,820", "H=2,100", "CH=2,400", "FL±0",
    "GL－150", "10～15mm", "ﾄﾞｱ W800", "ｻｯｼ AW-1 1690×1170", "髙橋邸 新築工事",
    "2\"×4\" 材", "配管 1/2\" 以下", "「押入」中段 H=750", "能率表による",
    "十字目地", "予備室", "確認申請図", "テーブル　6人掛", "ソファー　W2,100",
    "ｿﾌｧｰ", "表示記号", "外壁：窯業系サイディング ｱ16", "内壁：PB ｱ12.5 ＋ クロス",
    "天井：化粧石膏ボード", "床：複合フローリング", "既製品 「TOTO」 同等品",
    "点検口 □450", "換気扇 φ100", "※ 寸法は芯々", "GL+450",
)
BLOCK_NAMES = ("便器", "洗面台", "浴槽", "キッチン2550", "冷蔵庫", "ﾍﾞｯﾄﾞ_S",
               "door_800", "WD-1", "table6", "chair", "車1台", "樹木_中")
FONTS = ("Arial", "Century", "ＭＳ 明朝", "ＭＳ ゴシック", "ＭＳ Ｐゴシック",
         "Times New Roman")
GROUP_NAMES = ("1F 平面図", "2F 平面図", "配置図", "立面図 南・東", "立面図 北・西",
               "断面図", "矩計図", "展開図", "天井伏図", "基礎伏図", "床伏図",
               "小屋伏図", "電気設備図", "給排水設備図", "外構図", "仕上表")
LAYER_NAMES = ("基準線", "躯体", "間仕切", "開口部", "寸法線", "注記",
               "家具 什器", "衛生器具", "電気", "空調", "見え掛り", "目地",
               "仕上表示", "敷地", "作図補助", "ﾒﾓ ﾚｲﾔ")
TEXT_KEYWORDS = ("cv", "cs", "cr", "co", "cp", "ct", "ck", "cz", "c2")  # besides "ch"
DEFAULT_NAME = "C:\\JWW\\髙橋邸 新築工事\\1F 平面図 仕上表.jww"

# Line colours: pens 1-9 mostly, SXF colours (code 100 + n) now and then.
COLOURS = (1, 1, 2, 2, 2, 3, 4, 5, 6, 7, 8, 9, 101, 102, 104, 108, 115, 141)
LINE_TYPES = (1, 1, 1, 2, 3, 4, 5, 6, 9, 11, 14, 31)

# Tiny values a computation leaves where there should be zero.
NOISE = ("1E-5", "-5.6843418860808E-14", "1.13686837721616E-13",
         "-2.27373675443232E-13", "3.63797880709171E-12", "5E-5")


def fnum(x):
    """x as the CAD program writes a real: at most 15 significant digits, no
    trailing zeros, E notation only below 1E-4 or from 1E15 up, no "+"."""
    s = format(x, ".15g")
    if "e" in s:
        m, e = s.split("e")
        s = m + "E" + str(int(e))
    return "0" if s == "-0" else s


def fixed(x, d):
    """x rounded to d decimals, without trailing zeros."""
    s = format(x, ".%df" % d)
    if "." in s:
        s = s.rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


class Sink:
    """Encodes lines and writes them out in chunks, counting lines and bytes."""

    def __init__(self, stream, encoding):
        self.stream = stream
        self.codec, bom = ENCODINGS[encoding]
        self.stream.write(bom)
        self.bytes = len(bom)
        self.lines = 0
        self.buf = []

    def flush(self):
        if self.buf:
            data = ("\r\n".join(self.buf) + "\r\n").encode(self.codec)
            self.stream.write(data)
            self.bytes += len(data)
            self.lines += len(self.buf)
            self.buf.clear()  # the same list: callers hold its append


class Drawing:
    def __init__(self, args, sink):
        self.rng = random.Random(args.seed)
        self.rnd = self.rng.random
        self.mix = args.mix
        self.drawable = args.mix == "drawable"
        self.sink = sink
        self.out = sink.buf.append
        self.counts = dict.fromkeys(KIND_NAMES, 0)
        self.first_line = None
        self.points = {}
        self.x, self.y = SHEET[0] / 2, SHEET[1] / 2
        kinds = [k for k in SHARES if k != "curve_line"]
        if self.drawable:
            kinds.remove("block")
        weights = [SHARES[k] for k in kinds] + [SHARES["curve_line"] / CURVE_MEAN]
        kinds.append("curve")
        self.kinds = kinds
        total = sum(weights)
        acc, self.cum = 0.0, []
        for w in weights:
            acc += w / total
            self.cum.append(acc)
        self.cum[-1] = 1.0
        # The writer of each kind but the curve, which needs to know how much
        # room is left; those of several kinds are told which one.
        self.emit = {
            "line": self.bare_line, "text": self.text, "dim": self.dimension,
            "arc": self.arc, "circle": self.circle, "point": self.point,
            "marker": self.marker, "block": self.block,
        }
        for kind, write in (("solid4", self.corner_solid), ("solid3", self.corner_solid),
                            ("solid2", self.corner_solid), ("sc", self.round_solid),
                            ("se", self.round_solid), ("so", self.ring_solid),
                            ("sg", self.ring_solid)):
            self.emit[kind] = functools.partial(write, kind)

    # --- numbers ---------------------------------------------------------
    def pick(self, seq):
        return seq[int(self.rnd() * len(seq))]

    def coord(self, v):
        """A coordinate in one of the forms a drawing holds: whole, a few
        decimals, fifteen digits of a computation, or now and then noise."""
        r = self.rnd()
        if r < 0.35:
            return str(round(v))
        if r < 0.757:
            return fixed(v, 1 + int((r - 0.35) * 9.8))  # 1 to 4 decimals
        if r < 0.9985:
            return fnum(v)
        if r < 0.99925:
            return self.pick(NOISE)
        w = round(v)  # a whole value a few units of the 15th digit off
        return fnum(w + w * (3e-14 if r < 0.9996 else -2e-14))

    def size(self, v):
        """A length that is never noise: radii, scales, text sizes."""
        r = self.rnd()
        if r < 0.45:
            return str(round(v)) if v >= 1 else fnum(v)
        if r < 0.75:
            return fixed(v, 1 + int((r - 0.45) * 10)) if v >= 0.01 else fnum(v)
        return fnum(v)

    def point_pair(self, x1, y1, x2, y2):
        """Four coordinate texts of a segment. In the drawable mix a segment
        that rounding or noise would collapse is written with full digits."""
        t = (self.coord(x1), self.coord(y1), self.coord(x2), self.coord(y2))
        if self.drawable and not far(t[0], t[1], t[2], t[3]):
            t = (fnum(x1), fnum(y1), fnum(x2), fnum(y2))
        return t

    # --- the walk over the plan -------------------------------------------
    def step(self):
        """Moves the pen along a wall, a module length or a free one, and
        returns the segment; jumps elsewhere now and then."""
        rnd = self.rnd
        if rnd() < 0.04:
            self.x = 1000 + rnd() * (SHEET[0] - 2000)
            self.y = 1000 + rnd() * (SHEET[1] - 2000)
        r = rnd()
        length = self.pick(MODULES) if r < 0.5 else 50 + rnd() * 4000
        if rnd() < 0.8:
            c, s = self.pick(((1.0, 0.0), (0.0, 1.0), (-1.0, 0.0), (0.0, -1.0)))
        else:
            c, s = self.unit()
        dx, dy = length * c, length * s
        x1, y1 = self.x, self.y
        x2, y2 = x1 + dx, y1 + dy
        if not (0 < x2 < SHEET[0] and 0 < y2 < SHEET[1]):
            x2, y2 = x1 - dx, y1 - dy
        self.x, self.y = x2, y2
        return x1, y1, x2, y2

    def unit(self, t=None):
        """A unit vector, from exact arithmetic alone: the sine and cosine of
        the C library may differ in the last bit from one machine to the
        next. A random direction by default; t in -1..1 turns the x axis by
        2 atan(t)."""
        flip = t is None and self.rnd() < 0.5
        if t is None:
            t = 2 * self.rnd() - 1
        d = 1 + t * t
        c, s = (1 - t * t) / d, 2 * t / d
        return (-c, -s) if flip else (c, s)

    def near_here(self, spread=3000.0):
        x = self.x + (self.rnd() - 0.5) * spread
        y = self.y + (self.rnd() - 0.5) * spread
        return x, y

    # --- attribute records --------------------------------------------------
    def attributes(self):
        """Before about 30 % of the records: the layer, the colour, the line
        type or width changes."""
        rnd, out = self.rnd, self.out
        if rnd() >= 0.30:
            return
        r = rnd()
        if r < 0.38:
            out("ly%X" % int(rnd() * 16))
        elif r < 0.50:
            out("lg%X" % int(rnd() * 16))
            out("ly%X" % int(rnd() * 16))
        elif r < 0.78:
            out("lc%d" % self.pick(COLOURS))
        elif r < 0.92:
            out("lt%d" % self.pick(LINE_TYPES))
        else:
            out("lw%d" % self.pick((0, 1, 1, 2, 3, 5, 10)))
        if rnd() < 0.08:
            out("lc%d" % self.pick(COLOURS))

    def flags(self):
        """Attribute bits and the indicated point of the next entity (for a
        dimension, before its "msg")."""
        rnd, out = self.rnd, self.out
        if rnd() < 0.012:
            bits = ("z1", "z2", "z3", "z4", "z5", "z1", "z3")
            b = self.pick(bits)
            out(b)
            if rnd() < 0.2:
                extra = self.pick(bits)
                # the pen writes z4 and z5 together as z5 alone
                if not (self.drawable and {b, extra} == {"z4", "z5"}):
                    out(extra)
        if rnd() < 0.0015 and not self.drawable:
            out("hhp%d%s" % (1 + int(rnd() * 5), self.pick(("", "", "ln", "ci", "ch"))))

    # --- entity records -----------------------------------------------------
    def count_line(self, t):
        if self.first_line is None:
            self.first_line = list(t)
        self.counts["line"] += 1

    def bare_line(self):
        x1, y1, x2, y2 = self.step()
        if not self.drawable and self.rnd() < 0.0003:  # a leftover of zero length
            t = (self.coord(x1), self.coord(y1))
            t += t
        else:
            t = self.point_pair(x1, y1, x2, y2)
        self.out(" ".join(t))
        self.count_line(t)
        return 1

    def curve(self, room):
        """A polyline: "pl", its segments end to end, "#". Curve points come
        from a computation, so they carry fifteen digits."""
        rnd, out = self.rnd, self.out
        lo, hi = CURVE_LONG if rnd() < CURVE_LONG_SHARE else CURVE_SHORT
        n = min(lo + int(rnd() * (hi - lo + 1)), room)
        out("pl")
        x, y = self.x, self.y
        ux, uy = self.unit()
        for i in range(n):
            c, s = self.unit(0.6 * rnd() - 0.3)  # bends of up to 33 degrees
            ux, uy = ux * c - uy * s, ux * s + uy * c
            length = 80 + rnd() * 900
            x2, y2 = x + length * ux, y + length * uy
            if i > 0 and rnd() < 0.01:  # the first line has had its flags
                self.flags()
            t = (fnum(x), fnum(y), fnum(x2), fnum(y2))
            out(" ".join(t))
            self.count_line(t)
            x, y = x2, y2
        out("#")
        self.x, self.y = min(max(x, 0.0), SHEET[0]), min(max(y, 0.0), SHEET[1])
        self.counts["curve"] += 1
        self.counts["curve_line"] += n
        return n

    def text_settings(self):
        rnd, out = self.rnd, self.out
        if rnd() < 0.35:
            if rnd() < 0.75:
                out("cn%d" % (1 + int(rnd() * 10)))
            else:
                h = self.pick((2.5, 3, 3.5, 4, 5, 7))
                out("cn0 %s %s %s %d" % (fnum(h), fnum(h), fnum(self.pick((0, 0.5, 1))),
                                          self.pick((1, 2, 3, 5, 7))))
        if rnd() < 0.08:
            f = self.pick(FONTS)
            out(('cn"$' if " " in f else "cn$") + f)
        if rnd() < 0.06:
            out("cc%d" % int(rnd() * 9))

    def direction(self, length):
        r = self.rnd()
        if r < 0.8:
            return self.size(length), "0"
        if r < 0.9:
            return "0", self.size(length)
        c, s = self.unit()
        return fnum(length * c), fnum(length * s)

    def text(self):
        rnd = self.rnd
        self.text_settings()
        keyword = "ch" if rnd() < 0.85 else self.pick(TEXT_KEYWORDS)
        s = self.pick(ROOM_NAMES if rnd() < 0.55 else NOTES)
        x, y = self.near_here()
        dx, dy = self.direction(len(s) * self.pick((2.5, 3.5, 5, 7)) * self.pick((1, 50, 100)))
        self.out('%s %s %s %s %s "%s' % (keyword, self.coord(x), self.coord(y), dx, dy, s))
        self.counts["text"] += 1
        return 1

    def dimension(self):
        """ "msg", the measured line, the "cs" text with its length."""
        rnd, out = self.rnd, self.out
        x1, y1, x2, y2 = self.step()
        t = self.point_pair(x1, y1, x2, y2)
        dx, dy = x2 - x1, y2 - y1
        length = math.sqrt(dx * dx + dy * dy)
        r = rnd()
        if r < 0.5:
            value = "{:,}".format(round(length))
        elif r < 0.8:
            value = str(round(length))
        else:
            value = fixed(length, 1)
        if value in ("0", "0.0"):
            value = "1"
        # The value sits beside the middle of the line, along it.
        mx, my = (x1 + x2) / 2, (y1 + y2) / 2
        along = self.size(self.pick((750, 1000, 1500)))
        if abs(dx) >= abs(dy):
            tx, ty, vx, vy = mx, my + 150, along, "0"
        else:
            tx, ty, vx, vy = mx - 150, my, "0", along
        out("msg")
        out(" ".join(t))
        out('cs %s %s %s %s "%s' % (fnum(tx), fnum(ty), vx, vy, value))
        self.counts["dim"] += 1
        return 1

    def circle(self):
        x, y = self.near_here()
        r = self.pick((50, 75, 100, 150, 250, 300, 455, 800)) if self.rnd() < 0.6 \
            else 20 + self.rnd() * 1500
        self.out("ci %s %s %s" % (self.coord(x), self.coord(y), self.size(r)))
        self.counts["circle"] += 1
        return 1

    def arc(self):
        """Door swings and curved walls; 15 % elliptic and tilted."""
        rnd = self.rnd
        x, y = self.x, self.y
        r = self.pick((600, 700, 800, 900, 1820)) if rnd() < 0.6 else 100 + rnd() * 4000
        if rnd() < 0.5:
            sa = self.pick((0, 90, 180, 270))
            ea = sa + 90
        else:
            sa = rnd() * 360
            ea = sa + 10 + rnd() * 300
        ea = ea - 360 if ea >= 360 else ea
        if rnd() < 0.15:
            he, ka = fnum(0.2 + rnd() * 0.7), fnum(rnd() * 180)
        else:
            he, ka = "1", "0"
        self.out("ci %s %s %s %s %s %s %s" % (self.coord(x), self.coord(y), self.size(r),
                                             fnum(sa), fnum(ea), he, ka))
        self.counts["arc"] += 1
        return 1

    def fill(self):
        """Solids are painted in an RGB colour half of the time (line colour
        10 with the value), otherwise in the line colour."""
        if self.rnd() < 0.5:
            self.out("lc10 %d" % int(self.rnd() * 16777216))

    def corners(self, n):
        """n corners of a room, a column or a free quadrilateral."""
        rnd = self.rnd
        x, y = self.near_here()
        w = self.pick(MODULES) if rnd() < 0.5 else 20 + rnd() * 3000
        h = self.pick(MODULES) if rnd() < 0.5 else 20 + rnd() * 3000
        if n == 4:
            pts = [(x, y), (x + w, y), (x + w, y + h), (x, y + h)]
        elif n == 3:
            pts = [(x, y), (x + w, y), (x + w * rnd(), y + h)]
        else:
            pts = [(x, y), (x + w, y + h)]
        if rnd() < 0.3:  # turned
            c, s = self.unit()
            pts = [(x + (px - x) * c - (py - y) * s, y + (px - x) * s + (py - y) * c)
                   for px, py in pts]
        texts = []
        for px, py in pts:
            texts += (self.coord(px), self.coord(py))
        # Corners that noise made coincide would make the reader store a
        # smaller solid than the one counted.
        if not all_apart(texts):
            texts = []
            for px, py in pts:
                texts += (fnum(px), fnum(py))
        return texts

    def corner_solid(self, kind):
        """ "sl" with 4, 3 or 2 corners."""
        self.fill()
        t = self.corners(int(kind[-1]))
        if kind == "solid3" and self.rnd() < 0.3:
            t += t[4:6]  # a triangle as four corners, the last one repeated
        self.out("sl " + " ".join(t))
        self.counts[kind] += 1
        return 1

    def round_parts(self):
        rnd = self.rnd
        x, y = self.near_here()
        r = 100 + rnd() * 2000
        he = "1" if rnd() < 0.7 else fnum(0.3 + rnd() * 0.6)
        ka = "0" if rnd() < 0.7 else fnum(rnd() * 90)
        sa = self.pick((0, 0, 90, 180)) if rnd() < 0.6 else rnd() * 360
        da = self.pick((360, 360, 180, 90)) if rnd() < 0.6 else 10 + rnd() * 340
        return [self.coord(x), self.coord(y), self.size(r), he, ka, fnum(sa), fnum(da)], r

    def round_solid(self, kind):
        """ "sc" and "se": a disc, sector or segment with its drawing code."""
        self.fill()
        parts, _ = self.round_parts()
        codes = (100, 5, 0, -1) if kind == "sc" else (100, 0)
        parts.append(str(self.pick(codes)))
        self.out(kind + " " + " ".join(parts))
        self.counts[kind] += 1
        return 1

    def ring_solid(self, kind):
        """ "so" and "sg": a ring with its inner radius."""
        self.fill()
        parts, r = self.round_parts()
        parts.append(self.size(r * (0.2 + self.rnd() * 0.6)))
        self.out(kind + " " + " ".join(parts))
        self.counts[kind] += 1
        return 1

    def point(self):
        if self.rnd() < 0.25:
            self.out("pn%d" % self.pick(COLOURS[:12]))
        x, y = self.near_here()
        self.out("pt %s %s" % (self.coord(x), self.coord(y)))
        self.counts["point"] += 1
        return 1

    def marker(self):
        rnd = self.rnd
        if rnd() < 0.25:
            self.out("pn%d" % self.pick(COLOURS[:12]))
        x, y = self.near_here()
        ang = self.pick(("0", "0", "45", "90")) if rnd() < 0.8 else fnum(rnd() * 360)
        code = self.pick((1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, -1, -3, -7))
        self.out("pt %s %s %s %s %d" % (self.coord(x), self.coord(y),
                                        self.pick(("0.5", "1", "1", "1.5", "2")), ang, code))
        self.counts["marker"] += 1
        return 1

    def block(self):
        x, y = self.near_here()
        self.out("BL %s %s %s" % (self.coord(x), self.coord(y), self.pick(BLOCK_NAMES)))
        self.counts["block"] += 1
        return 1

    # --- the file -------------------------------------------------------------
    def header(self, name):
        rnd, out = self.rnd, self.out
        out("file=" + name)
        out("hk 0")
        scales = [self.pick((1, 20, 30, 50, 100, 100, 200, 500)) for _ in range(16)]
        out("hs " + " ".join(str(s) for s in scales))
        out("hzs 420 297")
        out("hcw 2 2.5 3 3.5 4 5 6 7 9 1.5")
        out("hch 2 2.5 3 3.5 4 5 6 7 9 1.5")
        out("hcd 0 0 0.5 0.5 0.5 1 1 1 1.5 0")
        out("hcc 1 2 2 3 3 4 5 6 7 2")
        # Display colours: pens 1-9, then user colours, most of them unset.
        rgb = [int(rnd() * 16777216) if (i < 9 or i >= 100 or rnd() < 0.1) else 0
               for i in range(356)]
        out("hrgb " + " ".join(str(v) for v in rgb))

    def current_values(self):
        """The first attribute records give the drawing's current values."""
        out = self.out
        for rec in ("lg0", "ly1", "lc2", "lt1", "lw1", "cn3", "cc0", 'cn"$ＭＳ ゴシック', "pn2"):
            out(rec)

    def name_tables(self):
        rnd, out = self.rnd, self.out
        for g in range(16):
            out("lg%X %d" % (g, self.pick((0, 1, 1, 2))))
            out("lgn" + GROUP_NAMES[g])
            for y in range(16):
                out("ly%X %d" % (y, self.pick((0, 1, 1, 2))))
                if rnd() < 0.8:
                    out("lyn" + LAYER_NAMES[(y + g) % 16])
        out("lg0")
        out("ly1")

    def indicated_points(self):
        markers = ("", "ln", "", "ci", "ch")
        for k in range(1, 6):
            x, y = self.near_here(20000)
            tx, ty = self.coord(x), self.coord(y)
            self.points[str(k)] = [tx, ty]
            self.out("hp%d%s %s %s" % (k, markers[k - 1], tx, ty))

    def body(self, n):
        rnd, cum, kinds, emit, sink = self.rnd, self.cum, self.kinds, self.emit, self.sink
        done = 0
        while done < n:
            if len(sink.buf) >= 4000:
                sink.flush()
            if self.mix == "lines":
                done += self.bare_line()
                continue
            kind = kinds[bisect.bisect_right(cum, rnd())]
            self.attributes()
            self.flags()
            if kind == "curve":
                done += self.curve(n - done)
            else:
                done += emit[kind]()

    def write(self, n, hp_at, name):
        self.header(name)
        self.current_values()
        self.name_tables()
        if hp_at == "head":
            self.indicated_points()
        self.body(n)
        if hp_at == "tail":
            self.indicated_points()
        self.sink.flush()


def far(x1, y1, x2, y2):
    """Two points written as these texts lie far apart."""
    return abs(float(x2) - float(x1)) > 1e-3 or abs(float(y2) - float(y1)) > 1e-3


def all_apart(texts):
    pts = list(zip(texts[0::2], texts[1::2]))
    return all(far(*pts[i], *pts[j]) for i in range(len(pts)) for j in range(i + 1, len(pts)))


def entity_count(text):
    v = float(text)
    if v != int(v) or v < 0:
        raise argparse.ArgumentTypeError("a whole number of entities, such as 1000 or 1e6")
    return int(v)


def main(argv=None):
    p = argparse.ArgumentParser(
        description=__doc__.split("\n\n")[0],
        epilog="Example: gen_drawing.py JWC_TEMP.TXT -n 1e6 --encoding utf8-bom --stats -",
        formatter_class=argparse.RawDescriptionHelpFormatter)
    p.add_argument("output", help="file to write, - for standard output")
    p.add_argument("-n", "--entities", type=entity_count, default=1000,
                   help="entities a reader stores (default 1000): every bare line, "
                        "those of a curve too; a dimension counts once")
    p.add_argument("--encoding", choices=sorted(ENCODINGS), default="cp932",
                   help="cp932 without byte order mark (default), or UTF-8 or "
                        "UTF-16 LE with one")
    p.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    p.add_argument("--mix", choices=("realistic", "lines", "drawable"), default="realistic",
                   help="realistic (default): every record kind; lines: bare lines "
                        "only; drawable: only what a write-back carries whole")
    p.add_argument("--hp-at", choices=("head", "tail"), default="head",
                   help="indicated points after the name tables (default) or at the end")
    p.add_argument("--drawing-name", default=DEFAULT_NAME,
                   help="path in the file= record (default has spaces and 髙)")
    p.add_argument("--stats", metavar="FILE",
                   help="write what a reader must find as JSON to FILE (- for standard "
                        "error): entities of each kind, lines, bytes, the first stored "
                        "line's four tokens, the indicated points")
    args = p.parse_args(argv)

    stream = sys.stdout.buffer if args.output == "-" else open(args.output, "wb")
    try:
        sink = Sink(stream, args.encoding)
        d = Drawing(args, sink)
        d.write(args.entities, args.hp_at, args.drawing_name)
    finally:
        if stream is not sys.stdout.buffer:
            stream.close()
    if args.stats:
        stats = {
            "entities": args.entities, "mix": args.mix, "encoding": args.encoding,
            "seed": args.seed, "counts": d.counts, "lines": sink.lines,
            "bytes": sink.bytes, "first_line": d.first_line,
            "indicated_points": d.points,
        }
        text = json.dumps(stats, ensure_ascii=False, indent=1) + "\n"
        if args.stats == "-":
            sys.stderr.write(text)
        else:
            with open(args.stats, "w", encoding="utf-8") as f:
                f.write(text)


if __name__ == "__main__":
    main()
