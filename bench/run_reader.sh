#!/bin/sh
# Times kx29 run mode 2 on a synthetic exchange file of a million entities
# against iconv decoding the same file (the least any reader of it must do),
# and reports the ratio and the peak memory against the file's size.
#
#   bench/run_reader.sh [BUILD_DIR] [RUNS]     (defaults: build, 5)
#
# BUILD_DIR must hold kx29 and bench/bench_reader. The drawing comes from
# gen_drawing.py beside this script; ENTITIES sets its size (default 1e6), and
# HYPERFINE=no makes the timing use a plain loop.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
runs=${2:-5}
gen=$here/gen_drawing.py
python3() { if [ -x /usr/bin/python3 ]; then /usr/bin/python3 "$@"; else command python3 "$@"; fi; }
kx29=$build/kx29
bench=$build/bench/bench_reader
for f in "$kx29" "$bench" "$gen"; do
  [ -e "$f" ] || { echo "missing: $f" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=$work/big.txt
python3 "$gen" "$input" -n "${ENTITIES:-1e6}"
size=$(wc -c < "$input")
echo "input: $size bytes, $(wc -l < "$input") lines (cp932, ${ENTITIES:-1e6} entities, seed 1)"

# kx29 reads JWC_TEMP.TXT beside itself and rewrites it, so it runs in a
# folder of its own and gets a fresh copy of the input before every run.
mkdir "$work/tool"
cp "$kx29" "$work/tool/kx29"
prepare="cp '$input' '$work/tool/JWC_TEMP.TXT'"
run="$work/tool/kx29 2"
decode="iconv -f CP932 -t UTF-16LE '$input'"

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

if [ "${HYPERFINE:-}" != no ] && command -v hyperfine > /dev/null; then
  hyperfine -N -w 1 -r "$runs" --export-json "$work/t.json" --prepare "$prepare" "$run" \
    --prepare true "$decode" > /dev/null 2> "$work/hyperfine.err"
  t_run=$(python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results']; print(r[0]['median'])" "$work/t.json")
  t_dec=$(python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results']; print(r[1]['median'])" "$work/t.json")
else
  time_of() {  # seconds of one run of $1 after $2
    i=0
    while [ $i -lt "$runs" ]; do
      sh -c "$2"
      s=$(date +%s%N)
      sh -c "$1" > /dev/null
      e=$(date +%s%N)
      echo "$(( (e - s) / 1000 ))e-6"
      i=$((i + 1))
    done | awk '{printf "%.6f\n", $1 + 0}' | median
  }
  t_run=$(time_of "$run" "$prepare")
  t_dec=$(time_of "$decode" true)
fi

sh -c "$prepare"
/usr/bin/time -v "$work/tool/kx29" 2 2> "$work/rss.txt"
rss_kb=$(awk -F: '/Maximum resident set size/ {gsub(/ /, "", $2); print $2}' "$work/rss.txt")
lines_out=$(wc -l < "$work/tool/JWC_TEMP.TXT")

echo "iconv -f CP932 -t UTF-16LE   median $t_dec s"
echo "kx29 2                       median $t_run s   ($lines_out lines written)"
awk -v a="$t_run" -v b="$t_dec" 'BEGIN {printf "ratio kx29 / iconv          %.2f\n", a / b}'
awk -v k="$rss_kb" -v s="$size" \
  'BEGIN {printf "peak memory of kx29 2       %.1f MB = %.2f x the file (%.1f MB)\n", k * 1024 / 1e6, k * 1024 / s, s / 1e6}'
echo "reader alone (bench_reader, median of $runs in one process):"
"$bench" "$input" "$runs" | sed 's/^/  /'
