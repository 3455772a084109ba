#!/usr/bin/env bash
# Full screen and back in a real window on a virtual X server of 1920 x 1080:
# the game starts in its window, Alt+Enter (from a key script) puts it over
# the whole desktop and a second Alt+Enter brings the window back at its
# size. The window's size is read from the X server while the game runs.
# Usage: sdl_fullscreen_smoke.sh PROGRAM GAME_FOLDER
set -u
program=$1
folder=$2
. "$(dirname "$0")/xvfb_start.sh"
command -v xwininfo >/dev/null || { echo "xwininfo is not installed"; exit 77; }
start_xvfb 1920x1080

# Each stretch lasts 120 frames (1.6 s at 75 frames a second), long enough to
# be seen by a reader that looks ten times a second.
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

sizes() {
  DISPLAY=":$display" xwininfo -root -tree 2>/dev/null |
    grep -a 'zolbeck' | head -1 | grep -o '[0-9]*x[0-9]*+' | tr -d '+'
}

# Another copy of the game (another test) may hold the single-instance lock;
# then this copy steps aside at once without a window, and we try again.
for attempt in $(seq 20); do
  : > "$work/sizes.txt"
  (cd "$folder" && DISPLAY=":$display" "$program" --frames 360 --keys "$work/keys.txt" \
      --seed 7 --trace "$work/trace.jsonl") &
  game=$!
  while kill -0 $game 2>/dev/null; do
    sizes >> "$work/sizes.txt"
    sleep 0.1
  done
  wait $game
  status=$?
  if [ $status -ne 0 ]; then echo "exit code $status"; exit 1; fi
  [ -s "$work/sizes.txt" ] && break
  sleep 0.5
done
seen=$(uniq "$work/sizes.txt" | tr '\n' ' ')
echo "window sizes seen: $seen"
[ "$seen" = "800x600 1920x1080 800x600 " ] || { echo "expected 800x600 1920x1080 800x600"; exit 1; }
lines=$(wc -l < "$work/trace.jsonl")
[ "$lines" -eq 360 ] || { echo "the game ran $lines frames, not 360"; exit 1; }
