#!/usr/bin/env bash
# Run mode 8 (points at intersections) on 100,000 short lines in random places,
# about as many crossings as lines, against runs that read and write the same
# file without intersecting: run mode 10 with 2 (a midpoint of every line: as
# many points written as mode 8 writes), and run mode 1 (one point written).
#
#   bench/run_intersections.sh [build folder] [runs]   (defaults: build-bench, 7)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${2:-7}
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKX29_TESTS=OFF -DKX29_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j2 --target kx29 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/kx29" "$work/"

# Lines of length 56 in a square of 10,000: N * N * l * l / (pi * A) crossings,
# about N.
python3 - "$work/lines.txt" <<'PY'
import math, random, sys
rnd = random.Random(8)
out = ['hq', 'hp1 0 0', 'lg0', 'ly0', 'lc1', 'lt1']
for _ in range(100000):
    x, y, a = rnd.random() * 10000, rnd.random() * 10000, rnd.random() * 2 * math.pi
    out.append(f'{x:.3f} {y:.3f} {x + 56 * math.cos(a):.3f} {y + 56 * math.sin(a):.3f}')
open(sys.argv[1], 'wb').write(''.join(l + '\r\n' for l in out).encode('ascii'))
PY

# Median wall time of $runs runs of kx29 with the given arguments, in ms.
median() {
  local times=()
  for _ in $(seq "$runs"); do
    cp "$work/lines.txt" "$work/JWC_TEMP.TXT"
    local t0 t1
    t0=$(date +%s%N)
    (cd "$work" && ./kx29 "$@")
    t1=$(date +%s%N)
    times+=($(((t1 - t0) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}
m1=$(median 1)
m10=$(median 10 2)
m8=$(median 8)
# The same with one stray line a thousand kilometres away.
printf '0 1e9 1 1e9\r\n' >>"$work/lines.txt"
m8far=$(median 8)
cp "$work/lines.txt" "$work/JWC_TEMP.TXT"
(cd "$work" && ./kx29 8)
points=$(grep -c '^pt' "$work/JWC_TEMP.TXT")
echo "100,000 lines, $points intersections; medians of $runs runs:"
echo "  mode 1 (read, write one point):          $m1 ms"
echo "  mode 10 2 (read, write 100,000 midpoints): $m10 ms"
echo "  mode 8 (intersections):                   $m8 ms"
echo "  mode 8, a stray line far away:            $m8far ms"
awk -v a="$m8" -v b="$m10" -v c="$m1" 'BEGIN { printf "  mode 8 / mode 10 2: %.2f, mode 8 / mode 1: %.2f\n", a / b, a / c }'
