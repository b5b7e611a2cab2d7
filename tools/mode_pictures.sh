#!/usr/bin/env bash
# Draws one picture per run mode from the end-to-end cases tests/golden/scene_mode<N>_*:
# the exchange file as the CAD program wrote it in grey, what kx29 added in colour,
# the indicated points numbered. Needs rsvg-convert (Debian: librsvg2-bin) and
# the IPA Gothic font (fonts-ipafont-gothic) for the Japanese titles and legends.
#
#   tools/mode_pictures.sh [output folder] [build folder]
#   (defaults: docs/modes, build-pictures; a build folder that exists is used as it is)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/modes}
build=${2:-build-pictures}
command -v rsvg-convert >/dev/null || { echo "mode_pictures: rsvg-convert is missing (librsvg2-bin)" >&2; exit 1; }

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKX29_TESTS=OFF -DKX29_BENCH=OFF \
    -DKX29_TOOLS=ON >/dev/null
fi
cmake --build "$build" -j2 --target jwc2svg >/dev/null

# One row per run mode: its number, its title, and what else its picture shows.
# The picture is drawn from the first end-to-end case of the mode.
pictures=(
  "1|モード1　指示点に点|"
  "2|モード2　連続指示点に点|"
  "3|モード3　座標入力で点（軸角 30°、X 2000　Y 1000）|--axes --typed 2000,1000"
  "4|モード4　2点の中点に点|"
  "5|モード5　線の等分点（5等分、点マーカー＊）|"
  "6|モード6　円・円弧の等分点（6等分、点マーカー○）|"
  "7|モード7　ピッチで点（455 ごと、指示点に近い端から）|"
  "8|モード8　交点に点（通り芯と円、点マーカー＊）|"
  "9|モード9　端点・中心に点（点マーカー○）|"
  "10|モード10　選択した図形すべての等分点（4等分）|"
  "11|モード11　延長交点（交わっている線の交点も）|"
  "12|モード12　距離（455 1820 3640 4000 -300、右の端から）|"
  "13|モード13　割付（基準点から両側へ 910、連続線）|"
)
mkdir -p "$out"
for row in "${pictures[@]}"; do
  IFS='|' read -r mode title opts <<<"$row"
  cases=(tests/golden/scene_mode"$mode"_*/)
  [ -d "${cases[0]}" ] || { echo "mode_pictures: no scene for mode $mode" >&2; exit 1; }
  # shellcheck disable=SC2086  # the options are words
  "$build/tools/jwc2svg" --title "$title" --legend $opts \
    "${cases[0]}JWC_TEMP.TXT" "${cases[0]}expected.TXT" >"$out/mode$mode.svg"
  rsvg-convert -o "$out/mode$mode.png" "$out/mode$mode.svg"
  rm "$out/mode$mode.svg"
  echo "mode_pictures: $out/mode$mode.png"
done
