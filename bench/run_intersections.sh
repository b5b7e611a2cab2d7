#!/usr/bin/env bash
# Run mode 8 (points at intersections) on 100,000 short lines in random places,
# about as many crossings as lines, against runs that read and write the same
# file without intersecting: run mode 10 with 2 (a midpoint of every line: as
# many points written as mode 8 writes), and run mode 1 (one point written).
# Then mode 8 against mode 1 on the realistic drawings of gen_drawing.py (1e5
# and 1e6 entities), and mode 8 alone on drawings made to be hard: 1e4 lines
# through one point, 1e4 long lines each crossing every other, one line
# crossed by 1e5 others at one x, 1e3 concentric ellipses each crossing the
# others. Times are medians, memory the largest resident size of the runs.
#
#   bench/run_intersections.sh [build folder] [runs]   (defaults: build-bench, 7)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${2:-7}
source bench/kx29_folder.sh

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

input=lines.txt

# The peak resident memory of one run, in MB.
peak() {
  cp "$work/$input" "$work/JWC_TEMP.TXT"
  (cd "$work" && /usr/bin/time -f '%M' ./kx29 "$@" 2>&1 >/dev/null | tail -1) |
    awk '{ printf "%.0f", $1 / 1024 }'
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

# Realistic drawings: mode 8 against mode 1 on the same file.
echo
echo "Realistic drawings (gen_drawing.py), mode 8 against mode 1; medians of $runs runs:"
for n in 100000 1000000; do
  python3 bench/gen_drawing.py -n "$n" "$work/real$n.txt"
  input=real$n.txt
  t1=$(median 1); t8=$(median 8); p1=$(peak 1); p8=$(peak 8)
  cp "$work/real$n.txt" "$work/JWC_TEMP.TXT"
  (cd "$work" && ./kx29 8)
  pts=$(grep -c '^pt' "$work/JWC_TEMP.TXT")
  awk -v n="$n" -v a="$t8" -v b="$t1" -v c="$p8" -v d="$p1" -v p="$pts" 'BEGIN {
    printf "  %d entities: mode 8 %d ms, %d MB (%d points); mode 1 %d ms, %d MB; x %.2f time, x %.2f memory\n",
           n, a, c, p, b, d, a / b, c / d }'
done

# Drawings made to be hard.
python3 - "$work" <<'PY'
import math, random, sys
def write(name, records):
    out = ['hq', 'lg0', 'ly0', 'lc1', 'lt1'] + records
    open(f'{sys.argv[1]}/{name}.txt', 'wb').write(''.join(l + '\r\n' for l in out).encode('ascii'))
rnd = random.Random(25)
n = 10000
a = sorted(rnd.random() * 10000 for _ in range(n))
b = sorted((rnd.random() * 10000 for _ in range(n)), reverse=True)
write('crossing', [f'0 {y0:.3f} 10000 {y1:.3f}' for y0, y1 in zip(a, b)])
write('onex', ['0 -1 0 100001'] + [f'-10 {k + 0.5} 10 {k + 0.5}' for k in range(100000)])
write('ellipses', [f'ci 0 0 {1000 + k} 0 0 0.5 {k * 0.37:.2f}' for k in range(1000)])
PY
star_drawing "$work/star.txt"
echo
echo "Drawings made to be hard, mode 8; medians of $runs runs:"
for d in star crossing onex ellipses; do
  input=$d.txt
  t=$(median 8); p=$(peak 8)
  cp "$work/$d.txt" "$work/JWC_TEMP.TXT"
  (cd "$work" && ./kx29 8)
  printf '  %-9s %6d ms %5d MB %7d points\n' "$d" "$t" "$p" "$(grep -c '^pt' "$work/JWC_TEMP.TXT")"
done
