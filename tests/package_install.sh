#!/usr/bin/env bash
# The library as another programmer takes it up: installed into a prefix of
# its own (BUILD_DIR/install-check/prefix), it holds only the public surface
# and every public header compiles alone; examples/hello builds with
# find_package and examples/pkgconfig with the line its README.md gives,
# and both run headless with scripted keys (tests/example_check.py).
# Usage: package_install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(realpath "$1")
source=$(realpath "$2")
work=$build/install-check
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$prefix" > "$work/install.log"

# Only the libraries, the public headers and the two package files.
cd "$prefix"
public='^\./(lib[^/]*(/[^/]+)?/(libzolbeck(_platform)?\.a|cmake/zolbeck/zolbeck[A-Za-z-]*\.cmake|pkgconfig/zolbeck\.pc)|include/zolbeck/[a-z]+\.h)$'
unexpected=$(find . -type f | grep -Ev "$public" || true)
[ -z "$unexpected" ] || { echo "installed, but not public:"; echo "$unexpected"; exit 1; }
for header in "$source"/include/zolbeck/*.h include/zolbeck/version.h; do
  name=zolbeck/$(basename "$header")
  [ -f "include/$name" ] || { echo "$name is not installed"; exit 1; }
  echo "#include <$name>" | c++ -std=c++20 -Wall -Wextra -Werror -fsyntax-only -I"$prefix/include" -x c++ - ||
    { echo "<$name> does not compile on its own"; exit 1; }
done

ccache=()
launcher=()
if command -v ccache > /dev/null; then
  ccache=(ccache)
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

# examples/hello, found by find_package in the prefix and nowhere else.
cmake -S "$source/examples/hello" -B "$work/hello" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_PREFIX_PATH="$prefix" "${launcher[@]}" > "$work/hello.log"
grep -qx "zolbeck_DIR:PATH=$prefix/lib[^ ]*/cmake/zolbeck" "$work/hello/CMakeCache.txt" ||
  { echo "hello found another zolbeck:"; grep zolbeck_DIR "$work/hello/CMakeCache.txt"; exit 1; }
cmake --build "$work/hello" -j "$(nproc)" >> "$work/hello.log" || { cat "$work/hello.log"; exit 1; }
cd "$work/hello"
# The face starts at (384, 284) and moves 4 pixels a frame: 30 frames right, 10 down.
python3 "$source/tests/example_check.py" --expect 520,340=FFFF00 --expect 400,300=000000 -- ./hello

# The version the headers, zolbeck.pc and the linked library give.
export PKG_CONFIG_PATH=$(dirname "$(find "$prefix" -name zolbeck.pc)")
version=$(pkg-config --modversion zolbeck)
grep -q "^#define ZOLBECK_VERSION \"$version\"$" "$prefix/include/zolbeck/version.h" ||
  { echo "version.h does not say $version"; exit 1; }
[ "$(./hello --version)" = "hello $version" ] || { echo "hello --version: $(./hello --version)"; exit 1; }
pkg-config --define-variable=execcharset= --cflags zolbeck | grep -qv exec-charset ||
  { echo "execcharset= keeps the charset option"; exit 1; }

# examples/pkgconfig, by the compiler line of its README.
line=$(grep -m1 '^c++ ' "$source/examples/pkgconfig/README.md")
mkdir "$work/shapes"
cp "$source/examples/pkgconfig/shapes.cpp" "$work/shapes/"
cd "$work/shapes"
eval "${ccache[*]} $line" || { echo "the README's line failed: $line"; exit 1; }
# The box starts at (360, 420) and moves 5 pixels a frame: 30 frames right, 10 down.
python3 "$source/tests/example_check.py" --expect 550,510=4080FF --expect 400,460=000000 -- ./shapes
