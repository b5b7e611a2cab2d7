#!/usr/bin/env bash
# Installs what is missing (as root, with apt-get), builds every target and
# runs every test. Under CI=true nothing is skipped: a missing tool fails.
set -euo pipefail
cd "$(dirname "$0")"
export LC_ALL=C.UTF-8

# How long each stage took, shown at the end whether the run passed or not,
# so that a slow stage is seen in every log.
began=$SECONDS stage_name= stage_began=0 failed_in= times=()
end_stage() {
  if [ -n "$stage_name" ]; then
    times+=("$(printf '%5d s  %s' $((SECONDS - stage_began)) "$stage_name")")
  fi
  stage_name=
}
stage() {  # stage NAME: the stage before ends, NAME begins
  end_stage
  stage_name=$1 stage_began=$SECONDS
  echo "== $1"
}
show_times() {
  local rc=$?
  failed_in=$stage_name
  end_stage
  echo "== time of each stage"
  printf '%s\n' "${times[@]}"
  printf '%5d s  in all\n' $((SECONDS - began))
  if ((rc)); then echo "test.sh: failed in stage: ${failed_in:-set-up}" >&2; fi
}
trap show_times EXIT

stage "what is missing installed"

packages=(cmake g++ make libgtest-dev python3 python3-mpmath)
packages+=(clang-14 libfuzzer-14-dev)  # the fuzz targets
packages+=(librsvg2-bin fonts-ipafont-gothic g++-mingw-w64-x86-64)  # pictures, the release
packages+=(python3-markdown chromium)  # the guide as a page, opened in a browser
packages+=(doxygen)  # the library's reference; an undocumented public name fails
packages+=(emscripten)  # kx29 in the browser (node and npm: the machine's own)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  if [ "$(id -u)" = 0 ]; then
    echo "test.sh: installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "test.sh: missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
fi

stage "native build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKX29_TESTS=ON >/dev/null
cmake --build build -j2
ctest --test-dir build --output-on-failure --no-tests=error -j2

# The same tests with AddressSanitizer and UndefinedBehaviorSanitizer: any
# report stops the program with an error, so the test fails. The sanitizer
# builds optimise lightly and keep line tables only: they compile in half the
# time of -O2 -g, and a report still names file and line.
sanitizer_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
stage "tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan "${sanitizer_flags[@]}" -DKX29_SANITIZE=ON -DKX29_TESTS=ON \
  -DKX29_BENCH=OFF >/dev/null
cmake --build build-asan -j2
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure --no-tests=error -j2

# The second thread of reading and of writing back under ThreadSanitizer:
# the tests that read and write in pieces on two threads, big drawings and
# small pieces among them.
stage "reading and writing back on two threads under ThreadSanitizer"
cmake -S . -B build-tsan "${sanitizer_flags[@]}" -DKX29_SANITIZE_THREAD=ON \
  -DKX29_TESTS=ON -DKX29_BENCH=OFF >/dev/null
cmake --build build-tsan -j2 --target test_inorder test_roundtrip
# ThreadSanitizer needs the memory layout it expects; kernels that spread
# mappings more widely break it, so address randomisation is turned off for
# these runs where the machine lets a process do that.
norand=()
if setarch "$(uname -m)" -R true 2>/dev/null; then norand=(setarch "$(uname -m)" -R); fi
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
"${norand[@]}" build-tsan/tests/test_inorder
"${norand[@]}" build-tsan/tests/test_roundtrip \
  --gtest_filter='ReadingInPieces.*:WritingBackAhead.*:RoundTrip.RealisticDrawingOfAHundredThousandEntities'

stage "fuzzing: each target for 30 s"
fuzz/run.sh 30
stage "kx29 in the browser: the native program's bytes under node and in the page"
web/build.sh build-web
python3 web/test_same_bytes.py build build-web
node web/test_exchange.mjs build-web  # the page's own matching of lines and figures
# playwright-core as locked, with the machine's npm (Debian's npm would
# displace the machine's node); it drives Debian's chromium, never a download.
command -v npm >/dev/null || { echo "test.sh: npm is missing (it comes with Node.js)" >&2; exit 1; }
(cd web && npm ci --ignore-scripts --no-audit --no-fund >/dev/null)
node web/test_page.mjs build-web build build-web/web.png
stage "pictures of the run modes"
tools/mode_pictures.sh build/mode-pictures build

# The release twice, from two build folders: the same bytes. Then one of its
# launchers runs from the unpacked zip with the other Windows tests.
stage "release, twice"
release=$(./release.sh build-release build-web)  # the page as the browser tests built it
cp "$release" build-release/first.zip
cp "${release%-win64.zip}-reference.zip" build-release/first-reference.zip
./release.sh build-win >/dev/null
cmp build-release/first.zip "$release"
cmp build-release/first-reference.zip "${release%-win64.zip}-reference.zip"
python3 tests/release.py "$release"
stage "the guide page in headless Chromium"
python3 tests/guide_page.py build-release/説明書.html build-release/guide-first-screen.png
stage "the Windows program under Wine, its dialog under Xvfb"
tests/windows/run.sh build-win "$release"
