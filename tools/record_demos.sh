#!/usr/bin/env bash
# Records the sessions of tests/demos/ again, played in a window on a virtual
# X server by tools/demo_bot.py while two busy loops load the processor, so
# that keys come at irregular times and some frames come late. For when the
# game has changed so much that the old demos no longer follow it (their
# traces alone are rewritten by tools/rewrite_demos.sh).
#
# The bot steers by the route of the full run: tests/replays/full_run_keys.txt
# replayed headless with seed 1; in the dragon's session the game itself
# plays that run's keys up to the dragon and the bot only the fight. The bot
# does not win every time: a session
# whose goal was not reached is played again with the next seeds of the bot
# and the game, up to five times. Each session is replayed headless at once; its demo is kept
# only when that replay has the recording's trace byte for byte, as
# tests/demos/NAME.demo and NAME.trace.gz.
# Usage: tools/record_demos.sh [build folder, default build-test] [SESSION...]
#   SESSION: walk fights dragon gameover (default all four)
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-test}
shift || true
sessions=("$@")
[ ${#sessions[@]} -gt 0 ] || sessions=(walk fights dragon gameover)
command -v xdotool >/dev/null || { echo "xdotool is not installed"; exit 1; }
cmake --build "$build" --target zolbeck gamedata || exit 1
program=$root/$build/zolbeck
. tests/xvfb_start.sh
start_xvfb 1024x768
loads=
trap 'kill $xvfb_all $loads 2>/dev/null; rm -rf $work_all' EXIT

(cd "$build" && "$program" --headless --frames 4200 --seed 1 --keys "$root/tests/replays/full_run_keys.txt" \
    --trace "$work/route.jsonl") || { echo "the full run failed"; exit 1; }
# The dragon's session walks the stage by the full run's keys up to the pass
# where the dragon wakes (the princess enters its hall with 4 hp and stands;
# Right, still held there, is let go), and the bot plays only the fight. The
# game's seed stays 1 for it, since the keys fit that seed's stage alone.
awk '/^[0-9]/ && $1 < 3822' tests/replays/full_run_keys.txt >"$work/dragon_keys.txt"
echo "3822 Right up" >>"$work/dragon_keys.txt"

# The game's seed and the bot's first, per session.
declare -A game_seed=([walk]=1 [fights]=1 [dragon]=1 [gameover]=7)
declare -A bot_seed=([walk]=11 [fights]=12 [dragon]=13 [gameover]=14)
# The passes after which the bot gives a session up.
declare -A max_frames=([walk]=9000 [fights]=9000 [dragon]=14000 [gameover]=9000)

# Plays session NAME once with the bot's seed SEED, the game's seed moved on
# by TRY: 0 when it reached its goal, 1 when not, 2 when the game did not
# come up.
play() {
  local name=$1 seed=$2 try=$3 game played
  local keys=() bot=()
  if [ "$name" = dragon ]; then
    keys=(--keys "$work/dragon_keys.txt")
    bot=(--boss-only)
    try=0
  fi
  rm -f "$work/$name.demo" "$work/$name.trace"
  sh -c 'while :; do :; done' &
  local load1=$!
  sh -c 'while :; do :; done' &
  local load2=$!
  loads="$load1 $load2"
  (cd "$work" && DISPLAY=":$display" exec "$program" --no-hints --seed $((game_seed[$name] + try)) \
      "${keys[@]}" --record "$name.demo" --trace "$name.trace") 2>"$work/$name.err" &
  game=$!
  if ! wait_for_file "$work/$name.trace" $game 20; then
    echo "$name: the window did not come up: $(cat "$work/$name.err")"
    kill $game $loads 2>/dev/null
    wait $game $loads 2>/dev/null
    loads=
    return 2
  fi
  python3 tools/demo_bot.py --display "$display" --trace "$work/$name.trace" --route "$work/route.jsonl" \
      --session "$name" --seed "$seed" --max-frames "${max_frames[$name]}" "${bot[@]}"
  played=$?
  # The bot ends the session with Escape; a game still running is ended as
  # a signal ends it, leaving its demo whole.
  for _ in $(seq 50); do kill -0 $game 2>/dev/null || break; sleep 0.1; done
  kill -TERM $game 2>/dev/null
  wait $game
  kill $loads 2>/dev/null
  wait $loads 2>/dev/null
  loads=
  [ $played -eq 0 ]
}

status=0
for name in "${sessions[@]}"; do
  [ -n "${game_seed[$name]:-}" ] || { echo "$name: no such session"; status=1; continue; }
  started=$(date +%s)
  result=1
  for attempt in 0 1 2 3 4; do
    play "$name" $((bot_seed[$name] + 100 * attempt)) $attempt
    result=$?
    [ $result -eq 1 ] || break
    mkdir -p "$build/demos-failed"
    cp "$work/$name.demo" "$work/$name.trace" "$build/demos-failed/" 2>/dev/null
    echo "$name: the bot did not reach the session's goal (kept in $build/demos-failed/ to look at)"
  done
  took=$(($(date +%s) - started))
  [ $result -eq 0 ] || { echo "$name: not recorded"; status=1; continue; }
  if ! (cd "$work" && "$program" --headless --replay "$name.demo" --trace "$name.replayed" 2>"$work/$name.err") ||
      ! cmp -s "$work/$name.trace" "$work/$name.replayed"; then
    echo "$name: the headless replay differs: $(cat "$work/$name.err")"
    status=1
    continue
  fi
  cp "$work/$name.demo" tests/demos/
  gzip -9 -n -c "$work/$name.replayed" >"tests/demos/$name.trace.gz"
  rm -f "tests/demos/$name.trace"
  echo "$name: recorded in ${took} s, $(grep -c '^[0-9]' "$work/$name.demo") lines of demo for" \
       "$(wc -l <"$work/$name.trace") passes ($(grep -c ' t [0-9 ]*' "$work/$name.demo") with clock steps);" \
       "demo $(stat -c %s "tests/demos/$name.demo") bytes, trace $(stat -c %s "tests/demos/$name.trace.gz") bytes compressed"
done
git status --short tests/demos
exit $status
