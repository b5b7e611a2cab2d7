# Sourced by the run-mode benchmarks, with $build set: builds kx29 there (a
# Release build, configured first if the folder is new) and copies it into a
# fresh folder $work, removed when the script ends.
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKX29_TESTS=OFF -DKX29_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j2 --target kx29 >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$build/kx29" "$work/"
