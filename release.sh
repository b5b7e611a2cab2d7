#!/usr/bin/env bash
# Builds the Windows release dist/kx29-<version>-win64.zip: one folder kx29/
# holding kx29.exe, the launchers, the user guide as a page and as plain text
# (with its pictures), the page that runs kx29 in a browser, the licence and
# SHA256SUMS; and beside it
# dist/kx29-<version>-reference.zip, the library's reference as HTML pages.
# Two runs from the same commit give the same bytes: the program is linked
# without a time stamp, and every entry has the commit's time, a fixed place
# in the zip and fixed permissions.
#
#   ./release.sh [build folder] [web build folder]
# (defaults: build-release, and web/ inside the build folder; a web build
# folder made before, such as the tests', is brought up to date and used).
# Prints the path of the zip.
set -euo pipefail
cd "$(dirname "$0")"
build=${1:-build-release}
web=${2:-$build/web}

version=$(sed -n 's/^project(kx29 VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "release: no version in CMakeLists.txt" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || true)}
[ -n "$epoch" ] || { echo "release: no commit to date the files by (set SOURCE_DATE_EPOCH)" >&2; exit 1; }
if [ -n "$(git status --porcelain 2>/dev/null)" ]; then
  echo "release: note: the working tree has changes that are not committed" >&2
fi

cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_EXE_LINKER_FLAGS=-Wl,--no-insert-timestamp >/dev/null
cmake --build "$build" -j2 --target kx29 >/dev/null

# The user guide: one page with its pictures inside, and plain text for Notepad
# (the system's Python, which has python3-markdown).
/usr/bin/python3 tools/guide.py html "$build/説明書.html"
/usr/bin/python3 tools/guide.py txt "$build/説明書.txt"
# The library's reference for tool authors, a zip of its own beside the
# program's: the draughtsperson's zip stays as it was.
tools/reference.sh "$build/reference" >/dev/null
# kx29 in the browser, one page that opens from the disk: to try a run mode on
# a drawing before using it in the CAD program.
web/build.sh "$web" >/dev/null

mkdir -p dist
zip="dist/kx29-$version-win64.zip"
reference="dist/kx29-$version-reference.zip"
python3 - "$build" "$web" "$zip" "$reference" "$epoch" <<'EOF'
import hashlib, sys, time, zipfile
from pathlib import Path

build, web, out, reference = Path(sys.argv[1]), Path(sys.argv[2]), Path(sys.argv[3]), Path(sys.argv[4])
epoch = int(sys.argv[5])

pictures = ['docs/dialog.png', 'docs/web.png', 'docs/web-phone.png'] + sorted(str(p) for p in Path('docs/modes').glob('mode*.png'))
files = [('kx29.exe', (build / 'kx29.exe').read_bytes())]
files += [(p.name, p.read_bytes()) for p in sorted(Path('launchers').glob('*.bat'))]
files += [('説明書.html', (build / '説明書.html').read_bytes()),
          ('説明書.txt', (build / '説明書.txt').read_bytes()),
          ('ブラウザ版.html', (web / 'kx29-page.html').read_bytes()),
          ('LICENSE.txt', Path('LICENSE').read_bytes().replace(b'\n', b'\r\n'))]
files += [('図/' + Path(p).name, Path(p).read_bytes()) for p in pictures]
sums = ''.join(f'{hashlib.sha256(data).hexdigest()}  {name}\n' for name, data in files)
files.append(('SHA256SUMS', sums.encode('utf-8')))

# The commit's time as zip entries keep it (local time fields, read as UTC).
stamp = time.gmtime(max(epoch, 315532800))[:6]

def write_zip(out, folder, files):
    tmp = out.with_suffix('.tmp')
    with zipfile.ZipFile(tmp, 'w') as z:
        for name, data in files:
            info = zipfile.ZipInfo(folder + name, stamp)
            info.create_system = 3
            info.external_attr = 0o100644 << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data, compresslevel=9)
    tmp.replace(out)

write_zip(out, 'kx29/', files)
pages = build / 'reference' / 'html'
write_zip(reference, 'kx29-reference/',
          [(p.relative_to(pages).as_posix(), p.read_bytes()) for p in sorted(pages.rglob('*')) if p.is_file()])
EOF
echo "release: $(stat -c %s "$zip") bytes; the library's reference: $reference, $(stat -c %s "$reference") bytes" >&2
echo "$zip"
