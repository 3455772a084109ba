#!/usr/bin/env bash
# One copy of the game per desktop: with the game open on one virtual X
# server, a game on a second server starts and runs its frames, while a
# second copy on the first server gives way with its one line and exit 0.
# Usage: sdl_display_lock_smoke.sh PROGRAM GAME_FOLDER
set -u
program=$1
folder=$2
. "$(dirname "$0")/xvfb_start.sh"
start_xvfb 1024x768
a=$display
start_xvfb 1024x768
b=$display

(cd "$folder" && DISPLAY=":$a" exec "$program" --frames 100000 --trace "$work/open.jsonl" 2>"$work/open.err") &
open=$!  # the game itself: the subshell execs it
stop() { kill $open 2>/dev/null; wait $open 2>/dev/null; }
wait_for_file "$work/open.jsonl" $open 20 || { stop; echo "the game on display :$a did not start"; exit 1; }

# The other display is another desktop: its game runs in full.
(cd "$folder" && DISPLAY=":$b" "$program" --frames 60 --trace "$work/other.jsonl" 2>"$work/other.err")
status=$?
lines=$(wc -l < "$work/other.jsonl" 2>/dev/null || echo 0)
[ $status -eq 0 ] && [ "$lines" -eq 60 ] ||
  { stop; echo "the game on display :$b ran $lines frames ($status): $(cat "$work/other.err")"; exit 1; }

# The same display, written with its screen, is the same desktop.
(cd "$folder" && DISPLAY=":$a.0" "$program" --frames 60 --trace "$work/second.jsonl" 2>"$work/second.err")
status=$?
[ $status -eq 0 ] && [ ! -s "$work/second.jsonl" ] || { stop; echo "a second copy on :$a ran ($status)"; exit 1; }
grep -qx "zolbeck: already running: the open window was brought to the front" "$work/second.err" &&
  [ "$(wc -l < "$work/second.err")" -eq 1 ] || { stop; echo "the second copy said: $(cat "$work/second.err")"; exit 1; }
stop
echo "open on :$a; a game on :$b ran its 60 frames; a second copy on :$a gave way"
