#!/usr/bin/env bash
# Writes the expected traces of tests/demos/ anew: replays every demo headless
# and keeps its trace as X.trace (or X.trace.gz, where the demo's trace is
# kept packed). Run it only when a change of what the trace
# shows is intended (a new field, a mended fault), then review the difference
# before committing it.
#
# A demo still has to follow: its key presses and clock readings must fit
# the program as it is now. One that no longer does (the program reads the
# clock a different number of times in a pass, or ends before the demo does)
# cannot be rewritten, only recorded again; it is left as it was and named,
# and the script ends with 1.
# Usage: tools/rewrite_demos.sh [build folder, default build-test]
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
cmake --build "$build" --target zolbeck gamedata || exit 1
program=$PWD/$build/zolbeck
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
shopt -s nullglob
status=0
for demo in "$PWD"/tests/demos/*.demo; do
  name=$(basename "$demo" .demo)
  # The demo names its trace; compared with nothing, the replay only checks
  # that the demo still fits.
  sed 's/^trace .*$//' "$demo" >"$work/$name.demo"
  if "$program" --headless --replay "$work/$name.demo" --trace "$work/$name.trace" 2>"$work/err.txt"; then
    if [ -f "tests/demos/$name.trace.gz" ]; then
      gzip -9 -n -c "$work/$name.trace" >"tests/demos/$name.trace.gz"
    else
      cp "$work/$name.trace" "tests/demos/$name.trace"
    fi
  else
    echo "$name: cannot be rewritten, record it again: $(grep -v 'runs silent' "$work/err.txt")"
    status=1
  fi
done
git status --short tests/demos
exit $status
