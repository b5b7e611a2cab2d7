#!/usr/bin/env python3
"""jwc2svg on small exchange files: the SVG parses as XML and holds the expected
elements at the expected places. Inside the drawing a point (x, y) of the
drawing stands at (x, -y): y points up as in the CAD program.

    test_jwc2svg.py path/to/jwc2svg
"""
import math
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

EXE = sys.argv[1]
SVG = '{http://www.w3.org/2000/svg}'
XLINK = '{http://www.w3.org/1999/xlink}href'


def exchange(*lines, encoding='cp932'):
    return ''.join(line + '\r\n' for line in lines).encode(encoding)


def run(files, args=()):
    with tempfile.TemporaryDirectory() as d:
        paths = []
        for k, data in enumerate(files):
            paths.append(os.path.join(d, f'JWC_TEMP{k}.TXT'))
            with open(paths[-1], 'wb') as f:
                f.write(data)
        return subprocess.run([EXE, *args, *paths], capture_output=True, timeout=60)


def numbers(text):
    return [float(v) for v in re.findall(r'-?\d+(?:\.\d+)?(?:[eE][-+]?\d+)?', text)]


def close(a, b):
    return math.isclose(a, b, rel_tol=1e-6, abs_tol=0.01)


def scale(root):
    """Drawing units per pixel: the scale of the drawing group."""
    g = root.find(f'{SVG}g[@class="drawing"]')
    return float(re.search(r'scale\(([^)]*)\)', g.get('transform')).group(1))


def matches(root, e, want):
    for key, value in want.items():
        if key == 'text':
            if e.text != value:
                return False
        elif key in ('start', 'end'):  # first and last point of a path
            pts = numbers(e.get('d'))
            pt = pts[:2] if key == 'start' else pts[-2:]
            if not all(close(a, b) for a, b in zip(pt, value)):
                return False
        elif key == 'closed':
            if e.get('d').rstrip().endswith('Z') != value:
                return False
        elif key == 'href':
            if e.get(XLINK) != value:
                return False
        elif key == 'place':  # translate(x y) rotate(a) scale(k), k in pixels
            t = numbers(e.get('transform') or '')
            x, y, a, k = value
            if len(t) != 4 or not all(close(*p) for p in zip(t, (x, y, a, k / scale(root)))):
                return False
        elif isinstance(value, (int, float)):
            got = e.get(key)
            if got is None or not close(float(got), value):
                return False
        elif key == 'points':  # every point of a path
            got = numbers(e.get('d'))
            if len(got) != len(value) or not all(close(a, b) for a, b in zip(got, value)):
                return False
        elif e.get(key) != value:
            return False
    return True


HS50 = 'hs ' + ' '.join(['50'] * 16)
HRGB = 'hrgb 255 65280 16711680 0 0 0 0 0 128'

# Each case: the files given, then (where, tag, attributes) that must be found;
# "where" is the layer group: after (a file's own colours), before (grey),
# indicated (numbered points).
CASES = [
    ('line and circle, y up, in pen colour 3',
     [exchange('lc3', '0 0 100 50', 'ci 10 20 5')],
     [('after', 'line', {'x1': 0, 'y1': 0, 'x2': 100, 'y2': -50, 'stroke': '#00c000'}),
      ('after', 'circle', {'cx': 10, 'cy': -20, 'r': 5, 'stroke': '#00c000'})]),
    ('arc of an ellipse, flatness 0.5 and tilt 90, counter-clockwise from 0 to 90',
     [exchange('ci 0 0 10 0 90 0.5 90', 'ci 100 0 10 30 30 0.5 0')],
     [('after', 'path', {'class': 'arc', 'start': (0, -10), 'end': (-5, 0), 'closed': False}),
      ('after', 'path', {'class': 'arc', 'start': (100 + 10 * math.cos(math.pi / 6), -2.5),
                         'closed': True})]),
    ('text: start point, direction, height from its kind and its layer group scale',
     [exchange(HS50, 'cn3', 'ch 10 20 0 5 "平面 図', 'cn0 2 4 0 3', 'ch 0 0 1 1 "A&<B')],
     [('after', 'text', {'x': 10, 'y': -20, 'font-size': 150, 'transform': 'rotate(-90 10 -20)',
                         'fill': '#000000', 'text': '平面 図'}),
      ('after', 'text', {'x': 0, 'y': 0, 'font-size': 200, 'transform': 'rotate(-45 0 0)',
                         'fill': '#00c000', 'text': 'A&<B'})]),
    ('text in paper units keeps its height; characters XML cannot hold become U+FFFD',
     [exchange('bz', HS50, 'cn3', 'ch 1 2 1 0 "a\ufffeb', encoding='utf-8-sig')],
     [('after', 'text', {'x': 1, 'y': -2, 'font-size': 3, 'text': 'a\ufffdb'})]),
    ('a point, the seven marker kinds at their scale and angle, an unknown code as a point',
     [exchange('pn5', 'pt 1 1', *[f'pt {k} 0 2 45 -{k}' for k in range(1, 8)], 'pt 9 9 1 0 5')],
     [('after', 'circle', {'class': 'point', 'cx': 1, 'cy': -1, 'fill': '#c000c0'}),
      *[('after', 'use', {'href': f'#m{k}', 'place': (k, 0, -45, 12), 'color': '#c000c0'})
        for k in range(1, 8)],
      ('after', 'circle', {'class': 'point', 'cx': 9, 'cy': -9})]),
    ('solids: fill colour from lc10, pen colour otherwise; sector and ring',
     [exchange('lc10 255', 'sl 0 0 10 0 10 10 0 10', 'lc4', 'sl 20 0 30 0 30 10',
               'sl 40 0 50 10', 'lc10 65280', 'sc 0 50 10 1 0 0 90 100',
               'so 50 50 10 1 0 0 360 5')],
     [('after', 'path', {'points': (0, 0, 10, 0, 10, -10, 0, -10), 'fill': '#ff0000'}),
      ('after', 'path', {'points': (20, 0, 30, 0, 30, -10), 'fill': '#c0c000'}),
      ('after', 'line', {'class': 'solid', 'x1': 40, 'y1': 0, 'x2': 50, 'y2': -10,
                         'stroke': '#c0c000'}),
      ('after', 'path', {'class': 'solid', 'start': (10, -50), 'end': (0, -50),
                         'closed': True, 'fill': '#00ff00'}),
      ('after', 'path', {'class': 'solid', 'fill-rule': 'evenodd', 'start': (60, -50),
                         'end': (55, -50), 'fill': '#00ff00'})]),
    ('dimension: its line and its text',
     [exchange('msg', '0 0 100 0', 'cs 50 5 1 0 "100')],
     [('after', 'line', {'class': 'dimension', 'x1': 0, 'y1': 0, 'x2': 100, 'y2': 0}),
      ('after', 'text', {'class': 'dimension', 'x': 50, 'y': -5, 'text': '100'})]),
    ('without colour values in the file pen 1 comes from the table; the first of two files is grey',
     [exchange(HRGB, 'lc1', '0 0 1 1', 'lc3', '0 0 2 2', 'lc103', '0 0 3 3', 'lc200',
               '0 0 4 4'),
      exchange('lc1', '0 0 5 5')],
     [('before', 'line', {'x2': 1, 'stroke': '#a6a6a6'}),
      ('after', 'line', {'x2': 5, 'stroke': '#00c0c0'})]),
    ('colours carried by the file: pens 1 and 3 from hrgb, SXF 3 from the table, SXF 100 black',
     [exchange(HRGB, 'lc1', '0 0 1 1', 'lc3', '0 0 2 2', 'lc103', '0 0 3 3', 'lc200',
               '0 0 4 4')],
     [('after', 'line', {'x2': 1, 'stroke': '#ff0000'}),
      ('after', 'line', {'x2': 2, 'stroke': '#0000ff'}),
      ('after', 'line', {'x2': 3, 'stroke': '#00ff00'}),
      ('after', 'line', {'x2': 4, 'stroke': '#000000'})]),
    ('two files: the first grey, the second in colour, indicated points numbered',
     [exchange('lc3', 'hp1 0 0', 'hp2 100 0', 'hp4 50 50', '0 0 100 0'),
      exchange('lc5', 'pn5', 'pt 50 0')],
     [('before', 'line', {'x1': 0, 'x2': 100, 'stroke': '#a6a6a6'}),
      ('after', 'circle', {'class': 'point', 'cx': 50, 'cy': 0, 'fill': '#c000c0'}),
      ('indicated', 'circle', {'cx': 0, 'cy': 0}),
      ('indicated', 'circle', {'cx': 50, 'cy': -50}),
      ('indicated', 'text', {'text': '1'}),
      ('indicated', 'text', {'text': '2'}),
      ('indicated', 'text', {'text': '4'})]),
]


def check_case(name, files, wants):
    r = run(files)
    if r.returncode != 0:
        return [f'exit code {r.returncode}: {r.stderr.decode(errors="replace")}']
    try:
        root = ET.fromstring(r.stdout)
    except ET.ParseError as e:
        return [f'not XML: {e}']
    problems = []
    if root.tag != f'{SVG}svg':
        problems.append(f'root element {root.tag}')
    drawing = root.find(f'{SVG}g[@class="drawing"]')
    for where, tag, want in wants:
        group = drawing.find(f'.//{SVG}g[@class="{where}"]') if drawing is not None else None
        found = group is not None and any(
            matches(root, e, want) for e in group.iter(f'{SVG}{tag}'))
        if not found:
            problems.append(f'no {tag} {want} in {where}')
    return problems


def check_picture_aids():
    """What the guide's pictures add: the rings under the added points, the
    typed distances along the turned axes, and the legend."""
    problems = []
    r = run([exchange('hk 30', 'hp1 0 0', '0 0 10 0'), exchange('pt 0 0')],
            ['--legend', '--typed', '2000,1000'])
    root = ET.fromstring(r.stdout)
    drawing = root.find(f'{SVG}g[@class="drawing"]')
    order = [g.get('class') for g in drawing.findall(f'{SVG}g')]
    if order.index('indicated') > order.index('after'):
        problems.append(f'rings drawn over the added points: {order}')
    typed = drawing.find(f'{SVG}g[@class="typed"]')
    lines = [] if typed is None else typed.findall(f'{SVG}line')
    c, s = math.cos(math.pi / 6), math.sin(math.pi / 6)
    ends = [(float(e.get('x2')), float(e.get('y2'))) for e in lines]
    want = [(2000 * c, -2000 * s), (2000 * c - 1000 * s, -(2000 * s + 1000 * c))]
    if len(ends) != 2 or not all(close(a[0], b[0]) and close(a[1], b[1]) for a, b in zip(ends, want)):
        problems.append(f'typed distances end at {ends}, want {want}')
    texts = ''.join(t.text or '' for t in drawing.iter(f'{SVG}text'))
    if 'X 2000' not in texts or 'Y 1000' not in texts or '原点' not in texts:
        problems.append(f'typed labels missing: {texts!r}')
    legend = root.find(f'{SVG}g[@class="legend"]')
    words = '' if legend is None else ''.join(t.text or '' for t in legend.iter(f'{SVG}text'))
    for w in ('灰色', 'kx29', '指示点'):
        if w not in words:
            problems.append(f'legend without {w}: {words!r}')
    r = run([exchange('0 0 10 0'), exchange('pt 0 0')], ['--legend'])
    if '指示点' in r.stdout.decode():
        problems.append('legend names indicated points where there are none')
    # The legend's dot in the colour of what was added: here red markers.
    r = run([exchange('0 0 10 0'), exchange('lc102', 'pn102', 'pt 0 0 1 0 -1')], ['--legend'])
    root = ET.fromstring(r.stdout)
    legend = root.find(f'{SVG}g[@class="legend"]')
    dots = [] if legend is None else [c.get('fill') for c in legend.iter(f'{SVG}circle')]
    if dots[:1] != ['#ff0000']:
        problems.append(f'legend dot in {dots}, want the added markers\' red #ff0000')
    return problems


def check_errors():
    problems = []
    with tempfile.TemporaryDirectory() as d:
        missing = os.path.join(d, 'nothing.TXT')
        present = os.path.join(d, 'JWC_TEMP.TXT')
        with open(present, 'wb') as f:
            f.write(exchange('0 0 1 1'))
        for what, args, code in [('missing file', [missing], 1), ('a folder', [d], 1),
                                 ('second file missing', [present, missing], 1),
                                 ('no file', [], 2), ('unknown option', ['--x', missing], 2)]:
            r = subprocess.run([EXE, *args], capture_output=True, timeout=60)
            if r.returncode != code or r.stdout:
                problems.append(f'{what}: exit {r.returncode}, {len(r.stdout)} bytes out')
            if code == 1 and b'cannot read' not in r.stderr:
                problems.append(f'{what}: message {r.stderr!r}')
    return problems


failed = 0
for name, files, wants in CASES:
    problems = check_case(name, files, wants)
    failed += bool(problems)
    print(('FAIL ' if problems else 'ok   ') + name)
    for p in problems:
        print('     ' + p)
for p in check_picture_aids() + check_errors():
    failed += 1
    print('FAIL ' + p)
sys.exit(1 if failed else 0)
