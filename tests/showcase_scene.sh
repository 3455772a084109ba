#!/usr/bin/env bash
# One scene of the showcase, headless, for 300 frames: it must end with code
# 0, report nothing (every error box writes its line on standard
# error) and leave its screenshot.
# Usage: showcase_scene.sh PROGRAM SCENE
set -u
program=$1
scene=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$(dirname "$program")"
"./$(basename "$program")" --headless --scene "$scene" --frames 300 \
  --screenshot "$work/shot.bmp" 2> "$work/err.txt"
code=$?
if [ $code -ne 0 ] || [ -s "$work/err.txt" ] || [ ! -s "$work/shot.bmp" ]; then
  echo "scene $scene: exit code $code"
  cat "$work/err.txt"
  exit 1
fi
