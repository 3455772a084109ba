#!/usr/bin/env bash
# Builds the game and the library to WebAssembly with Debian's emscripten,
# into build-web/; the page and everything it loads end up in
# build-web/out/, which any static web server can serve.
# Usage: tools/web_build.sh [cmake --build option ...]
# The libraries the platform layer needs (SDL2, zlib, libpng, FreeType,
# pixman, cairo) are built from Debian's source packages of the versions
# installed on this machine, fetched from the mirror the machine's own apt
# sources name and checked against tools/source_checksums.txt. Each is built
# once into build-web/third/<package>-<version>/ and kept.
# Every step says how long it took.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZOLBECK_WEB_BUILD:-$root/build-web}
third=$build/third
prefix=$third/prefix
jobs=${ZOLBECK_JOBS:-2}
mkdir -p "$third/src" "$prefix"

"$root/tools/deps.sh" emscripten nodejs dpkg-dev curl python3 autotools-dev
# Debian's emscripten under Node 20 finds its modules only here; its cache
# is read-only, so nothing is taken from its ports.
export NODE_PATH=/usr/share/nodejs
export EM_CACHE=${EM_CACHE:-/usr/share/emscripten/cache}
export CCACHE_BASEDIR=$root

step_start=0
step() { step_start=$(date +%s.%N); echo "web_build: $1" >&2; }
step_end() { awk -v a="$step_start" -v b="$(date +%s.%N)" -v n="$1" 'BEGIN { printf "web_build: %s took %.1f s\n", n, b - a }' >&2; }

# The mirrors of the machine's deb lines, the security archive included.
mirrors() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^deb \(\[[^]]*\] \)\?\([^ ]*\) .*/\2/p' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed -n 's/^URIs: *//p' "$f" | tr ' ' '\n'
  done
}

# fetch_source BINARY-PACKAGE: unpacks the Debian source of the binary
# package (its patches applied) into $third/src/<source>-<version> and
# prints that folder. The installed version is taken where the mirrors
# still have it, else the newest one apt knows. The .dsc must match
# tools/source_checksums.txt; the archives it lists must match the .dsc.
fetch_source() {
  local bin=$1 src ver plain dir dsc m url="" found=""
  src=$(dpkg-query -W -f='${source:Package}' "$bin")
  local dl=$third/src/dl
  mkdir -p "$dl"
  for ver in $(dpkg-query -W -f='${Version}' "$bin") $(apt-cache madison "$bin" | awk '{ print $3 }'); do
    plain=${ver#*:}
    dsc=${src}_${plain}.dsc
    if [ -f "$third/src/$src-$plain/.unpacked" ]; then echo "$third/src/$src-$plain"; return; fi
    if [ -f "$dl/$dsc.from" ]; then found=$dsc; url=$(cat "$dl/$dsc.from"); break; fi
    dir=$(apt-cache show "$bin=$ver" 2>/dev/null | sed -n 's|^Filename: \(.*\)/[^/]*$|\1|p' | head -1)
    if [ -z "$dir" ]; then
      case $src in lib*) dir=pool/main/${src:0:4}/$src ;; *) dir=pool/main/${src:0:1}/$src ;; esac
    fi
    for m in $(mirrors | sort -u); do
      if curl -fsS -o "$dl/$dsc" "${m%/}/$dir/$dsc" 2>/dev/null; then
        url=${m%/}/$dir; found=$dsc; echo "$url" >"$dl/$dsc.from"; break 2
      fi
    done
  done
  [ -n "$found" ] || { echo "web_build: no mirror has the source of $bin" >&2; exit 1; }
  dsc=$found
  plain=${dsc#${src}_}; plain=${plain%.dsc}
  local folder=$third/src/$src-$plain want have
  want=$(awk -v f="$dsc" '$2 == f { print $1 }' "$root/tools/source_checksums.txt")
  have=$(sha256sum "$dl/$dsc" | cut -d' ' -f1)
  if [ -z "$want" ]; then
    echo "web_build: $dsc is not in tools/source_checksums.txt (it has $have)" >&2; exit 1
  fi
  [ "$want" = "$have" ] || { echo "web_build: $dsc has checksum $have, not $want" >&2; exit 1; }
  local sum size name whole=1
  while read -r sum size name; do
    if [ ! -f "$dl/$name" ] && ! curl -fsS -o "$dl/$name" "$url/$name" 2>/dev/null; then
      # Some mirrors keep no old-style Debian diffs (*.diff.gz): the
      # upstream archive alone is built then, and the build says so.
      case $name in *.diff.gz) whole=0; continue ;; esac
      echo "web_build: cannot fetch $url/$name" >&2; exit 1
    fi
    [ "$(sha256sum "$dl/$name" | cut -d' ' -f1)" = "$sum" ] ||
      { echo "web_build: $name does not match $dsc" >&2; exit 1; }
  done < <(awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && NF == 3' "$dl/$dsc")
  rm -rf "$folder"
  if [ $whole = 1 ]; then
    (cd "$dl" && dpkg-source --no-check -x "$dsc" "$folder" >/dev/null)
  else
    echo "web_build: $src: the Debian diff is not on the mirror; building the upstream archive" >&2
    mkdir -p "$folder"
    tar -xf "$dl/$(awk '/^Checksums-Sha256:/ { on = 1; next } /^[^ ]/ { on = 0 } on && $3 ~ /orig\.tar/ { print $3; exit }' "$dl/$dsc")" \
      -C "$folder" --strip-components=1
  fi
  touch "$folder/.unpacked"
  echo "$folder"
}

# built NAME: true when NAME was built already for this version.
built() { [ -f "$prefix/.built-$1" ]; }
mark() { touch "$prefix/.built-$1"; }
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig:$prefix/share/pkgconfig
export CFLAGS="-O2" CXXFLAGS="-O2"
em_cmake() { nice -n 10 emcmake cmake -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" >/dev/null; }

build_sdl2() {
  local s; s=$(fetch_source libsdl2-dev)
  local id; id=$(basename "$s")
  built "$id" && return
  step "$id"
  rm -rf "$third/b-sdl2"
  em_cmake -S "$s" -B "$third/b-sdl2" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_PTHREADS=OFF \
    -DSDL_THREADS=OFF
  nice -n 10 cmake --build "$third/b-sdl2" -j"$jobs" >/dev/null
  cmake --install "$third/b-sdl2" >/dev/null
  mark "$id"; step_end "$id"
}

build_zlib() {
  local s; s=$(fetch_source zlib1g-dev)
  local id; id=$(basename "$s")
  built "$id" && return
  step "$id"
  (cd "$s" && nice -n 10 emconfigure ./configure --static --prefix="$prefix" >/dev/null &&
    nice -n 10 emmake make -j"$jobs" libz.a >/dev/null && emmake make install >/dev/null)
  mark "$id"; step_end "$id"
}

# autotools_build BINARY-PACKAGE SUBDIRS CONFIGURE-OPTION...: builds and
# installs the given folders of the package (its library's; tests and
# demos are left out).
autotools_build() {
  local s; s=$(fetch_source "$1"); shift
  local subdirs=$1; shift
  local id; id=$(basename "$s")
  built "$id" && return
  step "$id"
  rm -rf "$third/b-$id"; mkdir -p "$third/b-$id"
  # An old config.sub does not know emscripten: Debian's current one does.
  find "$s" -name config.sub -exec cp /usr/share/misc/config.sub {} \;
  find "$s" -name config.guess -exec cp /usr/share/misc/config.guess {} \;
  (cd "$third/b-$id" &&
    CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" nice -n 10 emconfigure "$s/configure" \
      --prefix="$prefix" --host=wasm32-unknown-emscripten --disable-shared --enable-static "$@" >configure.log 2>&1 &&
    nice -n 10 emmake make -j"$jobs" SUBDIRS="$subdirs" >make.log 2>&1 &&
    emmake make SUBDIRS="$subdirs" install >install.log 2>&1) ||
    { echo "web_build: $id failed; see $third/b-$id/*.log" >&2; exit 1; }
  mark "$id"; step_end "$id"
}

build_freetype() {
  local s; s=$(fetch_source libfreetype-dev)
  local id; id=$(basename "$s")
  built "$id" && return
  step "$id"
  rm -rf "$third/b-freetype"
  em_cmake -S "$s" -B "$third/b-freetype" -DFT_REQUIRE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
    -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  nice -n 10 cmake --build "$third/b-freetype" -j"$jobs" >/dev/null
  cmake --install "$third/b-freetype" >/dev/null
  mark "$id"; step_end "$id"
}

total_start=$(date +%s)
build_sdl2
build_zlib
autotools_build libpng-dev .
build_freetype
autotools_build libpixman-1-dev pixman --disable-openmp --disable-mmx --disable-sse2 --disable-ssse3 --disable-vmx \
  --disable-arm-simd --disable-arm-neon --disable-arm-iwmmxt --disable-mips-dspr2 --disable-gtk --disable-libpng
# (A cross build cannot run the float-order test: WebAssembly is little-endian.)
autotools_build libcairo2-dev src --enable-ft --enable-png --disable-fc --disable-xlib --disable-xcb --disable-gl \
  --disable-glesv2 --disable-egl --disable-script --disable-ps --disable-pdf --disable-svg --disable-interpreter \
  --disable-trace --disable-gobject --disable-full-testing --disable-valgrind --disable-symbol-lookup \
  --disable-pthread ax_cv_c_float_words_bigendian=no
echo "web_build: libraries ready after $(( $(date +%s) - total_start )) s" >&2

# The game, the library and the page.
step "the game"
if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  nice -n 10 emcmake cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOLBECK_TESTS=OFF \
    -DZOLBECK_WERROR=ON -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" "${launcher[@]}" >/dev/null
fi
nice -n 10 cmake --build "$build" -j"$jobs" "$@"
step_end "the game"
echo "web_build: the page is in $build/out ($(du -sh "$build/out" | cut -f1))" >&2
