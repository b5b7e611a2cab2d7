#!/usr/bin/env bash
# The sine, cosine and arc tangent figures of BENCHMARKS.md:
#   - cost per call of ExactSin, ExactCos and ExactAtan2 against the C
#     library's sin, cos and atan2: natively (glibc) and in the Windows build
#     under Wine (MinGW-w64's);
#   - given two programs, the start-up of a mode-6 run with 1000 points,
#     before and after: wall and CPU time (hyperfine), and instructions
#     (valgrind's callgrind, which the load of the machine does not disturb).
#
#   bench/run_trig.sh [BEFORE_KX29 AFTER_KX29 [RUNS]]   (default 200 runs)
#
# BEFORE_KX29 and AFTER_KX29 are native Release builds of kx29 from the two
# commits to compare. Needs g++, g++-mingw-w64-x86-64, wine64, and for the
# start-up hyperfine and valgrind.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
before=${1:+$(realpath "$1")}
after=${2:+$(realpath "$2")}
runs=${3:-200}
gen=$here/gen_drawing.py

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== machine"
echo "cpu: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; load average: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "compilers: $(g++ --version | head -1); $(x86_64-w64-mingw32-g++-posix --version | head -1)"

# The build's own flags for a Release build.
flags=(-O3 -DNDEBUG -std=c++20 -ffp-contract=off -I"$root")
sources=("$here/bench_trig.cpp" "$root/myfunc/ExactTrig.cpp" "$root/myfunc/ExactAtan2.cpp")
g++ "${flags[@]}" "${sources[@]}" -o "$work/bench_trig"
x86_64-w64-mingw32-g++-posix "${flags[@]}" -static "${sources[@]}" -o "$work/bench_trig.exe"

echo "== cost per call, natively (glibc)"
"$work/bench_trig"
echo "== cost per call, Windows build under Wine (MinGW-w64)"
export WINEPREFIX="$work/wine-prefix" WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
timeout 180 wineboot -i >/dev/null 2>&1 || true
timeout 300 wine "$work/bench_trig.exe" | tr -d '\r'
timeout 30 wineserver -k >/dev/null 2>&1 || true
[ -n "$after" ] || exit 0

echo "== start-up: kx29 6 1000 on gen_drawing.py -n 1e3 (seed 1), before and after"
python3 "$gen" "$work/e1k.txt" -n 1e3
for side in before after; do
  mkdir "$work/$side"
  cp "${!side}" "$work/$side/kx29"
done
(cd "$work/before" && cp ../e1k.txt JWC_TEMP.TXT && ./kx29 6 1000)
echo "points written: $(grep -c '^pt ' "$work/before/JWC_TEMP.TXT")"
# Interleaved, a fresh copy of the input before every run (the run rewrites it).
hyperfine -N -w 10 -r "$runs" --export-json "$work/startup.json" \
  --prepare "cp $work/e1k.txt $work/before/JWC_TEMP.TXT" -n before "$work/before/kx29 6 1000" \
  --prepare "cp $work/e1k.txt $work/after/JWC_TEMP.TXT" -n after "$work/after/kx29 6 1000" >/dev/null
python3 - "$work/startup.json" <<'EOF'
import json, sys
rs = json.load(open(sys.argv[1]))["results"]
print("%-8s %12s %12s %12s" % ("", "median ms", "user ms", "system ms"))
for r in rs:
    print("%-8s %12.3f %12.3f %12.3f" % (r["command"], r["median"] * 1e3, r["user"] * 1e3,
                                         r["system"] * 1e3))
EOF
for side in before after; do
  cp "$work/e1k.txt" "$work/$side/JWC_TEMP.TXT"
  (cd "$work/$side" && valgrind --tool=callgrind --callgrind-out-file="$work/$side.cg" ./kx29 6 1000 \
    2>&1 | sed -n "s/.*Collected : */$side: instructions /p")
done
