#!/usr/bin/env python3
"""Draws the program's icon, kx29.ico: a drawing sheet in the dialog's green
with a point marker (a cross in a circle) and a point beside it, at 16, 32
and 48 pixels, 32-bit colour with alpha. Run it again after changing it:
  python3 app/win32/make_icon.py app/win32/kx29.ico"""
import math
import struct
import sys

SHEET = (192, 220, 192)
EDGE = (40, 90, 40)
MARK = (200, 30, 30)
POINT = (0, 0, 0)


def pixels(n):
    """Rows top to bottom of (r, g, b, a), drawn at 4x4 subsamples per pixel."""
    s = n / 32.0
    rows = []
    for y in range(n):
        row = []
        for x in range(n):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(4):
                for sx in range(4):
                    px = (x + (sx + 0.5) / 4) / s
                    py = (y + (sy + 0.5) / 4) / s
                    c = sample(px, py)
                    if c is None:
                        continue
                    for k in range(3):
                        acc[k] += c[k]
                    acc[3] += 1
            if acc[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(acc[k] / acc[3])) for k in range(3))
                           + (int(round(255 * acc[3] / 16)),))
        rows.append(row)
    return rows


def sample(x, y):
    """The colour at (x, y) of the 32-unit design, None outside the sheet."""
    if not (1 <= x <= 31 and 1 <= y <= 31):
        return None
    if x < 2.5 or x > 29.5 or y < 2.5 or y > 29.5:
        return EDGE
    cx, cy, r = 13.0, 13.0, 8.0
    d = math.hypot(x - cx, y - cy)
    if abs(d - r) < 1.2:
        return MARK
    if (abs(x - cx) < 1.0 or abs(y - cy) < 1.0) and d < r + 3:
        return MARK
    if math.hypot(x - 24.0, y - 24.0) < 2.6:
        return POINT
    return SHEET


def bmp_entry(n):
    rows = pixels(n)
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, 32, 0, 0, 0, 0, 0, 0)
    data = bytearray()
    for row in reversed(rows):  # bottom-up
        for r, g, b, a in row:
            data += bytes((b, g, r, a))
    mask_stride = ((n + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        data += bits
    return header + bytes(data)


def main(out):
    sizes = [16, 32, 48]
    images = [bmp_entry(n) for n in sizes]
    ico = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for n, img in zip(sizes, images):
        ico += struct.pack('<BBBBHHII', n, n, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        ico += img
    with open(out, 'wb') as f:
        f.write(ico)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'kx29.ico')
