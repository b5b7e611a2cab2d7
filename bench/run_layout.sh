#!/usr/bin/env bash
# Run modes 11 (where lines meet when extended), 12 (points at distances) and
# 13 (a layout, 割付) on the realistic drawing of 100,000 entities from
# gen_drawing.py, against run mode 1 on the same file: wall time and peak
# memory (GNU time), the median of the runs. Then mode 11 against mode 8 on
# 10,000 lines through one point, where mode 11 tries every pair.
#
#   bench/run_layout.sh [build folder] [runs] [runs on the lines through one point]
#   (defaults: build-bench, 5, 3)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
runs=${2:-5}
runs_star=${3:-3}
source bench/kx29_folder.sh
python3 bench/gen_drawing.py "$work/drawing.txt" -n 100000 --seed 1
star_drawing "$work/star.txt"

# "median ms, median KB, points" of $1 runs of kx29 with the other arguments.
measure() {
  local n=$1 times=() mems=()
  shift
  for _ in $(seq "$n"); do
    cp "$work/${input:-drawing.txt}" "$work/JWC_TEMP.TXT"
    local t0 t1
    t0=$(date +%s%N)
    (cd "$work" && /usr/bin/time -f %M -o "$work/mem" ./kx29 "$@" 2>/dev/null)
    t1=$(date +%s%N)
    times+=($(((t1 - t0) / 1000000)))
    mems+=("$(cat "$work/mem")")
  done
  local mid=$(((n + 1) / 2))
  echo "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "${mid}p") ms," \
    "$(printf '%s\n' "${mems[@]}" | sort -n | sed -n "${mid}p") KB," \
    "$(grep -c '^pt' "$work/JWC_TEMP.TXT" || true) points"
}
echo "mode 1:                      $(measure "$runs" 1)"
echo "mode 12 (6 distances, 両):   $(measure "$runs" 12 100 200 300 -50 1e6 両)"
echo "mode 13 (pitch 0.01, 連):    $(measure "$runs" 13 0.01 連)"
echo "mode 13 (1000等分, 連):      $(measure "$runs" 13 1000等分 連)"
echo "mode 11:                     $(measure "$runs" 11)"
input=star.txt
echo "10,000 lines through one point:"
echo "mode 8:                      $(measure "$runs_star" 8)"
echo "mode 11 (every pair):        $(measure "$runs_star" 11)"
