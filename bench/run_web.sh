#!/bin/sh
# The page in headless Chromium on big drawings: the time from a file handed
# to the page to the finished picture at 1e4, 1e5 and 1e6 entities, the
# longest frame of the page while each is read and while run mode 8 runs on
# it (KX29_RUN_LIMIT seconds at most, then 中止), with the library's own
# reading time in the page's worker; and the native reading of the 1e6
# drawing (bench_reader) to set it against.
#
#   bench/run_web.sh [WEB_BUILD] [NATIVE_BUILD] [RUNS]   (defaults: build-web, build, 5)
#
# WEB_BUILD is web/build.sh's folder, NATIVE_BUILD must hold
# bench/bench_reader; web/node_modules needs playwright-core (npm ci in web/).
# Each picture is timed in a fresh page, as a user's first file; the medians
# are reported.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
web=$(cd "${1:-$here/../build-web}" && pwd)
native=$(cd "${2:-$here/../build}" && pwd)
runs=${3:-5}
python3() { if [ -x /usr/bin/python3 ]; then /usr/bin/python3 "$@"; else command python3 "$@"; fi; }
for f in "$web/page/index.html" "$native/bench/bench_reader" "$here/../web/node_modules/playwright-core"; do
  [ -e "$f" ] || { echo "missing: $f" >&2; exit 1; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for n in 1e4 1e5 1e6; do
  python3 "$here/gen_drawing.py" "$work/$n.txt" -n "$n"
done
echo "drawings: cp932, seed 1: $(for n in 1e4 1e5 1e6; do printf '%s %s bytes  ' "$n" "$(wc -c < "$work/$n.txt")"; done)"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"

node "$here/web_bench.mjs" "$web/page/index.html" "$runs" "$work/1e4.txt" "$work/1e5.txt" "$work/1e6.txt"
echo "native reading of the 1e6 drawing (bench_reader, two threads, no notes):"
"$native/bench/bench_reader" "$work/1e6.txt" "$runs" | sed 's/^/  /'
