#!/usr/bin/env bash
# Writes the golden pictures of tests/golden/ anew from the current drawing
# code. Run it only when a change of the pictures is intended, then look at
# the new pictures and review the difference before committing them.
# Usage: tools/rewrite_golden.sh [build folder, default build-test]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-test}
cmake --build "$build" --target zolbeck_tests
ZOLBECK_REWRITE_GOLDEN=1 "$build/zolbeck_tests" --gtest_filter='*Golden*'
git status --short tests/golden
