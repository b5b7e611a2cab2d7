#!/usr/bin/env bash
# Builds kx29 and runs it on the sample drawing in examples/: run mode 2
# places a point at every indicated point. Shows the exchange file before and
# after. Any further arguments replace the run mode (./run.sh 5 4).
set -euo pipefail
cd "$(dirname "$0")"
if ! command -v cmake >/dev/null || ! command -v g++ >/dev/null; then
  echo "run.sh: cmake and g++ are needed (./test.sh installs them)" >&2
  exit 1
fi
cmake -S . -B build-run -DCMAKE_BUILD_TYPE=Release -DKX29_TESTS=OFF -DKX29_BENCH=OFF >/dev/null
cmake --build build-run -j2 --target kx29 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp build-run/kx29 "$work/"
cp examples/JWC_TEMP.TXT "$work/"
args=("$@")
((${#args[@]})) || args=(2)

show() { iconv -f CP932 -t UTF-8 "$1" | tr -d '\r'; }
echo "== JWC_TEMP.TXT as the CAD program wrote it (examples/JWC_TEMP.TXT):"
show "$work/JWC_TEMP.TXT"
echo
echo "== kx29 ${args[*]}"
"$work/kx29" "${args[@]}"
echo "== JWC_TEMP.TXT as kx29 left it:"
show "$work/JWC_TEMP.TXT"
