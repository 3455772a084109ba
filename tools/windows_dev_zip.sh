#!/usr/bin/env bash
# Makes zolbeck-dev-windows.zip, the library for mingw-w64 programmers: in a
# folder "zolbeck-dev", the cross-built library as `cmake --install` puts it
# (include/zolbeck, lib/libzolbeck.a, lib/libzolbeck_platform.a, the FreeType
# built with it as lib/libzolbeck_freetype.a, lib/cmake/zolbeck,
# lib/pkgconfig/zolbeck.pc), the examples, the toolchain file for Debian's
# mingw-w64 and a short read-me.
# Usage: tools/windows_dev_zip.sh [OUTPUT.zip [BUILD]]
# BUILD names a Windows build to install as it is (the tests take
# build-win/); without it the library is built at -O2 in build-win-release/,
# as for the program's zip (tools/windows_zip.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=$(realpath -m "${1:-$root/zolbeck-dev-windows.zip}")
if [ -n "${2:-}" ]; then
  win=$(realpath "$2")
else
  win=$root/build-win-release
  ZOLBECK_WIN_OUT=$win ZOLBECK_WIN_OPT=-O2 tools/windows_build.sh zb_lib zb_platform freetype
fi
[ -f "$win/libzolbeck.a" ] || { echo "no cross-built library in $win" >&2; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
dev=$stage/zolbeck-dev
cmake --install "$win" --prefix "$dev" > /dev/null
cp -r examples "$dev/"
cp cmake/mingw-w64.cmake "$dev/"
version=$(sed -n 's/^#define ZOLBECK_VERSION "\(.*\)"$/\1/p' "$dev/include/zolbeck/version.h")
# The read-me with Windows line ends, as Notepad opens it.
sed 's/$/\r/' > "$dev/README.txt" <<TEXT
zolbeck $version: the library for Windows programs (mingw-w64, static)

include/zolbeck/    the headers: #include <zolbeck/zolbeck.h>
lib/                libzolbeck.a, libzolbeck_platform.a, libzolbeck_freetype.a
lib/cmake/zolbeck/  the CMake package: find_package(zolbeck CONFIG REQUIRED),
                    then target_link_libraries(PROGRAM PRIVATE zolbeck::zolbeck)
lib/pkgconfig/      zolbeck.pc: pkg-config --cflags --libs zolbeck
examples/           hello (CMake) and pkgconfig (one compiler line)
mingw-w64.cmake     a toolchain file for Debian's mingw-w64 (posix threads)

The library is built by GCC's mingw-w64 with the posix thread model; build
programs with the same (x86_64-w64-mingw32-g++-posix). Narrow literals must
be Shift-JIS: both package files add -fexec-charset=CP932.

Cross-building hello on Linux, from this folder:
  cmake -S examples/hello -B hello-build -DCMAKE_TOOLCHAIN_FILE=\$PWD/mingw-w64.cmake \\
        -Dzolbeck_DIR=\$PWD/lib/cmake/zolbeck -DCMAKE_CROSSCOMPILING_EMULATOR=wine
  cmake --build hello-build
(zolbeck_DIR, since the toolchain file looks for packages only under
mingw-w64's own folder; wine runs the small program that writes hello's
picture and sound.) On Windows itself: cmake -DCMAKE_PREFIX_PATH=THIS_FOLDER.
TEXT
rm -f "$out"
(cd "$stage" && python3 "$root/tools/zip_folder.py" "$out" zolbeck-dev)
echo "$out"
