#!/usr/bin/env bash
# Full screen in a real window on virtual X servers. At 1920 x 1080 the game
# starts in its window, Alt+Enter (from a key script) puts it over the whole
# desktop and a second Alt+Enter brings the window back at its size; the
# window's size is read from the X server while the game runs. Over the
# desktop the picture fills it in its own shape, read from a screenshot of
# the X screen: 1440 x 1080 there, 1280 x 960 on a 1280 x 1024 desktop
# (started in full screen), with crisp pixel edges: the picture's frame,
# which never changes, matches the picture enlarged by whole numbers and
# shrunk bilinearly far better than the picture stretched bilinearly.
# Usage: sdl_fullscreen_smoke.sh PROGRAM GAME_FOLDER
set -u
program=$1
folder=$2
. "$(dirname "$0")/xvfb_start.sh"
for tool in xwininfo import convert compare; do
  command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done

sizes() {
  DISPLAY=":$display" xwininfo -root -tree 2>/dev/null |
    grep -a 'zolbeck' | head -1 | grep -o '[0-9]*x[0-9]*+' | tr -d '+'
}

# Runs the game with "$@" while looking at its window ten times a second;
# from the third look that finds it at the desktop's size on, a screenshot
# of the X screen is taken until one shows the picture (a slow start, a
# sanitizer build say, may show the desktop's size before its first frame). Another copy of the game (another
# test) may hold the single-instance lock; then this copy steps aside at
# once without a window, and we try again.
run_and_look() {
  for attempt in $(seq 20); do
    : > "$work/sizes.txt"
    rm -f "$work/root.png"
    (cd "$folder" && DISPLAY=":$display" "$program" --seed 7 --trace "$work/trace.jsonl" \
        --screenshot "$work/shot.bmp" "$@") &
    game=$!
    seen=0
    while kill -0 $game 2>/dev/null; do
      size=$(sizes)
      echo "$size" >> "$work/sizes.txt"
      if [ "$size" = "$desktop" ]; then
        seen=$((seen + 1))
        if [ $seen -ge 3 ] && [ ! -f "$work/root.png" ]; then
          DISPLAY=":$display" import -window root "$work/look.png" &&
            [ "$(convert "$work/look.png" -trim -format '%w' info: 2>/dev/null)" -gt 1 ] 2>/dev/null &&
            mv "$work/look.png" "$work/root.png"
        fi
      fi
      sleep 0.1
    done
    wait $game
    status=$?
    if [ $status -ne 0 ]; then echo "exit code $status"; exit 1; fi
    grep -q . "$work/sizes.txt" && break
    sleep 0.5
  done
  [ -f "$work/root.png" ] || { echo "no screenshot of the full screen"; exit 1; }
}

# The picture's place on the X screen, and its crisp edges.
check_picture() {
  local expected=$1 w=$2 h=$3
  place=$(convert "$work/root.png" -trim -format '%wx%h%O' info:)
  echo "$desktop: the picture is $place"
  [ "$place" = "$expected" ] || { echo "expected $expected"; exit 1; }
  local offset=${place#*x*+} whole=$(( (h + 599) / 600 ))
  convert "$work/root.png" -crop "${w}x16+${offset%+*}+${offset#*+}" +repage "$work/band.png"
  convert "$work/shot.bmp" -sample "$((whole * 100))%" -interpolate bilinear \
      -interpolative-resize "${w}x${h}!" -crop "${w}x16+0+0" +repage "$work/crisp.png"
  convert "$work/shot.bmp" -interpolate bilinear -interpolative-resize "${w}x${h}!" \
      -crop "${w}x16+0+0" +repage "$work/blurred.png"
  crisp=$(compare -metric MAE "$work/band.png" "$work/crisp.png" null: 2>&1 | grep -o '(.*)' | tr -d '()')
  blurred=$(compare -metric MAE "$work/band.png" "$work/blurred.png" null: 2>&1 | grep -o '(.*)' | tr -d '()')
  echo "  the frame differs by $crisp from crisp scaling, by $blurred from a bilinear stretch"
  awk -v c="$crisp" -v b="$blurred" 'BEGIN { exit !(c < 0.02 && c * 2 < b) }' ||
    { echo "the edges are not crisp"; exit 1; }
}

# Each stretch lasts 120 frames (1.6 s at 75 frames a second), long enough to
# be seen by a reader that looks ten times a second.
start_xvfb 1920x1080
desktop=1920x1080
cat > "$work/keys.txt" <<'KEYS'
120 Alt down
121 Enter down
122 Enter up
123 Alt up
240 Alt down
241 Enter down
242 Enter up
243 Alt up
KEYS
run_and_look --frames 360 --keys "$work/keys.txt"
seen=$(uniq "$work/sizes.txt" | grep . | tr '\n' ' ')
echo "window sizes seen: $seen"
[ "$seen" = "800x600 1920x1080 800x600 " ] || { echo "expected 800x600 1920x1080 800x600"; exit 1; }
lines=$(wc -l < "$work/trace.jsonl")
[ "$lines" -eq 360 ] || { echo "the game ran $lines frames, not 360"; exit 1; }
check_picture 1440x1080+240+0 1440 1080

kill $xvfb 2>/dev/null
wait $xvfb 2>/dev/null
rm -rf "$work"
start_xvfb 1280x1024
desktop=1280x1024
run_and_look --frames 150 --fullscreen
check_picture 1280x960+0+32 1280 960
