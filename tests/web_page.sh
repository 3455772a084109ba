#!/usr/bin/env bash
# The web build in headless Chromium, served from 127.0.0.1 by a server this
# test starts and stops: the recorded full run and every demo of tests/demos
# replayed headless in the page must write the same trace to the console,
# byte for byte, as the Linux program (the demos: as the trace beside them);
# the page in a window is shot at its 60th frame (the start screen) into
# build-web/web_start.png; the player's page, opened again offline, walks
# the princess with sound and music after a key (build-web/web_walk.png); the
# picture fills the page at the largest 4:3 size in two windows (whole
# numbers only with --integer-scale) and the mouse lands on its pixels; the
# library's hello example loads and is shot into build-web/web_hello.png.
# Runs only with ZOLBECK_TEST_WEB=1 (skipped, 77, otherwise); builds the web
# folder with tools/web_build.sh first (quick once the libraries are kept).
# Usage: web_page.sh SOURCE_DIR LINUX_PROGRAM
set -u
# Absolute, since the site served is made of links to the build's files.
source=$(cd "$1" && pwd)
linux=$2
if [ "${ZOLBECK_TEST_WEB:-0}" != 1 ]; then
  echo "ZOLBECK_TEST_WEB is not 1: skipped"
  exit 77
fi
build=${ZOLBECK_WEB_BUILD:-$source/build-web}
"$source/tools/web_build.sh" >/dev/null || { echo "the web build failed"; exit 1; }
"$source/tools/deps.sh" chromium imagemagick || exit 1
node=$build/node
if [ ! -d "$node/node_modules/playwright-core" ] || [ ! -d "$node/node_modules/js-synthesizer" ]; then
  # npm comes with Node.js (as a package of its own with Debian's Node.js).
  command -v npm >/dev/null || { echo "no npm to install playwright-core with"; exit 1; }
  mkdir -p "$node" && cp "$source/tools/web/package.json" "$node/"
  (cd "$node" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --no-audit --no-fund --silent) ||
    { echo "cannot install playwright-core"; exit 1; }
fi
cp "$source/tools/web/run_page.mjs" "$node/"

work=$(mktemp -d)
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# What the server serves: the page's folder and the replay beside it.
mkdir -p "$work/site/replays"
for f in "$build"/out/*; do ln -s "$f" "$work/site/"; done
cp "$source/tests/replays/full_run_keys.txt" "$work/site/replays/"
mkdir -p "$work/site/demos"
cp "$source"/tests/demos/*.demo "$work/site/demos/"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/site" >"$work/server.txt" 2>&1 &
server=$!
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$work/server.txt" | head -1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || { echo "the server did not start"; cat "$work/server.txt"; exit 1; }
page() { timeout 600 node "$node/run_page.mjs" "$@"; }
site=http://127.0.0.1:$port

status=0
frames=4200
args=(--headless --frames $frames --seed 1)
mkdir -p "$work/linux"
for name in stagedata.txt map01_data.txt map01_teki.txt map01_zk.txt; do
  cp "$(dirname "$linux")/$name" "$work/linux/" || exit 1
done
(cd "$work/linux" && "$linux" "${args[@]}" --keys "$work/site/replays/full_run_keys.txt" --trace trace.jsonl) ||
  { echo "the Linux run failed"; exit 1; }
# same_trace NAME EXPECTED URL TIMEOUT: what the page at URL writes to
# standard output is EXPECTED, byte for byte.
same_trace() {
  local took=$(date +%s%N) ok=1
  page "$3" --timeout "$4" >"$work/$1.trace" 2>"$work/$1_err.txt" || ok=0
  took=$(( ($(date +%s%N) - took) / 1000000 ))
  if [ $ok = 1 ] && cmp -s "$2" "$work/$1.trace"; then
    echo "$1: the page gives the recorded trace ($(wc -l <"$2") frames, $took ms)"
  else
    echo "$1: the page's trace differs ($(wc -l <"$work/$1.trace") lines against $(wc -l <"$2")):"
    diff "$2" "$work/$1.trace" | head -4 | cut -c1-300
    head -5 "$work/$1_err.txt"
    status=1
  fi
}
same_trace full_run "$work/linux/trace.jsonl" \
  "$site/index.html?file=replays/full_run_keys.txt&args=$(echo "${args[*]} --keys /replays/full_run_keys.txt --trace /dev/stdout" | sed 's/ /%20/g')" 500

# Every demo, replayed in the page, against the trace recorded beside it
# (a packed one unpacked first).
for demo in "$source"/tests/demos/*.demo; do
  name=$(basename "$demo" .demo)
  expected=$source/tests/demos/$name.trace
  if [ ! -f "$expected" ] && [ -f "$expected.gz" ]; then
    gzip -dc "$expected.gz" >"$work/$name.expected" || exit 1
    expected=$work/$name.expected
  fi
  same_trace "$name" "$expected" \
    "$site/index.html?file=demos/$name.demo&args=--headless%20--replay%20/demos/$name.demo%20--trace%20/dev/stdout" 300
done

# The start screen: the page in a window, shot when the program has traced
# its 60th frame.
rm -f "$build/web_start.png" "$build/web_walk.png" "$build/web_hello.png" "$build"/web_fit_*.png
page "$site/index.html?args=--seed%201%20--trace%20/dev/stdout" --screenshot "$build/web_start.png" \
  --when '"frame":60,' --timeout 120 >/dev/null 2>"$work/shot_err.txt" ||
  { echo "no screenshot of the page"; head -5 "$work/shot_err.txt"; status=1; }
[ -s "$build/web_start.png" ] && echo "the page at its 60th frame: $build/web_start.png"
# The picture fills the stage (the page less its 36-pixel bar) at the
# largest 4:3 size, or by whole numbers with --integer-scale, on black; a
# click at a page point reaches the program as the picture's pixel there
# (-1: on the black beside it). Each row: viewport, extra options, the
# picture's place in the page, the click and the pixel it lands on.
row=0
while read -r viewport extra place click pixel; do
  row=$((row + 1))
  vw=${viewport%x*} vh=${viewport#*x}
  [ "$extra" = - ] && extra=""
  shot=$build/web_fit_$row.png
  page "$site/index.html?args=--seed%201%20--trace%20/dev/stdout%20--record%20/dev/stderr${extra:+%20$extra}" \
    --viewport "$viewport" --click "$click" --screenshot "$shot" --when '"frame":30,' --timeout 120 \
    </dev/null >/dev/null 2>"$work/fit_err.txt"
  got=$(convert "$shot" -crop "${vw}x$((vh - 36))+0+0" +repage -bordercolor black -border 1 -fuzz 2% -trim \
    -format '%wx%h+%[fx:page.x-1]+%[fx:page.y-1]' info: 2>/dev/null)
  landed=$(grep -o 'ldown [-0-9]* [-0-9]*' "$work/fit_err.txt" | head -1 | cut -d' ' -f2- | tr ' ' ,)
  if [ "$got" = "$place" ] && [ "$landed" = "$pixel" ]; then
    echo "in $viewport${extra:+ $extra}: the picture is $got, a click at $click lands on $pixel"
  else
    echo "in $viewport${extra:+ $extra}: the picture is '$got' (not $place), a click at $click lands on '$landed' (not $pixel)"
    status=1
  fi
done <<'TABLE'
1920x1080 - 1392x1044+264+0 1655,1043 799,599
1920x1080 - 1392x1044+264+0 263,500 -1,287
1280x1024 - 1280x960+0+14 640,494 400,300
1920x1080 --integer-scale 800x600+560+222 560,222 0,0
TABLE
# The player's page, opened again with the network cut once its files are
# kept, in a window of 1700 x 1300 that the picture fills: the arrow key walks
# the princess, C swings, and the sound and the music that start with the
# key play.
page "$site/index.html" --offline --viewport 1700x1300 --screenshot "$build/web_walk.png" --keys ArrowRight,c \
  --hold 800 --after 2500 --sound --timeout 120 >"$work/walk.txt" 2>"$work/walk_err.txt" ||
  { echo "no screenshot of the walk"; status=1; }
grep -q "opened again offline" "$work/walk_err.txt" && echo "the page plays offline once loaded" ||
  { echo "the page did not open offline"; status=1; }
read -r _ state peak < <(grep '^sound:' "$work/walk.txt")
if [ "${state:-}" = running ] && awk -v p="${peak:-0}" 'BEGIN { exit !(p > 0.01) }'; then
  echo "the page plays sound after a key (loudest sample $peak): $build/web_walk.png"
else
  echo "no sound in the page after a key: $(cat "$work/walk.txt")"
  status=1
fi
# The stage's music, from the synthesiser in the page.
read -r _ tick loud < <(grep '^music:' "$work/walk.txt")
if [ "${tick:--1}" -gt 0 ] && awk -v p="${loud:-0}" 'BEGIN { exit !(p > 0.01) }'; then
  echo "the page plays the music (at tick $tick, loudest sample $loud)"
else
  echo "no music in the page: $(grep '^music:' "$work/walk.txt")"
  status=1
fi
# The hello example's page loads, draws and is shot.
page "$site/hello.html" --screenshot "$build/web_hello.png" --after 1500 --timeout 120 \
  >/dev/null 2>"$work/hello_err.txt" || { echo "no screenshot of the hello page"; head -5 "$work/hello_err.txt"; status=1; }
if grep -q "page error\|Aborted" "$work"/*_err.txt; then
  echo "a page failed:"; grep -h "page error\|Aborted" "$work"/*_err.txt | head -4
  status=1
fi
[ -s "$build/web_hello.png" ] && echo "the hello page: $build/web_hello.png"
exit $status
