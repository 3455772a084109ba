#!/usr/bin/env bash
# The game in a real window: starts a virtual X server, runs 60 frames in the
# sdl backend with a key script, and checks the run and its window. Then:
# --scale 4 gives way on the 1024 x 768 desktop and says so; --sound with no
# device says so and still writes its --audio-dump in full; the controls
# show over the first seconds of the window (read from a screenshot of the X
# screen) and not with --no-hints, while --screenshot is the same both ways.
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
if wait_for_file "$work/open.jsonl" $open; then
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

# Runs the game in its window with "$@" (retrying while another copy holds
# the lock) and takes a screenshot of the X screen once the window has been
# up for a second. Leaves root.png, shot.bmp and err.txt in $work.
look() {
  for attempt in $(seq 20); do
    rm -f "$work/root.png" "$work/trace.jsonl"
    (cd "$folder" && DISPLAY=":$display" "$program" --seed 7 --trace "$work/trace.jsonl" \
        --screenshot "$work/shot.bmp" "$@" 2>"$work/err.txt") &
    game=$!
    if wait_for_file "$work/trace.jsonl" $game && command -v import >/dev/null; then
      sleep 1
      DISPLAY=":$display" import -window root "$work/root.png"
    fi
    wait $game
    [ -s "$work/trace.jsonl" ] && return 0
    sleep 0.5
  done
  echo "the game never ran its frames"
  exit 1
}

# --sound with no sound device (SDL finds no driver of that name): one line
# says so, and the dump is written all the same, on the wall clock: about as
# long as the run, with the music in it.
if command -v soxi >/dev/null; then
  for attempt in $(seq 20); do
    rm -f "$work/dump.wav" "$work/trace.jsonl"
    started=$(date +%s%N)
    (cd "$folder" && DISPLAY=":$display" SDL_AUDIODRIVER=nonexistent "$program" --frames 180 --sound \
        --keys "$work/keys.txt" --audio-dump "$work/dump.wav" --trace "$work/trace.jsonl" 2>"$work/err.txt")
    ended=$(date +%s%N)
    [ -s "$work/trace.jsonl" ] && break
    sleep 0.5
  done
  grep -qx "zolbeck: no sound device could be opened: the program runs silent" "$work/err.txt" &&
    [ "$(wc -l < "$work/err.txt")" -eq 1 ] || { echo "--sound without a device said: $(cat "$work/err.txt")"; exit 1; }
  dumped=$(soxi -D "$work/dump.wav")
  rms=$(sox "$work/dump.wav" -n stat 2>&1 | awk '/^RMS +amplitude/ {print $3}')
  ran=$(awk -v a="$started" -v b="$ended" 'BEGIN { print (b - a) / 1e9 }')
  echo "without a sound device: a dump of $dumped s from a run of $ran s (180 frames), RMS $rms"
  # The run's time also holds the start before the device opens (about a
  # tenth of a second; more on a busy machine).
  awk -v d="$dumped" -v r="$ran" -v m="$rms" 'BEGIN { exit !(d > 0.6 * r && d <= r && m > 0.001) }' ||
    { echo "the dump is not the run's sound"; exit 1; }
fi

look --scale 4 --frames 30
grep -qx "zolbeck: --scale 4 does not fit the 1024 x 768 desktop: using 1" "$work/err.txt" ||
  { echo "--scale 4 said: $(cat "$work/err.txt")"; exit 1; }
echo "--scale 4 gave way: $(cat "$work/err.txt")"

command -v compare >/dev/null || { echo "(ImageMagick is missing: the hints were not looked at)"; exit 0; }
# The middle of the box at the top of the picture, inside the 800 x 600
# window that sits in the middle of the 1024 x 768 screen.
region() { convert "$1" -crop "200x60+$(($2 + 300))+$(($3 + 36))" +repage "$4"; }
difference() { compare -metric MAE "$1" "$2" null: 2>&1 | grep -o '(.*)' | tr -d '()'; }
look --frames 300
cp "$work/shot.bmp" "$work/hinted.bmp"
region "$work/root.png" 112 84 "$work/shown.png"
region "$work/shot.bmp" 0 0 "$work/picture.png"
hinted=$(difference "$work/shown.png" "$work/picture.png")
look --frames 300 --no-hints
region "$work/root.png" 112 84 "$work/shown.png"
plain=$(difference "$work/shown.png" "$work/picture.png")
echo "the window differs from the picture under the hints by $hinted, with --no-hints by $plain"
awk -v h="$hinted" -v p="$plain" 'BEGIN { exit !(h > 0.1 && p < 0.02) }' ||
  { echo "the hints were not shown, or not only without --no-hints"; exit 1; }
cmp -s "$work/hinted.bmp" "$work/shot.bmp" || { echo "--screenshot differs with the hints"; exit 1; }
echo "the hints showed in the window only; --screenshot is the same without them"
