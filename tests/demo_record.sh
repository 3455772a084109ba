#!/usr/bin/env bash
# Recorded play, end to end. A headless run with a key script is recorded and
# replayed with the same trace; a session in a real window on a virtual X
# server, keys sent at irregular times while two busy loops load the
# processor, ended by SIGTERM, replays headless (and in a window) with the
# trace the recording wrote. Then what a demo must survive or refuse: cut
# short, a changed event (the first frame and field that differ are named),
# a malformed line (named by its number).
# Usage: demo_record.sh PROGRAM GAME_FOLDER
set -u
program=$1
folder=$2
. "$(dirname "$0")/xvfb_start.sh"
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 77; }
start_xvfb 1024x768
fail() { echo "$*"; exit 1; }
replay() {  # DEMO TRACE [OPTION]...: replays headless, the exit code kept in $status
  local demo=$1 trace=$2; shift 2
  (cd "$folder" && "$program" --headless --replay "$demo" --trace "$trace" "$@" 2>"$work/err.txt")
  status=$?
}

# Headless, with keys and a pad from a script.
printf '0 V down\n2 V up\n10 Right down\n70 Right up\n80 PadDown down\n120 PadDown up\n' >"$work/keys.txt"
(cd "$folder" && "$program" --headless --frames 200 --keys "$work/keys.txt" --record "$work/h.demo" \
    --trace "$work/h.trace") || fail "the headless recording failed"
replay "$work/h.demo" "$work/h2.trace"
[ $status -eq 0 ] && cmp -s "$work/h.trace" "$work/h2.trace" ||
  fail "the headless replay differs ($status): $(cat "$work/err.txt")"
grep -q '^80 pad ' "$work/h.demo" || fail "the pad is not in the demo"

# In a window, under load. The test's X server is its own, so no other copy
# of the game shares its single-instance lock.
sh -c 'while :; do :; done' &
load1=$!
sh -c 'while :; do :; done' &
load2=$!
trap 'kill $load1 $load2 $xvfb 2>/dev/null; rm -rf "$work"' EXIT
(cd "$folder" && DISPLAY=":$display" exec "$program" --record "$work/w.demo" --trace "$work/w.trace") &
game=$!
wait_for_file "$work/w.trace" $game || fail "the window did not come up"
for key in v Right Right Down c Left Up x Down; do
  DISPLAY=":$display" xdotool keydown "$key"
  sleep "0.$((RANDOM % 60 + 5))"
  DISPLAY=":$display" xdotool keyup "$key"
  sleep "0.$((RANDOM % 30))"
done
kill -TERM $game
wait $game || fail "the recording did not end cleanly on SIGTERM ($?)"
kill $load1 $load2
grep -q '^[0-9]* down Right' "$work/w.demo" && grep -qx 'end [0-9]*' "$work/w.demo" ||
  fail "the window's demo lacks the keys or its end"
late=$(grep -c ' t [0-9 ]*' "$work/w.demo")
replay "$work/w.demo" "$work/w2.trace"
[ $status -eq 0 ] && cmp -s "$work/w.trace" "$work/w2.trace" ||
  fail "the window's session replays differently ($status): $(cat "$work/err.txt")"
# In a window, in real time, the player's own keys left out.
(cd "$folder" && DISPLAY=":$display" exec "$program" --replay "$work/w.demo" --trace "$work/w3.trace" \
    2>"$work/err.txt") &
game=$!
sleep 1
DISPLAY=":$display" xdotool key Escape Left 2>/dev/null
wait $game
status=$?
[ $status -eq 0 ] && cmp -s "$work/w.trace" "$work/w3.trace" ||
  fail "the window's replay differs ($status): $(cat "$work/err.txt")"

# Cut short (as by a crash): replays what it has, and ends.
head -n 40 "$work/w.demo" >"$work/cut.demo"
replay "$work/cut.demo" "$work/cut.trace"
[ $status -eq 0 ] && [ -s "$work/cut.trace" ] && cmp -s "$work/cut.trace" <(head -n "$(wc -l <"$work/cut.trace")" "$work/w.trace") ||
  fail "the demo cut short does not replay ($status): $(cat "$work/err.txt")"

# Ended by a crash (SIGKILL): the demo and its trace are whole up to the
# demo's last line, and replay to it (the passes after it, which had nothing
# to write, are lost).
(cd "$folder" && exec "$program" --headless --realtime --keys "$work/keys.txt" --record "$work/k.demo" \
    --trace "$work/k.trace") &
game=$!
sleep 1.5
kill -KILL $game
wait $game 2>/dev/null
replay "$work/k.demo" "$work/k2.trace"
[ $status -eq 0 ] && [ -s "$work/k2.trace" ] && cmp -s "$work/k2.trace" <(head -n "$(wc -l <"$work/k2.trace")" "$work/k.trace") ||
  fail "the demo of a killed run does not replay ($status): $(cat "$work/err.txt")"

# A changed demo no longer follows: the first frame and field are named.
sed 's/^10 down Right$/11 down Right/' "$work/h.demo" >"$work/changed.demo"
replay "$work/changed.demo" "$work/changed.trace"
grep -q '^zolbeck: replay differs at frame 10: field player\.' "$work/err.txt" && [ $status -eq 1 ] ||
  fail "a changed demo: $status, $(cat "$work/err.txt")"
# So does one whose clock no longer fits the program.
sed 's/^1 t 0 0 13$/1 t 0 13/' "$work/h.demo" >"$work/clock.demo"
replay "$work/clock.demo" "$work/clock.trace"
grep -q '^zolbeck: replay differs at frame 1: ' "$work/err.txt" && [ $status -eq 1 ] ||
  fail "a demo with fewer clock readings: $status, $(cat "$work/err.txt")"

# Malformed: refused with the line's number.
lines=$(wc -l <"$work/h.demo")
sed "${lines}i 999 down NoSuchKey" "$work/h.demo" >"$work/bad.demo"
replay "$work/bad.demo" "$work/bad.trace"
[ $status -eq 2 ] && grep -qx "zolbeck: $work/bad.demo:$lines: unknown key 'NoSuchKey'" "$work/err.txt" ||
  fail "a malformed demo: $status, $(cat "$work/err.txt")"
printf 'zolbeck demo 9\n' >"$work/other.demo"
replay "$work/other.demo" "$work/other.trace"
[ $status -eq 2 ] && grep -q "other.demo:1: not a demo" "$work/err.txt" || fail "a foreign file: $status"

echo "headless and window sessions replay to the bit ($late of $(wc -l <"$work/w.trace") passes off the beat)"
