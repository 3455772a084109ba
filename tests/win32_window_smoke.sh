#!/usr/bin/env bash
# The Windows program in its own window backend (win32), under Wine on a
# virtual X server: the window opens with the game's title, a run of 60
# frames ends with 0 and a screenshot of the start screen, the window shows
# that picture while the game runs, Right held on the window walks the
# princess, and Escape pressed on the window ends the game with 0.
# Usage: win32_window_smoke.sh PROGRAM.exe GAME_FOLDER
# The Wine prefix is $WINEPREFIX, or GAME_FOLDER/wine (made on first use).
set -u
program=$1
folder=$2
[ -f "$program" ] || { echo "no Windows build at $program (tools/windows_build.sh)"; exit 77; }
for tool in wine xdotool xwininfo convert; do
  command -v $tool >/dev/null || { echo "$tool is not installed"; exit 77; }
done
. "$(dirname "$0")/xvfb_start.sh"
start_xvfb 1024x768
export DISPLAY=":$display"
export WINEPREFIX=${WINEPREFIX:-$folder/wine} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
title='ゾルベック！'
# Whatever ran in the prefix before (the suite, the replay) is let finish.
timeout 30 wineserver -w 2>/dev/null

# The first run: 60 frames and the program's own screenshot of the last.
# Another copy in the same Wine prefix (a test of the suite) may hold the
# single-instance lock; then this copy steps aside at once, and we try again.
for attempt in $(seq 20); do
  (cd "$folder" && timeout 120 wine "$program" --frames 60 --screenshot "$work/shot.bmp") \
    > "$work/first.log" 2>&1
  status=$?
  [ $status -ne 0 ] || [ -s "$work/shot.bmp" ] && break
  sleep 0.5
done
[ $status -eq 0 ] || { echo "a run of 60 frames ended with $status"; tail -5 "$work/first.log"; exit 1; }
[ -s "$work/shot.bmp" ] || { echo "no screenshot of frame 60"; exit 1; }
convert "$work/shot.bmp" "$work/shot.png"
colours=$(convert "$work/shot.png" -format %k info:)
[ "$colours" -gt 16 ] || { echo "frame 60 shows $colours colours only"; exit 1; }

# The second run: until Escape. The window is found by its title.
(cd "$folder" && exec timeout 120 wine "$program" --trace "$work/trace.jsonl") > "$work/second.log" 2>&1 &
game=$!
window=$(timeout 60 xdotool search --sync --name "$title" 2>/dev/null | head -1)
if [ -z "$window" ]; then
  kill $game 2>/dev/null
  echo "no window titled $title"
  exit 1
fi
for _ in $(seq 300); do
  lines=$(wc -l < "$work/trace.jsonl" 2>/dev/null || echo 0)
  [ "$lines" -ge 60 ] && break
  kill -0 $game 2>/dev/null || break
  sleep 0.1
done
[ "$lines" -ge 60 ] || { kill $game 2>/dev/null; echo "the game ran $lines frames"; exit 1; }
size=$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
import -window "$window" "$work/window.png" 2>/dev/null
shown=$(convert "$work/window.png" -format %k info: 2>/dev/null || echo 0)

# Kept beside the program, for a person to look at.
cp "$work/window.png" "$folder/win32_window_smoke.png" 2>/dev/null

# Right held on the window walks the princess.
# The line before the last: the last may be half written as it is read.
player_x() {
  tail -n 2 "$work/trace.jsonl" | head -n 1 | grep -o '"player":{"x":[-0-9.e]*' | grep -o '[-0-9.e]*$'
}
first=$(player_x)
xdotool keydown --window "$window" Right
sleep 1
xdotool keyup --window "$window" Right
sleep 0.3
last=$(player_x)

xdotool key --window "$window" Escape
wait $game
status=$?
awk -v a="$first" -v b="$last" 'BEGIN { exit !(b > a + 20) }' || { echo "no walk: $first -> $last"; exit 1; }
[ "$size" = 800x600 ] || { echo "the window's client area is $size"; exit 1; }
[ "$shown" -gt 16 ] || { echo "the window shows $shown colours only"; exit 1; }
[ $status -eq 0 ] || { echo "Escape ended the game with $status"; exit 1; }
echo "the window \"$title\" showed the start screen ($shown colours); the princess walked from x $first to $last; Escape ended it with 0"
