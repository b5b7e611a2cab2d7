#!/usr/bin/env bash
# Run mode 10 on ellipses, which it divides by their length along the curve:
# 10,000 ellipses and elliptic arcs at random (flatness 0.01 to 1, any tilt),
# divided into 2 and into 10, against mode 7 on the same figures (the same
# measuring of length) and mode 1 (reading and writing alone); then the same
# runs on the realistic drawing of gen_drawing.py (1e5 entities, a few
# hundred ellipses among them). Times are medians.
#
#   bench/run_ellipses.sh [build folder] [runs] [kx29]
#   (defaults: build-bench, 3; a kx29 given is timed instead of the build's,
#   an earlier one for instance, for a before and after on the same load)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${2:-3}
kx29=${3:-}
source bench/kx29_folder.sh

python3 - "$work/ellipses.txt" <<'PY'
import random, sys
rnd = random.Random(1)
out = ['hq', 'lg0', 'ly0', 'lc1', 'lt1']
for k in range(10000):
    sa, ea = (0, 360) if k % 2 else (round(rnd.uniform(0, 360), 2), round(rnd.uniform(0, 360), 2))
    out.append(f'ci {rnd.uniform(0, 1e5):.3f} {rnd.uniform(0, 1e5):.3f} {rnd.uniform(10, 2000):.3f} '
               f'{sa} {ea} {10 ** rnd.uniform(-2, 0):.4f} {rnd.uniform(-180, 180):.2f}')
open(sys.argv[1], 'wb').write(''.join(l + '\r\n' for l in out).encode('ascii'))
PY
python3 bench/gen_drawing.py -n 100000 --seed 1 "$work/real.txt"

points() {
  cp "$work/$input" "$work/JWC_TEMP.TXT"
  (cd "$work" && ./kx29 "$@" 2>/dev/null)
  grep -c '^pt' "$work/JWC_TEMP.TXT"
}

echo "10,000 ellipses and elliptic arcs; medians of $runs runs:"
input=ellipses.txt
for args in "1" "10 2" "10 10" "7 300"; do
  # shellcheck disable=SC2086  # the arguments are words
  printf '  mode %-6s %6d ms %7d points\n' "$args" "$(median $args)" "$(points $args)"
done
echo "Realistic drawing, 1e5 entities; medians of $runs runs:"
input=real.txt
for args in "1" "10 2" "10 10" "7 300"; do
  # shellcheck disable=SC2086
  printf '  mode %-6s %6d ms %7d points\n' "$args" "$(median $args)" "$(points $args)"
done
