#!/usr/bin/env bash
# Cross-builds the Windows program and its test suite into build-win/ with
# mingw-w64, and makes the Wine prefix the tests run in (build-win/wine).
# FreeType's source (the version of Debian's own library) is fetched once
# into build-win/third_party/ from the machine's own Debian mirror, and
# checked before it is unpacked (tools/debian_source.sh).
# Usage: tools/windows_build.sh [target ...]
# ZOLBECK_WIN_OUT (a folder) and ZOLBECK_WIN_OPT (an optimisation flag)
# make another build beside it: the zip's program is built at -O2.
# (default: zolbeck.exe and zolbeck_tests.exe).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/deps.sh g++-mingw-w64-x86-64-posix wine wine64 xz-utils

out=${ZOLBECK_WIN_OUT:-$root/build-win}
opt=${ZOLBECK_WIN_OPT:--O1}
third=$root/build-win/third_party
freetype=freetype-2.12.1
mkdir -p "$third"
if [ ! -f "$third/$freetype/CMakeLists.txt" ]; then
  archive=$(tools/debian_source.sh freetype "$third")
  tar -xJf "$archive" -C "$third"
fi

# Wine makes its prefix while the compiler runs.
export WINEPREFIX=$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
boot=
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1 &
  boot=$!
fi

# The data generator the Linux build made is used when it is there.
host=()
[ -x "$root/build-test/zolbeck_gen" ] && host=(-DZOLBECK_HOST_GEN="$root/build-test/zolbeck_gen")
launcher=()
[ "${CCACHE_DISABLE:-0}" = 1 ] || ! command -v ccache >/dev/null || launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# -O1 without debug information keeps the cross-build short; the results
# are the same bits at any level (no fast-math anywhere).
cmake -S . -B "$out" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="$opt -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="$opt -DNDEBUG" \
  -DZOLBECK_TESTS=ON -DZOLBECK_FREETYPE_SOURCE="$third/$freetype" "${host[@]}" "${launcher[@]}" >/dev/null
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(zolbeck zolbeck_tests)
cmake --build "$out" -j "$(nproc)" --target "${targets[@]}"
[ -z "$boot" ] || wait "$boot" || true
