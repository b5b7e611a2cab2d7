#!/usr/bin/env bash
# The library's reference as HTML pages, from the comments of its public
# headers and the two guides in docs/:
#   tools/reference.sh OUT_DIR      (the pages go to OUT_DIR/html)
# Fails on any warning of Doxygen, an undocumented public name among them.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "$1")
rm -rf "$out/html"
mkdir -p "$out"
status=0
{ cat docs/Doxyfile; echo "OUTPUT_DIRECTORY = $out"; echo "WARN_LOGFILE = $out/warnings.log"; } | doxygen - || status=$?
if [ "$status" != 0 ] || [ -s "$out/warnings.log" ]; then
  cat "$out/warnings.log" >&2
  echo "reference: Doxygen warned (above)" >&2
  exit 1
fi
