#!/usr/bin/env bash
# The speed figures of the Windows build under Wine, beside the native ones
# (run_bench.sh): the same measurements against Windows' own floors, a
# program of ours that only decodes the file with MultiByteToWideChar
# (decode_floor.exe) and one that only starts and exits (bench_trivial.exe),
# both under Wine as well.
#
#   bench/run_wine.sh [BUILD_DIR] [RUNS]      (defaults: build-win, 10)
#
# BUILD_DIR is the cross build with the benchmarks:
#   cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
#     -DCMAKE_BUILD_TYPE=Release -DKX29_BENCH=ON
#   cmake --build build-win --target kx29 bench_reader bench_writer bench_trivial decode_floor
# The Wine prefix is the one tests/windows/run.sh makes in BUILD_DIR (made
# here when missing), with code page 932; kx29.exe gets a virtual screen.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-win}" && pwd)
runs=${2:-10}
gen=$here/gen_drawing.py
python=/usr/bin/python3
[ -x "$python" ] || python=python3
for f in kx29.exe bench/bench_reader.exe bench/bench_writer.exe bench/bench_trivial.exe bench/decode_floor.exe; do
  [ -e "$build/$f" ] || { echo "missing: $build/$f" >&2; exit 1; }
done

export WINEPREFIX="$build/wine-prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset WINEARCH
work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
. "$here/../tests/windows/xvfb.sh"
start_xvfb
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  timeout 180 wineboot -i >/dev/null 2>&1
  timeout 60 wineserver -w
fi
# One server for all runs, as on a desktop where Windows is already up.
wineserver -p || true  # already running: that one serves
wine "$build/bench/bench_trivial.exe" >/dev/null 2>&1 || true

median_of() { "$python" -c "import json,sys; r=json.load(open(sys.argv[1]))['results']; print(' '.join(str(x['median']) for x in r))" "$1"; }
mkdir "$work/tool"
cp "$build/kx29.exe" "$build/bench/"*.exe "$work/tool/"
cd "$work/tool"

echo "== start-up under Wine: run mode 2 on 1,000 entities against a program that only starts and exits"
"$python" "$gen" "$work/e1k.txt" -n 1e3
hyperfine -N -w 3 -r "$runs" --export-json "$work/start.json" \
  --prepare "cp $work/e1k.txt $work/tool/JWC_TEMP.TXT" "wine kx29.exe 2" \
  --prepare true "wine bench_trivial.exe" > /dev/null
read -r t_kx t_triv < <(median_of "$work/start.json")
awk -v a="$t_kx" -v b="$t_triv" 'BEGIN {printf "kx29.exe 2 median %.1f ms, bench_trivial.exe median %.1f ms, ratio %.2f\n", a * 1e3, b * 1e3, a / b}'

echo "== run mode 2 on 1,000,000 entities under Wine against decoding the file"
"$python" "$gen" "$work/e1m.txt" -n 1e6
size=$(wc -c < "$work/e1m.txt")
hyperfine -N -w 1 -r "$runs" --export-json "$work/run.json" \
  --prepare "cp $work/e1m.txt $work/tool/JWC_TEMP.TXT" "wine kx29.exe 2" \
  --prepare true "wine decode_floor.exe ../e1m.txt" > /dev/null
read -r t_run t_dec < <(median_of "$work/run.json")
awk -v a="$t_run" -v b="$t_dec" 'BEGIN {printf "kx29.exe 2 median %.3f s, decode_floor.exe median %.3f s, ratio %.2f\n", a, b, a / b}'
cp "$work/e1m.txt" JWC_TEMP.TXT
/usr/bin/time -f "%M" -o "$work/rss.txt" wine kx29.exe 2
cp "$work/e1m.txt" JWC_TEMP.TXT
/usr/bin/time -f "%M" -o "$work/rss_floor.txt" wine decode_floor.exe ../e1m.txt > /dev/null
awk -v k="$(cat "$work/rss.txt")" -v f="$(cat "$work/rss_floor.txt")" -v s="$size" \
  'BEGIN {printf "peak memory: kx29.exe 2 %.1f MB = %.2f x the file, decode_floor.exe %.1f MB\n", k * 1024 / 1e6, k * 1024 / s, f * 1024 / 1e6}'

echo "== the reader alone and writing back under Wine (medians of $runs runs, each a fresh process)"
for k in $(seq "$runs"); do wine bench_reader.exe ../e1m.txt 1 | tr -d '\r' | sed -n 's/^runs .*median \([0-9.]*\) s.*/\1/p'; done |
  sort -n | awk '{a[NR]=$1} END {printf "bench_reader.exe median %.3f s\n", a[int((NR + 1) / 2)]}'
for k in $(seq "$runs"); do wine bench_writer.exe ../e1m.txt ../out.txt 1 | tr -d '\r' |
  sed -n 's/^S_EntAll median \([0-9.]*\) s; with SaveTempFile median \([0-9.]*\) s.*/\1 \2/p'; done |
  sort -n -k2 | awk '{a[NR]=$1; b[NR]=$2} END {m = int((NR + 1) / 2); printf "bench_writer.exe: S_EntAll %.3f s, with SaveTempFile %.3f s (medians)\n", a[m], b[m]}'
