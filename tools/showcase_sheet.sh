#!/usr/bin/env bash
# Renders scenes of the showcase headless into PNG files and a contact sheet.
# Usage: tools/showcase_sheet.sh [BUILD_FOLDER [OUT_FOLDER [SCENE...]]]
#   (defaults: build/, docs/showcase/, every scene 1 to 12)
# Each scene runs 150 frames (two seconds) and fails the script when the
# program reports an error box or ends with an error. Needs ImageMagick.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
out=${2:-docs/showcase}
shift $(( $# < 2 ? $# : 2 ))
scenes=("$@")
[ ${#scenes[@]} -gt 0 ] || scenes=(1 2 3 4 5 6 7 8 9 10 11 12)
mkdir -p "$out"
out=$(realpath "$out")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for n in "${scenes[@]}"; do
  name=$(printf 'scene%02d' "$n")
  (cd "$build" && ./zolbeck_showcase --headless --scene "$n" --frames 150 --seed 1 \
    --screenshot "$work/$name.bmp") 2> "$work/$name.err"
  if [ -s "$work/$name.err" ]; then
    echo "scene $n reported:" >&2
    cat "$work/$name.err" >&2
    exit 1
  fi
  convert "$work/$name.bmp" "$out/$name.png"
done
montage "$out"/scene*.png -tile 4x -geometry 400x300+4+4 -background '#202020' "$out/sheet.png"
echo "wrote ${#scenes[@]} scenes and $out/sheet.png"
