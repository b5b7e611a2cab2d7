#!/usr/bin/env bash
# The speed figures of BENCHMARKS.md (sections on start-up, writing and the
# number routines; the reader's are run_reader.sh's):
#
#   bench/run_bench.sh [BUILD_DIR] [RUNS]      (defaults: build-bench, 10)
#
# BUILD_DIR is a Release build with the benchmarks (the default when the
# project is built on its own). Installs hyperfine with apt-get when missing
# and allowed. Public tools only: hyperfine, /usr/bin/time, iconv, Google
# Benchmark.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build-bench}" && pwd)
runs=${2:-10}
gen=$here/gen_drawing.py
python3() { if [ -x /usr/bin/python3 ]; then /usr/bin/python3 "$@"; else command python3 "$@"; fi; }

if ! command -v hyperfine > /dev/null; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq hyperfine > /dev/null
  else
    echo "hyperfine is missing" >&2; exit 1
  fi
fi
for f in "$build/kx29" "$build/bench/bench_trivial" "$build/bench/bench_writer"; do
  [ -x "$f" ] || { echo "missing: $f" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
median_of() { python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results']; print(' '.join(str(x['median']) for x in r))" "$1"; }

echo "== machine"
echo "cpu: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; memory: $(free -g | awk '/^Mem:/ {print $2}') GiB"
echo "kernel: $(uname -r); compiler: $(c++ --version | head -1); file system of $work: $(df -T "$work" | awk 'NR==2 {print $2}')"

echo "== start-up: run mode 2 on 1,000 entities against a program that only starts and exits"
python3 "$gen" "$work/e1k.txt" -n 1e3
mkdir "$work/tool"
cp "$build/kx29" "$work/tool/kx29"
hyperfine -N -w 5 -r $((runs * 5)) --export-json "$work/start.json" \
  --prepare "cp $work/e1k.txt $work/tool/JWC_TEMP.TXT" "$work/tool/kx29 2" \
  "$build/bench/bench_trivial" > /dev/null
read -r t_kx t_triv < <(median_of "$work/start.json")
awk -v a="$t_kx" -v b="$t_triv" 'BEGIN {printf "kx29 2 median %.2f ms, trivial median %.2f ms, ratio %.2f\n", a * 1e3, b * 1e3, a / b}'

echo "== writing back 1,000,000 entities: S_EntAll and SaveTempFile against iconv"
python3 "$gen" "$work/e1m.txt" -n 1e6
# Each writing in a process of its own, as a tool writes once per start
# (within one process later writings find the heap ready).
for k in $(seq "$runs"); do "$build/bench/bench_writer" "$work/e1m.txt" "$work/out.txt" 1; done |
  sed -n 's/^S_EntAll median \([0-9.]*\) s; with SaveTempFile median \([0-9.]*\) s.*/\1 \2/p' | sort -n -k2 |
  awk '{a[NR]=$1; b[NR]=$2} END {m = int((NR + 1) / 2); printf "S_EntAll median %.3f s, with SaveTempFile median %.3f s (%d processes)\n", a[m], b[m], NR}'
/usr/bin/time -f "peak memory of one writing: %M kB" "$build/bench/bench_writer" "$work/e1m.txt" "$work/out.txt" 1 > /dev/null
# The floors: decoding the file read (the reader's floor), and encoding the
# written text from UTF-16 into the code page, the least any writer of it
# must do.
iconv -f CP932 -t UTF-16LE "$work/out.txt" > "$work/out16.txt"
hyperfine -N -w 1 -r "$runs" --export-json "$work/enc.json" \
  "iconv -f CP932 -t UTF-16LE $work/e1m.txt" "iconv -f UTF-16LE -t CP932 $work/out16.txt" > /dev/null
read -r t_dec t_enc < <(median_of "$work/enc.json")
echo "iconv -f CP932 -t UTF-16LE of the file read: median $t_dec s"
echo "iconv -f UTF-16LE -t CP932 of the written file: median $t_enc s"

echo "== run mode on 1,000,000 entities (the reader's script)"
if [ -x "$here/run_reader.sh" ] && [ -x "$build/bench/bench_reader" ]; then
  "$here/run_reader.sh" "$build" 5
fi

if [ -x "$build/bench/bench_numbers" ]; then
  echo "== number routines (Google Benchmark, median of 5 repetitions)"
  "$build/bench/bench_numbers" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    2>/dev/null | grep -E '_median'
fi
