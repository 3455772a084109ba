#!/usr/bin/env bash
# The Debian packages made from this build: what they hold, the desktop entry,
# the AppStream metadata, the manual pages, that the installed programs write
# nothing into their folder, and lintian's verdict.
# Usage: tests/debian_packages.sh SOURCE_DIR BUILD_DIR   (skips with 77 off Debian)
set -euo pipefail
source_dir=$1
build=$2
for tool in dpkg-deb dpkg-shlibdeps desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done
dist=$build/dist-check
rm -rf "$dist"
ZOLBECK_DIST=$dist "$source_dir/tools/debian_packages.sh" "$build" >/dev/null
game=$(ls "$dist"/zolbeck_*.deb)
dev=$(ls "$dist"/zolbeck-dev_*.deb)
fail() { echo "$*"; exit 1; }

# What each package holds.
contents=$(dpkg-deb -c "$game")
list=$(awk '{print $6}' <<<"$contents")
for want in ./usr/lib/zolbeck/zolbeck ./usr/lib/zolbeck/zolbeck_showcase ./usr/lib/zolbeck/zolbeck_music \
    ./usr/lib/zolbeck/BMP/princess.bmp ./usr/lib/zolbeck/SOUND.PAK ./usr/lib/zolbeck/MIDI/field.mid \
    ./usr/lib/zolbeck/stagedata.txt ./usr/lib/zolbeck/SHOWCASE.PAK ./usr/games/zolbeck \
    ./usr/share/applications/zolbeck.desktop ./usr/share/metainfo/org.zolbeck.zolbeck.metainfo.xml \
    ./usr/share/icons/hicolor/64x64/apps/zolbeck.png ./usr/share/man/man6/zolbeck.6.gz \
    ./usr/share/doc/zolbeck/copyright; do
  grep -qx -- "$want" <<<"$list" || fail "zolbeck lacks $want"
done
grep -q 'usr/games/zolbeck -> ../lib/zolbeck/zolbeck' <<<"$contents" || fail "no link on the PATH"
devlist=$(dpkg-deb -c "$dev" | awk '{print $6}' | grep -v '/$' || true)
grep -qx './usr/include/zolbeck/zolbeck.h' <<<"$devlist" || fail "zolbeck-dev lacks the umbrella header"
grep -q 'cmake/zolbeck/zolbeckConfig.cmake$' <<<"$devlist" || fail "zolbeck-dev lacks the CMake package"
grep -q 'pkgconfig/zolbeck.pc$' <<<"$devlist" || fail "zolbeck-dev lacks the pkg-config file"
other=$(grep -v -e '^./usr/include/zolbeck/' -e '/cmake/zolbeck/' -e '/pkgconfig/zolbeck.pc$' \
  -e '/libzolbeck[a-z_]*\.a$' -e '^./usr/share/doc/zolbeck-dev/' <<<"$devlist" || true)
[ -z "$other" ] || fail "zolbeck-dev holds more than the library: $other"

# Dependencies read off the programs, not a list by hand.
depends=$(dpkg-deb -f "$game" Depends)
grep -q 'libsdl2-2.0-0' <<<"$depends" && grep -q 'libfluidsynth' <<<"$depends" || fail "Depends: $depends"
dpkg-deb -f "$dev" Depends | grep -q 'libsdl2-dev' || fail "zolbeck-dev Depends: $(dpkg-deb -f "$dev" Depends)"

# The desktop entry and the metadata, as the desktop's own checkers read them.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$game" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/zolbeck.desktop"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.zolbeck.zolbeck.metainfo.xml" >/dev/null
grep -qx 'Exec=zolbeck' "$work/root/usr/share/applications/zolbeck.desktop" || fail "the entry does not start zolbeck"

# The manual page lists every option the program's --help lists.
page=$(zcat "$work/root/usr/share/man/man6/zolbeck.6.gz")
for option in $("$build/zolbeck" --help | grep -o '^  --[a-z-]*'); do
  grep -q -- "^\.B ${option//-/\\\\-}" <<<"$page" || fail "the manual page lacks $option"
  grep -q -- "\`$option" "$source_dir/README.md" || fail "README.md lacks $option"
done
grep -q '^\.SH KEYS' <<<"$page" || fail "the manual page has no keys"

# Nothing is written into the installation's folder at run time: it is made
# read-only (root writes all the same, so its listing is compared after the
# runs below). The showcase's pack scene on a full-colour desktop makes its
# pack in the user's cache folder instead.
chmod -R a-w "$work/root/usr/lib/zolbeck"
listing() { find "$work/root/usr/lib/zolbeck" -printf '%P %s %T@\n' | sort; }
before=$(listing)
mkdir -p "$work/home"
user() { (cd "$work" && env -u XDG_CACHE_HOME HOME="$work/home" "$@"); }
for depth in 24 32; do
  user "$work/root/usr/games/zolbeck_showcase" --headless --depth $depth --scene 8 --frames 30 2>"$work/err.txt" &&
    [ ! -s "$work/err.txt" ] || fail "the showcase's pack scene at depth $depth: $(cat "$work/err.txt")"
done
[ -s "$work/home/.cache/zolbeck/SHOWCASE.PAK" ] || fail "the showcase made no pack in ~/.cache/zolbeck"
user "$work/root/usr/games/zolbeck_music" --headless --frames 60 || fail "the music program did not run"

# The installed game finds its data through the link, from any folder: its
# run is the build's own, run in the build folder.
user "$work/root/usr/games/zolbeck" --headless --frames 30 --seed 3 --trace "$work/installed.jsonl" ||
  fail "the installed game did not run"
(cd "$build" && ./zolbeck --headless --frames 30 --seed 3 --trace "$work/built.jsonl")
cmp -s "$work/installed.jsonl" "$work/built.jsonl" || fail "the installed game's run differs from the build's"
[ "$(wc -l <"$work/installed.jsonl")" -eq 30 ] || fail "the installed game ran $(wc -l <"$work/installed.jsonl") frames"
[ "$(listing)" = "$before" ] || fail "the programs wrote into /usr/lib/zolbeck: $(diff <(echo "$before") <(listing) | head -5)"
chmod -R u+w "$work/root/usr/lib/zolbeck"

if command -v lintian >/dev/null; then
  errors=$(lintian "$game" "$dev" 2>/dev/null | grep -E '^E:' || true)
  [ -z "$errors" ] || fail "lintian: $errors"
fi
echo "both packages hold what they should; the installed programs run from any folder and write nothing into theirs"
