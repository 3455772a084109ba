#!/usr/bin/env bash
# Builds the game and the library to WebAssembly with Debian's emscripten,
# into build-web/; the page and everything it loads end up in
# build-web/out/, which any static web server can serve.
# Usage: tools/web_build.sh [cmake --build option ...]
# The libraries the platform layer needs (SDL2, zlib, libpng, FreeType,
# pixman, cairo) are built from the upstream archives of Debian's source
# packages, taken through the machine's own apt sources and checked against
# tools/source_checksums.txt (tools/debian_source.sh). Each is built once
# into build-web/third/prefix/ and kept.
# Every step says how long it took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZOLBECK_WEB_BUILD:-$root/build-web}
third=$build/third
prefix=$third/prefix
jobs=${ZOLBECK_JOBS:-2}
mkdir -p "$third/src" "$prefix"

"$root/tools/deps.sh" emscripten nodejs python3 autotools-dev
# Debian's emscripten under Node 20 finds its modules only here; its cache
# is read-only, so nothing is taken from its ports.
export NODE_PATH=/usr/share/nodejs
export EM_CACHE=${EM_CACHE:-/usr/share/emscripten/cache}
export CCACHE_BASEDIR=$root

step_start=0
step() { step_start=$(date +%s.%N); echo "web_build: $1" >&2; }
step_end() { awk -v a="$step_start" -v b="$(date +%s.%N)" -v n="$1" 'BEGIN { printf "web_build: %s took %.1f s\n", n, b - a }' >&2; }

# source_folder SOURCE-PACKAGE BINARY-PACKAGE: unpacks the upstream archive
# of the Debian source package into $third/src/<package>-<version> and
# prints that folder. tools/debian_source.sh takes the archive from the
# machine's own apt sources and checks it against
# tools/source_checksums.txt; an archive fetched before is used again
# without the network. Where the newest source cannot be fetched (a
# security archive may list an upstream archive it does not keep), that of
# the installed binary package's version is taken.
source_folder() {
  local src=$1 bin=$2 dl=$third/src/dl archive name folder ver
  mkdir -p "$dl"
  ver=$(dpkg-query -W -f='${Version}' "$bin" 2>/dev/null || true)
  archive=$("$root/tools/debian_source.sh" "$src" "$dl") ||
    { [ -n "$ver" ] && archive=$("$root/tools/debian_source.sh" "$src=$ver" "$dl"); } ||
    { echo "web_build: no checked source of $src" >&2; exit 1; }
  name=$(basename "$archive")
  [ -n "$name" ] || exit 1
  folder=$third/src/${name%%.orig.tar.*}
  folder=${folder/_/-}
  if [ ! -f "$folder/.unpacked" ]; then
    rm -rf "$folder"; mkdir -p "$folder"
    tar -xf "$archive" -C "$folder" --strip-components=1
    touch "$folder/.unpacked"
  fi
  echo "$folder"
}

# built NAME: true when NAME was built already for this version.
built() { [ -f "$prefix/.built-$1" ]; }
mark() { touch "$prefix/.built-$1"; }
# emconfigure sets pkg-config's own search path to emscripten's folders and
# adds the ones named here.
export EM_PKG_CONFIG_PATH=$prefix/lib/pkgconfig:$prefix/share/pkgconfig
export PKG_CONFIG_LIBDIR=$EM_PKG_CONFIG_PATH
export CFLAGS="-O2" CXXFLAGS="-O2"
em_cmake() { nice -n 10 emcmake cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" >/dev/null; }

# cmake_build SOURCE-PACKAGE BINARY-PACKAGE FOLDER CMAKE-OPTION...: configures,
# builds and installs a library that builds with CMake, in b-FOLDER, once per
# source version.
cmake_build() {
  local s; s=$(source_folder "$1" "$2")
  local folder=$third/b-$3; shift 3
  local id; id=$(basename "$s")
  built "$id" && return
  step "$id"
  rm -rf "$folder"
  em_cmake -S "$s" -B "$folder" "$@"
  nice -n 10 cmake --build "$folder" -j"$jobs" >/dev/null
  cmake --install "$folder" >/dev/null
  mark "$id"; step_end "$id"
}

build_sdl2() {
  cmake_build libsdl2 libsdl2-dev sdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_PTHREADS=OFF \
    -DSDL_THREADS=OFF
}

build_zlib() {
  local s; s=$(source_folder zlib zlib1g)
  local id; id=$(basename "$s")
  built "$id" && return
  step "$id"
  (cd "$s" && nice -n 10 emconfigure ./configure --static --prefix="$prefix" >/dev/null &&
    nice -n 10 emmake make -j"$jobs" libz.a >/dev/null && emmake make install >/dev/null)
  mark "$id"; step_end "$id"
}

# autotools_build SOURCE-PACKAGE BINARY-PACKAGE SUBDIRS CONFIGURE-OPTION...: builds and
# installs the given folders of the package (its library's; tests and
# demos are left out). $more_cppflags is added to the preprocessor's flags.
autotools_build() {
  local s; s=$(source_folder "$1" "$2"); shift 2
  local subdirs=$1; shift
  local id; id=$(basename "$s")
  built "$id" && return
  step "$id"
  rm -rf "$third/b-$id"; mkdir -p "$third/b-$id"
  # An old config.sub does not know emscripten: Debian's current one does.
  find "$s" -name config.sub -exec cp /usr/share/misc/config.sub {} \;
  find "$s" -name config.guess -exec cp /usr/share/misc/config.guess {} \;
  (cd "$third/b-$id" &&
    CPPFLAGS="-I$prefix/include ${more_cppflags:-}" LDFLAGS="-L$prefix/lib" nice -n 10 emconfigure "$s/configure" \
      --prefix="$prefix" --host=wasm32-unknown-emscripten --disable-shared --enable-static "$@" >configure.log 2>&1 &&
    nice -n 10 emmake make -j"$jobs" SUBDIRS="$subdirs" >make.log 2>&1 &&
    emmake make SUBDIRS="$subdirs" install >install.log 2>&1) ||
    { echo "web_build: $id failed; see $third/b-$id/*.log" >&2; exit 1; }
  mark "$id"; step_end "$id"
}

build_freetype() {
  cmake_build freetype libfreetype-dev freetype -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
}

total_start=$(date +%s)
build_sdl2
build_zlib
autotools_build libpng1.6 libpng-dev .
build_freetype
autotools_build pixman libpixman-1-dev pixman --disable-openmp --disable-mmx --disable-sse2 --disable-ssse3 --disable-vmx \
  --disable-arm-simd --disable-arm-neon --disable-arm-iwmmxt --disable-mips-dspr2 --disable-gtk --disable-libpng
# (A cross build cannot run the float-order test: WebAssembly is little-endian.
# The page's program has one thread: cairo is told to take no locks.)
more_cppflags=-DCAIRO_NO_MUTEX=1 autotools_build cairo libcairo2-dev src --enable-ft --enable-png --disable-fc --disable-xlib --disable-xcb --disable-gl \
  --disable-glesv2 --disable-egl --disable-script --disable-ps --disable-pdf --disable-svg --disable-interpreter \
  --disable-trace --disable-gobject --disable-full-testing --disable-valgrind --disable-symbol-lookup \
  --disable-pthread ax_cv_c_float_words_bigendian=no
echo "web_build: libraries ready after $(( $(date +%s) - total_start )) s" >&2

# The music's synthesiser for the pages (and the web tests' browser driver),
# from npm into build-web/node/, once.
node=$build/node
if [ ! -d "$node/node_modules/js-synthesizer" ]; then
  step "npm packages"
  mkdir -p "$node" && cp "$root/tools/web/package.json" "$node/"
  (cd "$node" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm install --no-audit --no-fund --silent) ||
    echo "web_build: npm could not install tools/web/package.json: the pages' music will be silent" >&2
  step_end "npm packages"
fi

# The game, the library and the page.
step "the game"
if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  nice -n 10 emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOLBECK_TESTS=OFF \
    -DZOLBECK_WERROR=ON -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" -DZOLBECK_WEB_NODE="$node" \
    "${launcher[@]}" >/dev/null
elif ! grep -qxF "ZOLBECK_WEB_NODE:PATH=$node" "$build/CMakeCache.txt"; then
  nice -n 10 cmake -DZOLBECK_WEB_NODE="$node" "$build" >/dev/null
fi
nice -n 10 cmake --build "$build" -j"$jobs" "$@"
step_end "the game"
echo "web_build: the page is in $build/out ($(du -sh "$build/out" | cut -f1))" >&2
