#!/usr/bin/env bash
# Builds the web side with emscripten: the program under node
# (BUILD_DIR/kx29-node.mjs), the reader's dump for the tests
# (BUILD_DIR/read-dump.js) and the page (BUILD_DIR/page/index.html, which
# opens from the disk).
#
#   web/build.sh [BUILD_DIR]      (default: build-web)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-web}
command -v emcmake >/dev/null || { echo "web/build.sh: emscripten is missing (apt-get install emscripten)" >&2; exit 1; }
export NODE_PATH=/usr/share/nodejs  # emscripten's optimiser needs Debian's acorn
emcmake cmake -S web -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2
