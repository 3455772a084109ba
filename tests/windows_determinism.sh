#!/usr/bin/env bash
# The recorded full run replayed headless by the Linux program and by the
# Windows program under Wine must end with the same trace and the same
# screenshot, byte for byte. Skipped (77) when the Windows build or Wine is
# missing (tools/windows_build.sh makes it).
# Usage: windows_determinism.sh LINUX_PROGRAM SOURCE_DIR
set -u
linux=$1
source=$2
windows=$source/build-win/zolbeck.exe
if [ ! -x "$windows" ] || ! command -v wine >/dev/null; then
  echo "no Windows build in $source/build-win or no Wine: skipped"
  exit 77
fi
export WINEPREFIX=$source/build-win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
keys=$source/tests/replays/full_run_keys.txt
args=(--headless --frames 4200 --seed 1)
for name in stagedata.txt map01_data.txt map01_teki.txt map01_zk.txt; do
  mkdir -p "$work/linux" "$work/windows"
  cp "$(dirname "$linux")/$name" "$work/linux/" && cp "$(dirname "$windows")/$name" "$work/windows/" || exit 1
done
# Each run is tried again while another copy of the game holds the lock
# (it then ends at once with an empty trace).
run() {
  local folder=$1; shift
  for attempt in 1 2 3 4 5 6 7 8 9 10; do
    (cd "$folder" && "$@" 2> "$folder/stderr.txt") || return 1
    [ -s "$folder/trace.jsonl" ] && return 0
    sleep 1
  done
  return 1
}
run "$work/linux" "$linux" "${args[@]}" --keys "$keys" --trace trace.jsonl --screenshot shot.bmp ||
  { echo "the Linux run failed"; cat "$work/linux/stderr.txt"; exit 1; }
run "$work/windows" wine "$windows" "${args[@]}" --keys "Z:${keys//\//\\}" --trace trace.jsonl \
  --screenshot shot.bmp || { echo "the Windows run failed"; cat "$work/windows/stderr.txt"; exit 1; }
status=0
if ! cmp "$work/linux/trace.jsonl" "$work/windows/trace.jsonl"; then
  echo "the traces differ; first differing line:"
  diff "$work/linux/trace.jsonl" "$work/windows/trace.jsonl" | head -4 | cut -c1-400
  status=1
fi
cmp "$work/linux/shot.bmp" "$work/windows/shot.bmp" || { echo "the screenshots differ"; status=1; }
[ $status -eq 0 ] && echo "same trace ($(wc -l < "$work/linux/trace.jsonl") frames) and same screenshot"
exit $status
