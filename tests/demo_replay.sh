#!/usr/bin/env bash
# Replays every demo of tests/demos headless and compares its trace with the
# one recorded beside it (X.demo, X.trace, or X.trace.gz for a long session,
# unpacked beside a copy of the demo first): the program itself names the
# first frame and field that differ, and the two files must be the same byte
# for byte. With "wine", the Windows build does the same under Wine (skipped,
# 77, when it or Wine is missing; tools/windows_build.sh makes it).
# Usage: demo_replay.sh PROGRAM SOURCE_DIR [wine]
set -u
program=$1
source=$2
runner=()
if [ "${3:-}" = wine ]; then
  program=$source/build-win/zolbeck.exe
  if [ ! -x "$program" ] || ! command -v wine >/dev/null; then
    echo "no Windows build in $source/build-win or no Wine: skipped"
    exit 77
  fi
  export WINEPREFIX=$source/build-win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  runner=(wine)
fi
# A path as the program takes it: Wine sees this file system as drive Z:.
native() { if [ ${#runner[@]} -gt 0 ]; then local p="Z:$1"; echo "${p//\//\\}"; else echo "$1"; fi; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shopt -s nullglob
count=0 status=0
mkdir "$work/packed"
for demo in "$source"/tests/demos/*.demo; do
  name=$(basename "$demo" .demo)
  expected=$source/tests/demos/$name.trace
  if [ ! -f "$expected" ] && [ -f "$expected.gz" ]; then
    cp "$demo" "$work/packed/" && gzip -dc "$expected.gz" >"$work/packed/$name.trace" || exit 1
    demo=$work/packed/$name.demo
    expected=$work/packed/$name.trace
  fi
  [ -f "$expected" ] || { echo "$name: no $name.trace beside the demo"; status=1; continue; }
  if ! "${runner[@]}" "$program" --headless --replay "$(native "$demo")" --trace "$(native "$work/$name.trace")" \
      2>"$work/err.txt"; then
    echo "$name: $(grep -v 'runs silent' "$work/err.txt")"
    status=1
  elif ! cmp -s "$expected" "$work/$name.trace"; then
    echo "$name: the trace is not the recorded one byte for byte"
    status=1
  fi
  count=$((count + 1))
done
[ $status -eq 0 ] && echo "$count demos replay with their recorded traces"
exit $status
