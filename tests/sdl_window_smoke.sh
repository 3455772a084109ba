#!/usr/bin/env bash
# The game in a real window: starts a virtual X server, runs 60 frames in the
# sdl backend with a key script, and checks the run and its window.
# Usage: sdl_window_smoke.sh PROGRAM GAME_FOLDER
set -u
program=$1
folder=$2
. "$(dirname "$0")/xvfb_start.sh"
start_xvfb 1024x768

printf '0 V down\n2 V up\n10 Right down\n50 Right up\n' > "$work/keys.txt"
# Another copy of the game (another test) may hold the single-instance lock;
# then this copy steps aside at once with an empty trace, and we try again.
for attempt in $(seq 20); do
  rm -f "$work/trace.jsonl"
  (cd "$folder" && DISPLAY=":$display" "$program" --frames 60 --keys "$work/keys.txt" \
      --seed 7 --trace "$work/trace.jsonl" --screenshot "$work/shot.bmp")
  status=$?
  if [ $status -ne 0 ]; then echo "exit code $status"; exit 1; fi
  lines=$(wc -l < "$work/trace.jsonl" 2>/dev/null || echo 0)
  [ "$lines" -eq 60 ] && break
  sleep 0.5
done
if [ "$lines" -ne 60 ]; then echo "the game did not run its 60 frames ($lines)"; exit 1; fi
# The princess walked right in the window's run.
first=$(sed -n '1p' "$work/trace.jsonl" | grep -o '"player":{"x":[-0-9.e]*' | grep -o '[-0-9.e]*$')
last=$(sed -n '60p' "$work/trace.jsonl" | grep -o '"player":{"x":[-0-9.e]*' | grep -o '[-0-9.e]*$')
awk -v a="$first" -v b="$last" 'BEGIN { exit !(b > a + 50) }' || { echo "no walk: $first -> $last"; exit 1; }
size=$(stat -c %s "$work/shot.bmp")
[ "$size" -eq 1440058 ] || { echo "screenshot of $size bytes"; exit 1; }

# With a copy open in a window, a second windowed copy gives way at once
# (exit 0, no frames), while a run without a window replays in full beside it.
(cd "$folder" && DISPLAY=":$display" "$program" --frames 100000 --trace "$work/open.jsonl") &
open=$!
for _ in $(seq 100); do
  [ -s "$work/open.jsonl" ] && break
  kill -0 $open 2>/dev/null || break
  sleep 0.1
done
if [ -s "$work/open.jsonl" ]; then
  (cd "$folder" && DISPLAY=":$display" "$program" --frames 60 --trace "$work/second.jsonl" 2>"$work/second.err")
  status=$?
  [ $status -eq 0 ] && [ ! -s "$work/second.jsonl" ] || { kill $open; echo "a second window ran ($status)"; exit 1; }
  # It says so in one line.
  grep -qx "zolbeck: already running: the open window was brought to the front" "$work/second.err" &&
    [ "$(wc -l < "$work/second.err")" -eq 1 ] || { kill $open; echo "the second copy said: $(cat "$work/second.err")"; exit 1; }
  (cd "$folder" && "$program" --headless --frames 60 --keys "$work/keys.txt" --seed 7 \
      --trace "$work/headless.jsonl")
  lines=$(wc -l < "$work/headless.jsonl")
  kill $open
  wait $open 2>/dev/null
  [ "$lines" -eq 60 ] || { echo "the headless run beside the window ran $lines frames"; exit 1; }
else
  kill $open 2>/dev/null
  echo "(another copy held the lock; the second-copy check was skipped)"
fi
echo "60 frames in a real window; the princess walked from x $first to $last"
