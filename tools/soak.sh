#!/usr/bin/env bash
# Plays the game headless for MINUTES with random keys from a seeded
# generator, the trace and the audio dump on, Enter pressed now and then so
# that the stage starts again after GAME_OVER or STAGE CLEAR. Reports the
# peak and present memory (RSS) every minute, and fails when memory grows by
# more than 1 MB after the first 10,000 frames, or when the game fails.
# Usage: tools/soak.sh MINUTES [SEED]   (BUILD=folder, default build-test)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build-test}
[ $# -ge 1 ] || { echo "usage: tools/soak.sh MINUTES [SEED]" >&2; exit 2; }
[ -x "$build/zolbeck" ] || { echo "tools/soak.sh: build the game first ($build/zolbeck)" >&2; exit 2; }
exec python3 "$root/tools/soak_monitor.py" "$build/zolbeck" "$1" "${2:-1}"
