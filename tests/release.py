#!/usr/bin/env python3
"""What a user unpacks from the release zip: lists its entries and checks them.

    tests/release.py dist/kx29-<version>-win64.zip

Everything sits in one folder kx29/: the program, every launcher exactly as in
launchers/, the guide as a page and as a text file Notepad reads (UTF-8 with a
byte order mark, CR LF, no Markdown marks), the page that runs kx29 in a
browser (one file, its scripts inside), the licence, and SHA256SUMS naming
every other entry with its hash. Every entry has one time and the same permissions. Beside it, the
library's reference as pages in a zip of its own.
"""
import hashlib
import pathlib
import re
import sys
import zipfile

root = pathlib.Path(__file__).resolve().parents[1]
problems = []
with zipfile.ZipFile(sys.argv[1]) as z:
    entries = z.infolist()
    for e in entries:
        print(f'  {e.file_size:>8}  {e.filename}')
    data = {e.filename: z.read(e) for e in entries}

launchers = {'kx29/' + p.name: p.read_bytes() for p in (root / 'launchers').glob('*.bat')}
for name in ['kx29/kx29.exe', 'kx29/説明書.html', 'kx29/説明書.txt', 'kx29/ブラウザ版.html', 'kx29/LICENSE.txt',
             'kx29/SHA256SUMS', *launchers]:
    if name not in data:
        problems.append(f'{name} is missing')
problems += [f'{n} differs from the launcher in the repository'
             for n, b in launchers.items() if data.get(n, b) != b]
if not data.get('kx29/kx29.exe', b'MZ').startswith(b'MZ'):
    problems.append('kx29.exe is no Windows program')

guide = data.get('kx29/説明書.txt', b'\xef\xbb\xbf\r\n')
if not guide.startswith(b'\xef\xbb\xbf') or guide.count(b'\n') != guide.count(b'\r\n'):
    problems.append('the guide is not UTF-8 with a byte order mark and CR LF')
try:
    for k, line in enumerate(guide.decode('utf-8').splitlines(), 1):
        if '`' in line or '**' in line or line.startswith(('#', '|')) or '](' in line:
            problems.append(f'the text guide shows Markdown in line {k}: {line[:40]!r}')
except UnicodeDecodeError:
    problems.append('the guide is not UTF-8')
# Every picture the text guide names lies in the folder 図 beside it.
for name in re.findall(r'図\\([^　）]+\.png)', guide.decode('utf-8', 'replace')):
    if f'kx29/図/{name}' not in data:
        problems.append(f'the guide names 図\\{name}, which the zip does not hold')
page = data.get('kx29/説明書.html', b'')
if b'<img' not in page or b'src="docs/' in page or b'<meta charset="utf-8">' not in page:
    problems.append('the guide page does not carry its pictures inside')

browser = data.get('kx29/ブラウザ版.html', b'')
if b'<script src=' in browser or b'createKx29' not in browser:
    problems.append('the browser page does not carry its scripts and module inside')

sums = {}
for line in data.get('kx29/SHA256SUMS', b'').decode('utf-8').splitlines():
    digest, _, name = line.partition('  ')
    sums['kx29/' + name] = digest
others = {n: hashlib.sha256(b).hexdigest() for n, b in data.items() if n != 'kx29/SHA256SUMS'}
if sums != others:
    problems.append('SHA256SUMS does not name every other entry with its hash')

if len({e.date_time for e in entries}) != 1 or len({e.external_attr for e in entries}) != 1:
    problems.append('entries differ in time or permissions')
if any(not e.filename.startswith('kx29/') for e in entries):
    problems.append('an entry outside the folder kx29/')

# The library's reference, the zip beside it: the pages open from the disk.
reference = pathlib.Path(sys.argv[1].replace('-win64.zip', '-reference.zip'))
if not reference.is_file():
    problems.append(f'{reference.name} is missing')
else:
    with zipfile.ZipFile(reference) as z:
        pages = {e.filename: e for e in z.infolist()}
        print(f'  {len(pages)} entries in {reference.name}')
        for name in ['index.html', 'classTJGdata.html', 'MyFunc_8h.html', 'md_docs_format.html']:
            if 'kx29-reference/' + name not in pages:
                problems.append(f'the reference has no {name}')
        if len({e.date_time for e in pages.values()}) != 1:
            problems.append('the reference\'s entries differ in time')

for p in problems:
    print('FAIL ' + p)
print(f'release: {len(entries)} entries, ' + ('ok' if not problems else f'{len(problems)} problems'))
sys.exit(1 if problems else 0)
