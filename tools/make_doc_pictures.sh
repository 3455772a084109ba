#!/usr/bin/env bash
# Makes the picture documentation: a contact sheet of every generated picture
# (docs/pictures.png) and a screenshot of each of the nine screens
# (docs/screens/screen_COLUMN_ROW.png), from a built game folder.
# Usage: tools/make_doc_pictures.sh [GAME_FOLDER]   (default build/)
# Needs ImageMagick (convert, montage).
set -euo pipefail
cd "$(dirname "$0")/.."
game=$(realpath "${1:-build}")
out=$(realpath docs)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Contact sheet: each picture with its name, on a grey ground.
find "$game/BMP" -iname '*.bmp' | sort | while read -r f; do
  name=${f#"$game/"}
  convert "$f" -background '#808080' -flatten "$work/$(echo "$name" | tr '/' '_').png"
done
montage "$work"/*.png -label '%t' -geometry '+6+6' -tile 6x -background '#404040' \
  -fill white -pointsize 11 "$out/pictures.png"

# One screenshot per screen: start the game on that screen in a copy of the
# game folder and save its third frame.
mkdir -p "$out/screens"
for col in 0 1 2; do
  for row in 0 1 2; do
    run="$work/run_${col}_${row}"
    mkdir -p "$run"
    ln -s "$game/BMP" "$run/BMP"
    cp "$game"/map01_*.txt "$run/"
    read -r _ _ boss spare < "$game/stagedata.txt"
    echo "$col $row $boss $spare" > "$run/stagedata.txt"
    (cd "$run" && "$game/zolbeck" --headless --frames 3 --seed 1 \
      --screenshot "$run/shot.bmp" 2>/dev/null) || true
    convert "$run/shot.bmp" "$out/screens/screen_${col}_${row}.png"
  done
done
echo "wrote $out/pictures.png and $out/screens/"
