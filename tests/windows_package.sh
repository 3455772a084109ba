#!/usr/bin/env bash
# The Windows package as a mingw-w64 programmer takes it up: the
# zolbeck-dev-windows.zip of the Windows build (build-win/, installed as it
# is), unpacked; its examples/hello cross-built against it with
# cmake/mingw-w64.cmake, then run under Wine headless with scripted keys
# (tests/example_check.py). Skipped (77) without Wine, mingw-w64 or the
# Windows build (tools/windows_build.sh makes it).
# Usage: windows_package.sh SOURCE_DIR
set -euo pipefail
source=$(realpath "$1")
win=$source/build-win
if ! command -v wine > /dev/null || ! command -v x86_64-w64-mingw32-g++-posix > /dev/null ||
   [ ! -f "$win/libzolbeck.a" ]; then
  echo "no Wine, no mingw-w64 or no Windows library in $win: skipped"
  exit 77
fi
export WINEPREFIX=$win/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work=$win/package-check
rm -rf "$work"
mkdir -p "$work"
"$source/tools/windows_dev_zip.sh" "$work/zolbeck-dev-windows.zip" "$win" > /dev/null
python3 -m zipfile -e "$work/zolbeck-dev-windows.zip" "$work"
dev=$work/zolbeck-dev
for file in lib/libzolbeck.a lib/libzolbeck_platform.a lib/libzolbeck_freetype.a \
            lib/cmake/zolbeck/zolbeckConfig.cmake lib/pkgconfig/zolbeck.pc include/zolbeck/zolbeck.h; do
  [ -f "$dev/$file" ] || { echo "the zip holds no $file"; exit 1; }
done

launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$dev/examples/hello" -B "$work/hello" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$dev/mingw-w64.cmake" -Dzolbeck_DIR="$dev/lib/cmake/zolbeck" \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine "${launcher[@]}" > "$work/hello.log"
cmake --build "$work/hello" -j "$(nproc)" >> "$work/hello.log" || { cat "$work/hello.log"; exit 1; }
cd "$work/hello"
python3 "$source/tests/example_check.py" --expect 520,340=FFFF00 --expect 400,300=000000 -- wine ./hello.exe
