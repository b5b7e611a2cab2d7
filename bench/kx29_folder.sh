# Sourced by the run-mode benchmarks, with $build set: builds kx29 there (a
# Release build, configured first if the folder is new), or takes the kx29
# given in $kx29 (an earlier one, for a before and after on the same load),
# and copies it into a fresh folder $work, removed when the script ends.
if [ -z "${kx29:-}" ]; then
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKX29_TESTS=OFF -DKX29_BENCH=OFF >/dev/null
  fi
  cmake --build "$build" -j2 --target kx29 >/dev/null
  kx29=$build/kx29
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$kx29" "$work/kx29"

# Median wall time of $runs runs of kx29 with the given arguments on the
# drawing $work/$input, in ms.
median() {
  local times=()
  for _ in $(seq "$runs"); do
    cp "$work/$input" "$work/JWC_TEMP.TXT"
    local t0 t1
    t0=$(date +%s%N)
    (cd "$work" && ./kx29 "$@" 2>/dev/null)
    t1=$(date +%s%N)
    times+=($(((t1 - t0) / 1000000)))
  done
  printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

# Writes $1: 10,000 lines through one point, each to 6 decimals with its ends
# opposite, so that every pair meets at the origin (a run that tries every
# pair of lines).
star_drawing() {
  python3 - "$1" <<'PY'
import math, sys
n = 10000
lines = [f'{1000 * math.cos(a):.6f} {1000 * math.sin(a):.6f} {-1000 * math.cos(a):.6f} {-1000 * math.sin(a):.6f}'
         for a in (math.pi * (k + 0.5) / n for k in range(n))]
open(sys.argv[1], 'wb').write(''.join(l + '\r\n' for l in ['hq', 'lg0', 'ly0', 'lc1', 'lt1'] + lines).encode('ascii'))
PY
}
