#!/usr/bin/env bash
# Builds the Debian packages into dist/:
#   zolbeck      the game, its data, the showcase and the music program, a
#                desktop entry with its icon, AppStream metadata, manual pages
#   zolbeck-dev  the library: headers, static libraries, CMake and pkg-config
# The programs and their data live together in /usr/lib/zolbeck (the library
# finds data beside the program); /usr/games holds links to them. Run-time
# dependencies are read off what the programs link (dpkg-shlibdeps), the
# -dev package's off the pkg-config modules the library's own file names.
# Usage: tools/debian_packages.sh [BUILD_FOLDER]   (default build-deb)
# A build folder that exists already is used as it is configured (the tests
# package their own build); a new one is configured as a release build.
# ZOLBECK_DIST names another folder for the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
tools/deps.sh dpkg-dev desktop-file-utils appstream

build=${1:-build-deb}
# Dates in the packages are the last commit's, so two builds give the same files.
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/CMakeCache.txt" ]; then
  # Hardened as Debian's own packages are: the C library's checked
  # functions, and relocations resolved at start and then made read-only.
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOLBECK_TESTS=OFF \
    -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2" -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" \
    -DCMAKE_INSTALL_PREFIX=/usr "${launcher[@]}" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target zolbeck zolbeck_showcase zolbeck_music gamedata
build=$(cd "$build" && pwd)

version=$(sed -n 's/^project(zolbeck VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
maintainer="zolbeck developers <maintainers@zolbeck.invalid>"
stage=$build/debian-stage
rm -rf "$stage"
dist=${ZOLBECK_DIST:-$root/dist}
mkdir -p "$dist" "$stage"

# Writes DEBIAN/control for the package staged in $1.
control() {
  local dir=$1 package=$2 section=$3 depends=$4 description=$5
  local size
  size=$(du -sk --exclude=DEBIAN "$dir" | cut -f1)
  mkdir -p "$dir/DEBIAN"
  {
    echo "Package: $package"
    echo "Version: $version"
    echo "Architecture: $arch"
    echo "Maintainer: $maintainer"
    echo "Installed-Size: $size"
    echo "Depends: $depends"
    echo "Section: $section"
    echo "Priority: optional"
    echo "Description: $description"
  } >"$dir/DEBIAN/control"
  (cd "$dir" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z |
    xargs -0 md5sum >DEBIAN/md5sums)
}

# The copyright file and a changelog, as every package has.
docs() {
  local dir=$1 package=$2
  local doc=$dir/usr/share/doc/$package
  mkdir -p "$doc"
  cp packaging/linux/copyright "$doc/copyright"
  printf '%s (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' \
    "$package" "$version" "$version" "$maintainer" "$(date -R -d @"$SOURCE_DATE_EPOCH")" |
    gzip -9n >"$doc/changelog.gz"
}

# --- zolbeck -------------------------------------------------------------
game=$stage/zolbeck
lib=$game/usr/lib/zolbeck
mkdir -p "$lib" "$game/usr/games"
# Stripped as Debian's own tools strip: the symbols, the compiler's notes.
unneeded=(--remove-section=.comment --remove-section=.note)
for program in zolbeck zolbeck_showcase zolbeck_music; do
  install -m 755 "$build/$program" "$lib/$program"
  strip --strip-unneeded "${unneeded[@]}" "$lib/$program"
  ln -s "../lib/zolbeck/$program" "$game/usr/games/$program"
done
# The data the generator wrote beside the programs, and the showcase's pack.
for data in BMP WAVE MIDI SOUND.PAK SHOWCASE.PAK stagedata.txt; do
  cp -r "$build/$data" "$lib/"
done
cp "$build"/map01_*.txt "$lib/"
find "$lib" -type f ! -perm -u+x -exec chmod 644 {} +
find "$lib" -type d -exec chmod 755 {} +

share=$game/usr/share
install -D -m 644 packaging/linux/zolbeck.desktop "$share/applications/zolbeck.desktop"
install -D -m 644 packaging/linux/zolbeck.metainfo.xml "$share/metainfo/org.zolbeck.zolbeck.metainfo.xml"
for icon in "$build"/icons/*/zolbeck.png; do
  size=$(basename "$(dirname "$icon")")
  install -D -m 644 "$icon" "$share/icons/hicolor/$size/apps/zolbeck.png"
done
# The manual pages come from the programs' own --help and --version.
mkdir -p "$share/man/man6"
manpage() { python3 tools/make_manpage.py "$build/$1" 6 "$2" ${3:+"$3"} | gzip -9n >"$share/man/man6/$1.6.gz"; }
manpage zolbeck "ゾルベック！, a 2D action game" packaging/linux/zolbeck.6.extra
manpage zolbeck_showcase "the showcase of the zolbeck game library"
manpage zolbeck_music "plays one MIDI piece through the zolbeck game library"
docs "$game" zolbeck

# What the programs link, as dpkg-shlibdeps finds it, then the data they read.
scratch=$build/debian-shlibs
rm -rf "$scratch" && mkdir -p "$scratch/debian"
printf 'Source: zolbeck\n\nPackage: zolbeck\nArchitecture: any\n' >"$scratch/debian/control"
shlibs=$(cd "$scratch" && dpkg-shlibdeps -O "$lib/zolbeck" "$lib/zolbeck_showcase" "$lib/zolbeck_music" 2>/dev/null |
  sed -n 's/^shlibs:Depends=//p')
control "$game" zolbeck games \
  "$shlibs, fonts-ipafont-gothic, fonts-ipafont-mincho, timgm6mb-soundfont | sf2-soundfont-gm" \
  "2D action game with a princess, her companions and a dragon
 ゾルベック！ (Zolbeck!) is a single-player 2D action game for an 800 x 600
 window: the princess swings her parasol to throw her companions at the
 soldiers, archers and the dragon of nine screens. It plays with the keyboard
 or a game pad, in a window or in full screen.
 .
 The package also holds the showcase and the music player of the game
 library it is built on."
dpkg-deb --root-owner-group -Zxz --build "$game" "$dist/zolbeck_${version}_${arch}.deb" >/dev/null

# --- zolbeck-dev ---------------------------------------------------------
dev=$stage/zolbeck-dev
DESTDIR=$dev cmake --install "$build" --prefix /usr >/dev/null
find "$dev" -name '*.a' -exec strip --strip-debug "${unneeded[@]}" --enable-deterministic-archives {} +
docs "$dev" zolbeck-dev
# Every pkg-config module the library needs names the -dev package that
# carries it.
modules=$(PKG_CONFIG_PATH=$dev/usr/lib/pkgconfig:$dev/usr/lib/$(gcc -print-multiarch)/pkgconfig${PKG_CONFIG_PATH:+:$PKG_CONFIG_PATH} \
  pkg-config --print-requires zolbeck | awk '{print $1}')
devdeps=()
for module in $modules; do
  pc=$(pkg-config --variable=pcfiledir "$module")/$module.pc
  devdeps+=("$(dpkg -S "$(readlink -f "$pc")" | head -1 | cut -d: -f1)")
done
depends=$(printf '%s\n' "${devdeps[@]}" | sort -u | paste -sd, | sed 's/,/, /g')
control "$dev" zolbeck-dev libdevel "$depends" \
  "game library of ゾルベック！: window, drawing, sound and input
 The zolbeck library (elSystem, elDraw, elSound, keyboard, mouse and
 joystick input) that the game ゾルベック！ is built on, for 800 x 600 games
 with sprites, software effects, text, sound objects, streams and MIDI.
 .
 This package holds the headers (<zolbeck/zolbeck.h>), the static
 libraries, a CMake package (find_package(zolbeck)) and a pkg-config file."
dpkg-deb --root-owner-group -Zxz --build "$dev" "$dist/zolbeck-dev_${version}_${arch}.deb" >/dev/null

ls -l "$dist"/*.deb
