#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each for a bounded
# time, two at a time: fuzz/run.sh [SECONDS per target, default 30] [TARGET ...].
# New inputs go to build-fuzz/corpus/<target>, emptied at the start of each
# run, so that with the fixed seed (FUZZ_SEED, default 1) a run starts from
# the committed seeds in fuzz/corpus alone and explores the same inputs each
# time; a longer campaign sets its own seed. A crash or a failed check stops
# with the input saved in build-fuzz/found/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(reader runmode settings numbers roundtrip api)

CXX=${CXX_FUZZ:-clang++-14} cmake -S fuzz -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

mkdir -p build-fuzz/found
# Every execution writes, renames and reads files: a memory file system keeps
# the disk out of the measure.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
# One target runs on one core: two run side by side, each for the same time.
fuzz() {
  local t=$1 dict=()
  case $t in reader|roundtrip|runmode) dict=(-dict=fuzz/exchange.dict) ;; esac
  rm -rf "build-fuzz/corpus/$t"
  mkdir -p "build-fuzz/corpus/$t"
  ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "build-fuzz/fuzz_$t" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 "${dict[@]}" \
      -artifact_prefix="build-fuzz/found/$t-" "build-fuzz/corpus/$t" "fuzz/corpus/$t" \
      2>"build-fuzz/$t.log"
}
# What a target did, or the end of its log when it stopped on an input (the
# log holds what the runs told, in any bytes the input gave them).
report() {
  local t=$1 rc=$2
  echo "== fuzz_$t for ${seconds} s"
  if ((rc)); then tail -60 "build-fuzz/$t.log"; return 1; fi
  grep -a -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)|cov: ' "build-fuzz/$t.log" | tail -4
}
failed=0
for ((k = 0; k < ${#targets[@]}; k += 2)); do
  pair=("${targets[@]:k:2}") pids=()
  for t in "${pair[@]}"; do fuzz "$t" & pids+=($!); done
  for i in "${!pair[@]}"; do
    rc=0; wait "${pids[i]}" || rc=$?
    report "${pair[i]}" "$rc" || failed=1
  done
  ((failed == 0)) || exit 1
done
