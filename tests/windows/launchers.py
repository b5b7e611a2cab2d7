#!/usr/bin/env python3
"""The launcher batch files in launchers/, byte by byte: what the CAD program
reads from them (its directives) and what cmd.exe runs (the call of kx29).

    tests/windows/launchers.py [launchers folder]

Prints one line per launcher and exits 1 when any of them is wrong.
"""
import pathlib
import re
import sys

# What each launcher asks the CAD program for, and how it calls kx29, by the
# number in its name (0: the settings dialog).
MODES = {
    0: ([], ''),
    1: (['#1'], ' 1'),
    2: (['#1', '#99#'], ' 2'),
    3: (['#c'], ' 3 %1 %2'),
    4: (['#1', '#2'], ' 4'),
    5: (['#h1', '#hc', '#g1', '#c'], ' 5 %1'),
    6: (['#h1', '#hc', '#g1', '#c'], ' 6 %1'),
    7: (['#h1', '#hc', '#g1', '#1', '#c'], ' 7 %1 %2'),
    8: (['#h1', '#hc', '#g1', '#c'], ' 8 %1'),
    9: (['#h1', '#hc', '#g1', '#c'], ' 9 %1'),
    10: (['#h1', '#hc', '#g1', '#c'], ' 10 %1'),
    11: (['#h1', '#hc', '#g1'], ' 11'),
    12: (['#h1', '#hc', '#g1', '#1', '#c'], ' 12 %1 %2 %3 %4 %5 %6 %7 %8 %9'),
    13: (['#h1', '#hc', '#g1', '#1', '#2', '#c'], ' 13 %1 %2'),
}
WITH_MESSAGE = re.compile(r'#(\d+#?|hc|c)$')
DIRECTIVE = re.compile(r'#(\d+#?|h\d|hc|g\d|jww|cd|e|c)')


def double_byte_trails(data):
    """Second bytes of the two-byte characters of a CP932 text."""
    trails, k = [], 0
    while k < len(data):
        b = data[k]
        if 0x81 <= b <= 0x9F or 0xE0 <= b <= 0xFC:
            trails.append(data[k + 1] if k + 1 < len(data) else None)
            k += 2
        else:
            k += 1
    return trails


def message_problem(key, message):
    """Text right after a directive that the CAD program would read as more of
    the directive: a number, a guide line (-), another directive (#), or a line,
    circle or text prompt (ln, ci, ch); after #c also #cd and &&."""
    if not message:
        return 'no message'
    if message[0].isdigit() or message[0] in '-#' or message[:2] in ('ln', 'ci', 'ch'):
        return f'message begins with {message[:2]!r}'
    if key == '#c' and (message[0] == 'd' or message.startswith('&&')):
        return f'message begins with {message[:2]!r}'
    return None


def check(path, mode):
    data = path.read_bytes()
    problems = []
    try:
        text = data.decode('cp932')
    except UnicodeDecodeError as e:
        return [f'not CP932: {e}']
    if not data.endswith(b'\r\n') or data.count(b'\n') != data.count(b'\r\n') or \
            data.count(b'\r') != data.count(b'\r\n'):
        problems.append('lines not all ended by CR LF')
    if any(t in (0x5C, 0x7C, None) for t in double_byte_trails(data)):
        problems.append('a character whose second byte reads as \\ or | (or is cut off)')
    lines = text.split('\r\n')[:-1]
    raw = data.split(b'\r\n')[:-1]
    if not lines:
        return problems + ['empty']

    # Line 1 is the description shown beside the file name; no directive.
    if not re.match(r'REM \S', lines[0]) or b'#' in raw[0][:9]:
        problems.append(f'line 1 is no plain REM description: {lines[0]!r}')
    if lines[1:2] != ['@echo off']:
        problems.append('line 2 is not @echo off')

    # Directives: "REM #" with the # as the fifth byte; a # later in the first
    # nine bytes would still be read, anywhere else it would be lost.
    directives = []  # (line index, key, message)
    for k, (line, b) in enumerate(zip(lines, raw)):
        if not line.upper().startswith('REM'):
            continue
        if b'#' in b[:9] and not b.startswith(b'REM #'):
            problems.append(f'line {k + 1}: a # that is not at byte 5: {line!r}')
        if b.startswith(b'REM #'):
            m = DIRECTIVE.match(line[4:])
            if not m:
                problems.append(f'line {k + 1}: unknown directive {line!r}')
                continue
            directives.append((k, m.group(0), line[4 + m.end():]))
        if re.search(r'[%&|<>^]', line):
            problems.append(f'line {k + 1}: a character cmd.exe acts on: {line!r}')
    keys = [key for _, key, _ in directives]
    want_keys, want_call = MODES[mode]
    if keys != ['#jww', '#cd', *want_keys, '#e']:
        problems.append(f'directives {keys}, want #jww, #cd, {want_keys}, #e')
    if '#0' in keys:
        problems.append('#0 moves the origin')
    for k, key, message in directives:
        p = message_problem(key, message) if WITH_MESSAGE.match(key) else (
            f'text after {key}: {message!r}' if message else None)
        if p:
            problems.append(f'line {k + 1}: {p}')

    # After #e: kx29 called on a line of its own (cmd.exe waits for it), from
    # the launcher's own folder, with the mode and the typed values.
    end = max((k for k, key, _ in directives if key == '#e'), default=len(lines))
    commands = [line for line in lines[end + 1:] if line.strip()]
    if commands != ['"%~dp0kx29.exe"' + want_call]:
        problems.append(f'commands after #e: {commands}, want "%~dp0kx29.exe"{want_call}')
    for line in lines:
        if re.match(r'\s*@?start\b', line, re.I) and not re.search(r'/w', line, re.I):
            problems.append(f'start without /w: {line!r}')
    return problems


def main():
    folder = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                          pathlib.Path(__file__).resolve().parents[2] / 'launchers')
    files = sorted(folder.glob('*.bat'), key=lambda p: [int(t) if t.isdigit() else t
                                                        for t in re.split(r'(\d+)', p.name)])
    failed = 0
    modes = []
    for path in files:
        m = re.fullmatch(r'kx29_(\d+)_\S+\.bat', path.name)
        mode = int(m.group(1)) if m else None
        problems = check(path, mode) if mode in MODES else ['name is not kx29_<mode>_<what>.bat']
        modes.append(mode)
        failed += bool(problems)
        print(('FAIL ' if problems else 'ok   ') + path.name)
        for p in problems:
            print('     ' + p)
    if modes != sorted(MODES):
        failed += 1
        print(f'FAIL launchers sort as modes {modes}, want one for each of {sorted(MODES)} in order')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
