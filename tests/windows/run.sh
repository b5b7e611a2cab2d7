#!/usr/bin/env bash
# The Windows program, cross-built with MinGW-w64 and run under Wine on a
# Japanese system (ANSI code page 932):
#   - what kx29.exe is: GUI program, Unicode entry point, no DLL but the
#     system's, icon, version information and manifest;
#   - every end-to-end case under tests/golden/, from a folder whose name has
#     Japanese characters and a space, byte for byte; where the case says
#     something (said.txt), the message box under Xvfb, with a screenshot;
#   - every launcher in launchers/: its bytes, and a run by cmd.exe;
#   - with a release zip, one launcher run from the unpacked release;
#   - the settings dialog in a real window under Xvfb, driven by keys.
# Installs what is missing with apt-get (as root). Outside CI a missing tool
# skips these tests with a note; under CI=true it fails them.
#
#   tests/windows/run.sh [build folder] [release zip]   (default: build-win)
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=$(realpath -m "${1:-build-win}")
release_zip=${2:+$(realpath -m "$2")}

ci=false
[ "${CI:-}" = true ] && ci=true

skip() {
  if $ci; then
    echo "windows: $*: cannot test the Windows build (CI=true: failing)" >&2
    exit 1
  fi
  echo "windows: $*: Windows tests skipped" >&2
  exit 0
}

# --- tools -----------------------------------------------------------------
packages=(g++-mingw-w64-x86-64 wine64 xvfb xdotool imagemagick fonts-ipafont-gothic locales)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  [ "$(id -u)" = 0 ] || skip "missing packages ${missing[*]} (run as root to install them)"
  echo "windows: installing ${missing[*]}"
  apt-get update -qq >/dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "${missing[@]}" >/dev/null || skip "apt-get could not install ${missing[*]}"
fi
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  [ "$(id -u)" = 0 ] || skip "locale ja_JP.UTF-8 is not generated (run as root to generate it)"
  echo "windows: generating the locale ja_JP.UTF-8"
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >>/etc/locale.gen
  locale-gen >/dev/null || skip "locale-gen failed"
fi

# --- build -----------------------------------------------------------------
echo "== Windows cross build"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null || exit 1
cmake --build "$build" -j2 --target kx29 platform_check || exit 1
exe="$build/kx29.exe"

passed=0
failed=0
pass() {
  passed=$((passed + 1))
  echo "  ok   $*"
}
fail() {
  failed=$((failed + 1))
  echo "  FAIL $*"
}

echo "== what kx29.exe is"
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
if grep -q 'Subsystem.*(Windows GUI)' <<<"$headers"; then pass "GUI program"; else fail "not a GUI program"; fi
dlls=$(grep 'DLL Name:' <<<"$headers" | awk '{print toupper($3)}' | sort | tr '\n' ' ')
# Windows' own DLLs only: nothing of the compiler's (libstdc++, libgcc, libwinpthread).
allowed=' KERNEL32.DLL USER32.DLL GDI32.DLL COMCTL32.DLL IMM32.DLL SHELL32.DLL MSVCRT.DLL ADVAPI32.DLL '
stray=""
for d in $dlls; do [[ $allowed == *" $d "* ]] || stray+="$d "; done
if [ -z "$stray" ]; then pass "links only system DLLs: $dlls"; else fail "needs DLLs beyond the system's: $stray"; fi
if python3 - "$exe" <<'EOF'; then pass "icon, version information, manifest (common controls 6, not DPI-aware), wWinMain"; else fail "resources or entry point missing"; fi
import sys
data = open(sys.argv[1], 'rb').read()
need = [
    b'Microsoft.Windows.Common-Controls',
    b'<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">false</dpiAware>',
    'FileVersion'.encode('utf-16-le'),
    'kx29－点の作図'.encode('utf-16-le'),
    b'\x28\x00\x00\x00\x30\x00\x00\x00\x60\x00\x00\x00',  # the 48-pixel icon image header
]
missing = [n for n in need if n not in data]
for n in missing:
    print('   missing:', n[:60], file=sys.stderr)
sys.exit(1 if missing else 0)
EOF

# --- Wine and a screen -------------------------------------------------------
export WINEPREFIX="$build/wine-prefix"
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
unset WINEARCH

xvfb_pid=""
cleanup() {
  timeout 30 wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

. tests/windows/xvfb.sh
start_xvfb || skip "Xvfb did not start"

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "windows: creating the Wine prefix $WINEPREFIX"
  timeout 180 wineboot -i >/dev/null 2>&1
  timeout 60 wineserver -w
  [ -f "$WINEPREFIX/system.reg" ] || skip "wineboot could not create the prefix"
fi
acp=$(timeout 60 wine reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
  awk '$1 == "ACP" {print $3}' | tr -dc '0-9')
if [ "$acp" = 932 ]; then pass "Wine runs with code page 932"; else fail "Wine's code page is '$acp', not 932"; fi

work="$build/wine-tests"
rm -rf "$work"
mkdir -p "$work"

echo "== the Windows platform side"
pdir="$work/確認 フォルダ"
mkdir -p "$pdir"
report=$(timeout 120 wine "$build/platform_check.exe" "$(winepath -w "$pdir" 2>/dev/null)" 2>/dev/null | tr -d '\r')
code=$?
grep -v '^  ok' <<<"$report"
oks=$(grep -c '^  ok' <<<"$report")
fails=$(grep -c '^  FAIL' <<<"$report")
failed=$((failed + fails))
if [ "$oks" -gt 0 ] && grep -q '^platform: 0 failed' <<<"$report"; then
  pass "text conversion and files: $oks checks"
else
  fail "text conversion and files did not all run (exit $code)"
fi
# Arguments split as Windows splits a command line.
args_out=$(timeout 60 wine "$build/platform_check.exe" --args "a b" 'q"uote' '表 ソ' '' 'back\slash\' 2>/dev/null |
  tr -d '\r')
if [ "$args_out" = $'a b\nq"uote\n表 ソ\n\nback\\slash\\' ]; then
  pass "command-line arguments with blanks, quotes, Japanese, empty"
else
  fail "command-line arguments came as: $(printf '%q' "$args_out")"
fi
# The program's own path beyond 260 characters, from a folder of Japanese names.
deep="$work"
for i in $(seq 1 25); do deep+="/とても長いフォルダの名前$i"; done
mkdir -p "$deep"
cp "$build/platform_check.exe" "$deep/"
path_out=$(cd "$deep" && timeout 60 wine ./platform_check.exe --path 2>/dev/null | tr -d '\r')
# (winepath cuts long paths short: Wine's drive Z: is the root folder.)
want_path="Z:${deep//\//\\}\\platform_check.exe"
if [ -n "$path_out" ] && [ "$path_out" = "$want_path" ] && [ "${#path_out}" -gt 260 ]; then
  pass "the program's full path of ${#path_out} characters"
else
  fail "the program's path: '$path_out' (want '$want_path')"
fi

echo "== sine, cosine and arc tangent"
report=$(timeout 300 wine "$build/platform_check.exe" --trig "$(winepath -w "$root/tests/trig" 2>/dev/null)" \
  2>/dev/null | tr -d '\r')
code=$?
grep -v '^  ok' <<<"$report"
if [ "$(grep -c '^  ok' <<<"$report")" -ge 8 ] && grep -q '^trig: 0 failed' <<<"$report"; then
  pass "ExactSin, ExactCos and ExactAtan2 give the reference values bit for bit"
else
  fail "ExactSin, ExactCos and ExactAtan2 under Wine (exit $code)"
fi
# The library defines no sin, cos, sincos or atan2 of its own: a program
# linking it keeps the C library's.
archives=$(find "$build" -path "$build/wine-prefix" -prune -o -name '*.a' -print)
symbols=$(for a in $archives; do x86_64-w64-mingw32-nm --defined-only "$a" 2>/dev/null; done)
ours=$(awk '$3 ~ /^(sin|cos|sincos|atan2)$/ {print $3}' <<<"$symbols" | sort -u | tr '\n' ' ')
if ! grep -q 'ExactSin' <<<"$symbols"; then
  fail "no library archive with ExactSin found under $build"
elif [ -n "$ours" ]; then
  fail "the library archives define $ours"
else
  pass "no sin, cos, sincos or atan2 defined in $(wc -w <<<"$archives") library archives"
fi

# The kx29 window's X id, waiting up to $1 tenths of a second; empty if none.
find_window() {
  local id=""
  for _ in $(seq 1 "$1"); do
    id=$(xdotool search --name '^kx29' 2>/dev/null | head -1)
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# The position and size of window $1 as $x, $y, $w, $h.
geometry() {
  eval "$(timeout 10 xdotool getwindowgeometry --shell "$1" 2>/dev/null)"
  x=${X:-0} y=${Y:-0} w=${WIDTH:-0} h=${HEIGHT:-0}
}

# Waits up to $2 seconds for the process $1; gives its exit code (124 when it
# had to be stopped).
wait_for() {
  local pid=$1 limit=$2
  for _ in $(seq 1 $((limit * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 124
  fi
  wait "$pid"
}

# Presses keys in the kx29 window (one xdotool key argument each).
press() {
  local id=$1
  shift
  timeout 10 xdotool windowfocus --sync "$id" 2>/dev/null
  for k in "$@"; do
    timeout 10 xdotool key --delay 40 "$k"
    sleep 0.05
  done
}

# Runs a program in folder $1 under Wine: kx29.exe with the further arguments,
# or with "cmd /c" a batch file. A dialog, if one shows, gets the key $KEY
# (default Escape, which closes it without saving; a message box of a run
# mode closes with it too, so no run waits on one). Sets $code to the exit
# code and $seen to the X id of the window that showed, if any.
run_closing_dialog() {
  local dir=$1
  shift
  seen=""
  (cd "$dir" && exec timeout 60 wine "$@" >"$work/last-run.log" 2>&1) &
  local pid=$!
  for _ in $(seq 1 300); do
    kill -0 "$pid" 2>/dev/null || break
    local id
    id=$(xdotool search --name '^kx29' 2>/dev/null | head -1)
    if [ -n "$id" ]; then
      seen=$id
      sleep 0.3
      press "$id" "${KEY:-Escape}"
      break
    fi
    sleep 0.1
  done
  wait_for "$pid" 30
  code=$?
}

# Runs kx29.exe in folder $1 with the further arguments, where a run mode is
# to tell something: waits for its message box, checks its title and that
# the exchange file is already written while the box is up (it must equal
# $want_file), takes a screenshot of the box as $build/message-$shot_name.png
# and closes it with Enter, as a user does. Adds what went wrong to
# $problems; sets $code.
run_expecting_message() {
  local dir=$1
  shift
  (cd "$dir" && exec timeout 60 wine kx29.exe "$@" >"$work/last-run.log" 2>&1) &
  local pid=$! box
  box=$(find_window 300)
  if [ -z "$box" ]; then
    problems+=("no message box")
  else
    sleep 0.5  # let it paint
    local title
    title=$(timeout 10 xdotool getwindowname "$box" 2>/dev/null)
    [ "$title" = "kx29－点の作図" ] || problems+=("message box titled '$title'")
    cmp -s "$dir/JWC_TEMP.TXT" "$want_file" ||
      problems+=("JWC_TEMP.TXT not yet written while the message box was up")
    geometry "$box"
    local png="$build/message-$shot_name.png"
    rm -f "$png"
    timeout 20 import -window root "$png.full.png" 2>/dev/null &&
      timeout 20 convert "$png.full.png" -crop "${w}x$h+$x+$y" +repage "$png" 2>/dev/null
    rm -f "$png.full.png"
    [ -s "$png" ] || problems+=("no screenshot of the message box")
    kill -0 "$pid" 2>/dev/null || problems+=("kx29 ended before its message box was closed")
    press "$box" Return
  fi
  wait_for "$pid" 30
  code=$?
}

# Folder $2 made ready for the end-to-end case $1: kx29.exe (unless it holds
# one) with the case's exchange file and settings; its arguments in $case_args.
prepare_case() {
  local src=$1 dir=$2
  mkdir -p "$dir"
  [ -f "$dir/kx29.exe" ] || cp "$exe" "$dir/kx29.exe"
  [ -f "$src/JWC_TEMP.TXT" ] && cp "$src/JWC_TEMP.TXT" "$dir/"
  [ -f "$src/kx29.dat" ] && cp "$src/kx29.dat" "$dir/"
  case_args=()
  if [ -f "$src/args.txt" ]; then
    while IFS= read -r a || [ -n "$a" ]; do case_args+=("${a%$'\r'}"); done <"$src/args.txt"
  fi
}

# What folder $2 holds after a run that differs from what case $1 expects, in
# $problems (empty when nothing).
check_case() {
  local src=$1 dir=$2
  problems=()
  [ "$code" = 0 ] || problems+=("exit code $code")
  if [ -f "$src/expected.TXT" ]; then
    cmp -s "$dir/JWC_TEMP.TXT" "$src/expected.TXT" || problems+=("JWC_TEMP.TXT differs from expected.TXT")
  elif [ -f "$src/JWC_TEMP.TXT" ]; then
    cmp -s "$dir/JWC_TEMP.TXT" "$src/JWC_TEMP.TXT" || problems+=("JWC_TEMP.TXT was changed")
  else
    [ ! -e "$dir/JWC_TEMP.TXT" ] || problems+=("JWC_TEMP.TXT was written")
  fi
  if [ -f "$src/expected.dat" ]; then
    cmp -s "$dir/kx29.dat" "$src/expected.dat" || problems+=("kx29.dat differs from expected.dat")
  fi
}

# --- end-to-end cases --------------------------------------------------------
echo "== end-to-end cases under Wine"
# A case that says something (said.txt) shows it in a message box once the
# exchange file is written, and the run ends when the box is closed; every
# other run mode shows no window at all.
for src in "$root"/tests/golden/*/; do
  name=$(basename "$src")
  dir="$work/作図 テスト/$name"
  prepare_case "$src" "$dir"
  if [ -f "$src/said.txt" ]; then
    problems=()
    want_file="$src/expected.TXT" shot_name=$name run_expecting_message "$dir" "${case_args[@]}"
    message_problems=("${problems[@]}")
    check_case "$src" "$dir"
    problems=("${message_problems[@]}" "${problems[@]}")
    what="golden $name: message box, screenshot $build/message-$name.png"
  else
    run_closing_dialog "$dir" kx29.exe "${case_args[@]}"
    check_case "$src" "$dir"
    mode=${case_args[0]:-0}
    if [[ $mode =~ ^([1-9]|10)$ ]] && [ -n "$seen" ]; then problems+=("a window showed"); fi
    what="golden $name"
  fi
  if ((${#problems[@]})); then fail "$what: ${problems[*]}"; else pass "$what"; fi
done

# --- launchers ------------------------------------------------------------------
# What the CAD program reads from each launcher, byte by byte; then each one run
# by cmd.exe as the CAD program runs it once the user has clicked and typed: in
# a folder holding kx29.exe, the launcher and the exchange file of the scene of
# its run mode, with the typed values as its parameters. The settings launcher
# opens the dialog, and Enter saves the settings.
echo "== launchers"
if python3 "$root/tests/windows/launchers.py" "$root/launchers" | sed 's/^/  /'; then
  pass "launcher bytes"
else
  fail "launcher bytes"
fi
defaults="$build/default-settings.dat"
printf '\xEF\xBB\xBF50\r\n50\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n' >"$defaults"

# Runs launcher $1 (a path) in folder $2 (with kx29.exe there, or a copy of
# the one built) on the scene of its run mode; reports as $3.
run_launcher() {
  local bat=$1 dir=$2 what=$3 name mode
  name=$(basename "$bat")
  mode=${name#kx29_}
  mode=${mode%%_*}
  mkdir -p "$dir"
  [ -f "$dir/kx29.exe" ] || cp "$exe" "$dir/kx29.exe"
  [ -f "$dir/$name" ] || cp "$bat" "$dir/"
  if [ "$mode" = 0 ]; then
    KEY=Return run_closing_dialog "$dir" cmd /c "$name"
    problems=()
    [ "$code" = 0 ] || problems+=("exit code $code")
    cmp -s "$dir/kx29.dat" "$defaults" || problems+=("Enter did not save the default settings")
    if ((${#problems[@]})); then fail "$what: ${problems[*]}"; else pass "$what"; fi
    return
  fi
  # Every scene of the mode, the values typed as a Japanese input method
  # sends them among them.
  local scene
  for scene in "$root"/tests/golden/scene_mode"$mode"_*/; do
    prepare_case "$scene" "$dir"
    run_closing_dialog "$dir" cmd /c "$name" "${case_args[@]:1}"
    # Wine on a busy machine now and then fails to start a program from
    # cmd.exe (exit code 1, the exchange file untouched: kx29 never ran, as
    # it rewrites the file on every run). That run is shown and made once
    # more; a second such failure counts.
    if [ "$code" != 0 ] && cmp -s "$dir/JWC_TEMP.TXT" "$scene/JWC_TEMP.TXT"; then
      echo "  note: $what, $(basename "$scene"): exit code $code before kx29 ran; run again. Wine said:"
      tail -n 5 "$work/last-run.log" | sed 's/^/    /'
      prepare_case "$scene" "$dir"
      run_closing_dialog "$dir" cmd /c "$name" "${case_args[@]:1}"
    fi
    check_case "$scene" "$dir"
    [ -f "$dir/kx29.dat" ] || problems+=("no settings file")
    if ((${#problems[@]})); then
      fail "$what, $(basename "$scene"): ${problems[*]}"
    else
      pass "$what, $(basename "$scene")"
    fi
  done
}
for bat in "$root"/launchers/kx29_*.bat; do
  run_launcher "$bat" "$work/外部変形 テスト/$(basename "$bat" .bat)" "cmd.exe runs $(basename "$bat")"
done

# The release as a user unpacks it: one of its launchers, run in its folder.
if [ -n "$release_zip" ]; then
  unpacked="$work/ダウンロード 展開"
  if python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
      "$release_zip" "$unpacked"; then
    found=("$unpacked"/kx29/kx29_5_*.bat)
    run_launcher "${found[0]}" "$unpacked/kx29" "release $(basename "$release_zip"): ${found[0]##*/}"
  else
    fail "release $release_zip cannot be unpacked"
  fi
fi

# --- the same files from both builds ------------------------------------------
echo "== the Windows and the Linux build write the same files"
# Runs of the modes that turn points (3) and divide lines (5), circles and
# arcs (6), where every coordinate goes through sines and cosines, over
# drawings of the project's generator, over drawings that lean on the
# sines and cosines: axis angles up to 1e300 degrees, arcs from -5000 to
# 5000 degrees about the origin, where no large coordinate absorbs the last
# bits, and over oblique lines whose directions lie so near a rounding
# boundary that glibc's and MinGW-w64's atan2 disagree on them (mode 5 adds
# up 999 steps along the direction). Both builds must write the same bytes.
generate=(python3 "$root/bench/gen_drawing.py")
# Writes a drawing that leans on sines and cosines to $1 (seed $2) and prints
# the arguments of mode 3, then the division count.
lean_drawing() {
  python3 - "$1" "$2" <<'EOF'
import random, sys
r = random.Random(int(sys.argv[2]))
hk = r.choice((round(r.uniform(-5000, 5000), 2), r.uniform(0, 360), 10 ** r.uniform(0, 300)))
c = r.choice(("0 0", "%r %r" % (round(r.uniform(-10, 10), 3), round(r.uniform(-10, 10), 3))))
radius = lambda: round(r.uniform(1, 5000), 2)
angle = lambda: round(r.uniform(-5000, 5000), 2)
lines = ["hk %r" % hk, "ci %s %r" % (c, radius()),
         "ci %s %r %r %r %r %r" % (c, radius(), angle(), angle(), round(r.uniform(0.1, 1), 3),
                                   round(r.uniform(0, 360), 2)),
         "%s %r %r" % (c, round(r.uniform(-5000, 5000), 4), round(r.uniform(-5000, 5000), 4))]
open(sys.argv[1], "w", newline="").write("".join(l + "\r\n" for l in lines))
print("%r %r" % (r.uniform(-1e4, 1e4), r.choice((r.uniform(-1e4, 1e4), 1e300))))
print(r.choice((1000, r.randint(2, 1000))))
EOF
}
native_build=$(realpath -m "${KX29_NATIVE_BUILD:-build}")
if [ -f "$native_build/CMakeCache.txt" ] || cmake -S . -B "$native_build" -DCMAKE_BUILD_TYPE=Release >/dev/null; then
  cmake --build "$native_build" -j2 --target kx29 >/dev/null
fi
if [ ! -x "$native_build/kx29" ]; then
  fail "no native kx29 in $native_build to compare with"
else
  same="$work/同じ 結果"
  mkdir -p "$same/linux" "$same/windows"
  cp "$native_build/kx29" "$same/linux/kx29"
  cp "$exe" "$same/windows/kx29.exe"
  runs=0
  points=0
  differ=()
  # Runs the tool with each further argument list on drawing $1 with both
  # builds and compares.
  compare() {
    local drawing=$1 args side
    shift
    for args in "$@"; do
      for side in linux windows; do
        cp "$drawing" "$same/$side/JWC_TEMP.TXT"
        rm -f "$same/$side/kx29.dat"
      done
      # shellcheck disable=SC2086  # the arguments are meant to split
      (cd "$same/linux" && timeout 60 ./kx29 $args)
      # shellcheck disable=SC2086
      run_closing_dialog "$same/windows" kx29.exe $args
      runs=$((runs + 1))
      points=$((points + $(grep -c '^pt ' "$same/linux/JWC_TEMP.TXT")))
      cmp -s "$same/linux/JWC_TEMP.TXT" "$same/windows/JWC_TEMP.TXT" ||
        differ+=("$(basename "$drawing") with kx29 $args;")
    done
  }
  generated=(1000 997 360 1000 13)
  turns=("1234.5678 -987.6543" "100 50" "-0.001 4000.25" "1e308 -1e307" "65.4321 -12.3456")
  for seed in $(seq 1 ${#generated[@]}); do
    if "${generate[@]}" "$same/generated$seed.TXT" --seed "$seed" -n 200; then
      count=${generated[seed - 1]}
      compare "$same/generated$seed.TXT" "3 ${turns[seed - 1]}" "5 $count" "6 $count"
    else
      differ+=("the generator failed for seed $seed;")
    fi
  done
  leaning=10
  for seed in $(seq 1 $leaning); do
    { read -r turn && read -r count; } < <(lean_drawing "$same/leaning$seed.TXT" "$seed")
    compare "$same/leaning$seed.TXT" "3 $turn" "5 $count" "6 $count"
  done
  # From one end point to the other; also among the hard pairs of tests/trig.
  oblique=("-2270.94 -218.5 227.16 299.33" "1870.5 -4.1 -1627 -1519.99"
    "-1050.71 1986 -1988.17 -2017.656" "-1327.9 -297 1815.3 -4906" "4439 -554.88 -4060 3017"
    "2045 4156 -2710 -2499")
  for i in "${!oblique[@]}"; do
    printf '%s\r\n' "${oblique[i]}" >"$same/oblique$((i + 1)).TXT"
    compare "$same/oblique$((i + 1)).TXT" "5 1000"
  done
  if ((${#differ[@]} == 0 && runs > 0)); then
    pass "$runs runs of modes 3, 5 and 6 over ${#generated[@]} generated drawings, $leaning leaning" \
      "drawings and ${#oblique[@]} oblique lines ($points points): the same bytes"
  else
    fail "the builds' files differ: ${differ[*]}"
  fi
fi

# --- the settings dialog in a real window ------------------------------------
echo "== the settings dialog under Xvfb"
gui="$work/設定 テスト"
mkdir -p "$gui"
cp "$exe" "$gui/kx29.exe"
printf 'lg2\r\nly3\r\nhp1 10 20\r\n' >"$gui/JWC_TEMP.TXT"
exchange=$(md5sum <"$gui/JWC_TEMP.TXT")
dat="$gui/kx29.dat"
bom=$'\xEF\xBB\xBF'

# Starts the dialog; sets $pid and $win (empty when no window came).
start_dialog() {
  (cd "$gui" && exec timeout 120 wine kx29.exe "$@" >/dev/null 2>&1) &
  pid=$!
  win=$(find_window 300)
  sleep 0.5  # let it paint
}

shot() {
  timeout 20 import -window root "$build/$1.full.png" 2>/dev/null &&
    timeout 20 convert "$build/$1.full.png" -crop "453x245+$x+$y" +repage "$build/$1.png" 2>/dev/null
  rm -f "$build/$1.full.png"
}

# First run: no settings yet. Pick layer group A, layer 1, pen colour 5, the
# marker and its third kind, type a scale, Enter.
rm -f "$dat"
start_dialog
if [ -z "$win" ]; then
  fail "no window appeared"
else
  title=$(timeout 10 xdotool getwindowname "$win")
  geometry "$win"
  if [ "$title" = "kx29－点の作図" ]; then pass "window title '$title'"; else fail "window title '$title'"; fi
  if [ "${w}x$h" = 453x245 ]; then pass "client area 453x245"; else fail "client area ${w}x$h, not 453x245"; fi
  shot dialog
  if [ -s "$build/dialog.png" ]; then pass "screenshot $build/dialog.png"; else fail "no screenshot"; fi
  # Tab order from the first control: the radio buttons, marker kind, scale,
  # colour, layer group, layer, OK.
  press "$win" Down Tab Down Down Tab 2 period 5 Tab \
    Down Down Down Down Down Tab \
    Down Down Down Down Down Down Down Down Down Down Down Tab Down Down Return
fi
wait_for "$pid" 30
code=$?
printf '%s50\r\n50\r\n11\r\n2\r\n5\r\n1\r\n2\r\n2.5\r\n' "$bom" >"$build/expected-settings.dat"
if [ "$code" = 0 ] && cmp -s "$dat" "$build/expected-settings.dat"; then
  pass "keys and Enter store exactly the chosen settings"
else
  fail "settings after Enter (exit $code): $(od -c "$dat" 2>/dev/null | head -3 | tr -s ' ')"
fi
saved=$(md5sum <"$dat" 2>/dev/null)

# Second run: change everything, then Escape: nothing is saved.
start_dialog
if [ -n "$win" ]; then
  press "$win" Up Tab Up Tab 7 Tab Up Tab Up Tab Up Escape
fi
wait_for "$pid" 30
code=$?
if [ -n "$win" ] && [ "$code" = 0 ] && [ "$(md5sum <"$dat")" = "$saved" ]; then
  pass "Escape leaves the settings file byte for byte"
else
  fail "Escape (window '$win', exit $code) changed the settings file"
fi

# Third run: the saved choices are shown; Enter stores them unchanged, also
# with the focus in the note, which does not take Enter.
start_dialog
if [ -n "$win" ]; then
  geometry "$win"
  shot dialog-saved
  timeout 10 xdotool mousemove --sync $((x + 300)) $((y + 60)) click 1
  sleep 0.3
  press "$win" Return
fi
wait_for "$pid" 30
code=$?
if [ -n "$win" ] && [ "$code" = 0 ] && [ "$(md5sum <"$dat")" = "$saved" ]; then
  pass "the dialog shows the saved choices: Enter stores them unchanged"
else
  fail "third run (window '$win', exit $code): $(od -c "$dat" 2>/dev/null | head -3 | tr -s ' ')"
fi

# Alt+N cancels as Escape does; Alt+Y is OK.
start_dialog
[ -n "$win" ] && press "$win" Up alt+n
wait_for "$pid" 30
code=$?
if [ -n "$win" ] && [ "$code" = 0 ] && [ "$(md5sum <"$dat")" = "$saved" ]; then
  pass "Alt+N cancels"
else
  fail "Alt+N (window '$win', exit $code)"
fi

# Closing the window (Alt+F4, as the close box) stores nothing either.
start_dialog
[ -n "$win" ] && press "$win" Up alt+F4
wait_for "$pid" 30
code=$?
if [ -n "$win" ] && [ "$code" = 0 ] && [ "$(md5sum <"$dat")" = "$saved" ]; then
  pass "closing the window stores nothing"
else
  fail "Alt+F4 (window '$win', exit $code)"
fi

# A position no screen shows (as an older version saved it while the window
# was minimised): the dialog comes up on the screen, and OK saves where it is.
printf '%s-32000\r\n-32000\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n' "$bom" >"$dat"
start_dialog
if [ -n "$win" ]; then
  geometry "$win"
  if ((x >= 0 && y >= 0 && x + w <= 1024 && y + h <= 768)); then
    pass "position -32000, -32000 shows the dialog on the screen (at $x, $y)"
  else
    fail "position -32000, -32000 leaves the dialog at $x, $y"
  fi
  # The scale takes 16 characters at most.
  press "$win" Tab Tab 1 2 3 4 5 6 7 8 9 0 1 2 3 4 5 6 7 8 9 0 alt+y
else
  fail "no window for the position test"
fi
wait_for "$pid" 30
left=$(sed -n 1p "$dat" | tr -dc '0-9-')
top=$(sed -n 2p "$dat" | tr -dc '0-9-')
if [ -n "$left" ] && [ -n "$top" ] && ((left >= 0 && left < 1024 && top >= 0 && top < 768)); then
  pass "Alt+Y saves the position on the screen ($left, $top)"
else
  fail "position saved after Alt+Y: '$left', '$top'"
fi
scale=$(sed -n 8p "$dat" | tr -d '\r')
if [ "$scale" = 1.23456789012346E15 ]; then
  pass "the scale field took 16 of 20 digits typed"
else
  fail "scale after typing 20 digits: '$scale'"
fi

if [ "$(md5sum <"$gui/JWC_TEMP.TXT")" = "$exchange" ]; then
  pass "the dialog never writes JWC_TEMP.TXT"
else
  fail "the dialog changed JWC_TEMP.TXT"
fi

# A run mode saves the window's normal position, never a minimised one.
printf '%s300\r\n200\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1\r\n' "$bom" >"$dat"
run_closing_dialog "$gui" kx29.exe 2
if [ "$code" = 0 ] && [ "$(sed -n 1,2p "$dat" | tr -d '\r\n')" = "${bom}300200" ]; then
  pass "a run mode keeps the window position 300, 200"
else
  fail "run mode (exit $code) saved the position $(sed -n 1,2p "$dat" | tr '\r\n' '  ')"
fi
echo "windows: $passed passed, $failed failed"
[ "$failed" = 0 ]
