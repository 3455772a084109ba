#!/usr/bin/env bash
# Installs the game's package into a fresh Debian 12 root, as a new player's
# machine would have it, and runs it there as a normal user: --help,
# --version, a headless run with a screenshot, the manual page (man-db), the
# desktop entry, the programs and the music player, and that nothing was
# written into the installation's folder. With Xvfb on this machine it also
# runs a window in the root, on a virtual X server of its own, with --sound
# and an audio dump (the root has no sound device).
#
# Usage (as root, with the network mirror apt uses):
#   tools/debian_root_check.sh [PACKAGE.deb]   (default: dist/zolbeck_VERSION_ARCH.deb)
# The minimal root is made once with debootstrap from the machine's own
# Debian mirror and kept in $ZOLBECK_DEBROOT_CACHE (default
# ~/.cache/zolbeck-debroot); every check runs in a copy of it, removed
# afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "debian_root_check.sh needs root (debootstrap, chroot)" >&2; exit 1; }

version=$(sed -n 's/^project(zolbeck VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
arch=$(dpkg --print-architecture)
deb=${1:-dist/zolbeck_${version}_${arch}.deb}
[ -f "$deb" ] || { echo "no package $deb: tools/debian_packages.sh makes it" >&2; exit 1; }
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")
tools/deps.sh debootstrap

# The mirror the machine's apt uses for Debian itself (deb822 or one-line
# sources), else Debian's own.
mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
  awk '/^URIs:/ {uri=$2} /^Suites:/ && / bookworm( |$)/ {print uri; exit}')
[ -n "$mirror" ] || mirror=$(grep -hs '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list |
  awk '$3 == "bookworm" {print $2; exit}')
mirror=${mirror:-http://deb.debian.org/debian}

cache=${ZOLBECK_DEBROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zolbeck-debroot}
mkdir -p "$cache"
if [ ! -x "$cache/base/bin/sh" ]; then
  echo "Making a minimal Debian 12 root from $mirror (once; a few minutes)" >&2
  rm -rf "$cache/base.new"
  debootstrap --variant=minbase bookworm "$cache/base.new" "$mirror" >"$cache/debootstrap.log" 2>&1 ||
    { tail -20 "$cache/debootstrap.log" >&2; exit 1; }
  mv "$cache/base.new" "$cache/base"
fi

# A fresh copy of the root for this check, with /proc, the name servers and
# the X server's sockets of this machine.
chroot_dir=$(mktemp -d "$cache/root.XXXXXX")
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  for mount in tmp/.X11-unix proc; do
    mountpoint -q "$chroot_dir/$mount" && umount -l "$chroot_dir/$mount"
  done
  rm -rf --one-file-system "$chroot_dir"
}
trap cleanup EXIT
cp -a "$cache/base/." "$chroot_dir/"
mount -t proc proc "$chroot_dir/proc"
cp /etc/resolv.conf "$chroot_dir/etc/resolv.conf" 2>/dev/null || true
inside() { chroot "$chroot_dir" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 "$@"; }
# A login shell, as a player who logs in has it (its PATH holds /usr/games).
as_player() { inside su -l player -c "export LANG=C.UTF-8; $1"; }
fail() { echo "FAILED: $*"; exit 1; }

cp "$deb" "$chroot_dir/tmp/"
echo "== apt-get install ./$(basename "$deb") (and man-db, to read its page)"
inside sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  /tmp/$(basename "$deb") man-db" >"$cache/install.log" 2>&1 || { tail -30 "$cache/install.log"; fail "install"; }
grep -c '^Setting up' "$cache/install.log" | sed 's/^/packages set up: /'
inside useradd -m player
listing() { inside find /usr/lib/zolbeck -printf '%p %s %T@\n' | sort; }
before=$(listing)

echo "== zolbeck --help | head -3; --version"
as_player 'zolbeck --help' >"$cache/help.txt" || fail "zolbeck --help"
head -3 "$cache/help.txt"
as_player 'zolbeck --version' || fail "zolbeck --version"
for program in zolbeck_showcase zolbeck_music; do
  as_player "$program --help >/dev/null && $program --version" || fail "$program --help/--version"
done

echo "== zolbeck --headless --frames 60 --screenshot /tmp/x.bmp (as player, from ~)"
as_player 'rm -f /tmp/x.bmp; zolbeck --headless --frames 60 --screenshot /tmp/x.bmp' || fail "headless run"
size=$(stat -c %s "$chroot_dir/tmp/x.bmp" 2>/dev/null || echo 0)
[ "$size" -eq 1440058 ] || fail "the screenshot has $size bytes"
echo "screenshot: $size bytes (800 x 600, 24 bits)"
as_player 'zolbeck_showcase --headless --scene 8 --frames 30 --depth 32' || fail "the showcase's pack scene"
[ -f "$chroot_dir/home/player/.cache/zolbeck/SHOWCASE.PAK" ] || fail "the showcase made no pack in ~/.cache/zolbeck"
as_player 'zolbeck_music --headless --frames 30' >/dev/null 2>&1 || fail "zolbeck_music"

echo "== man 6 zolbeck"
as_player 'MANWIDTH=80 man -P cat 6 zolbeck 2>/dev/null' >"$cache/man.txt" || fail "man zolbeck"
head -4 "$cache/man.txt"
grep -q -- '--help' "$cache/man.txt" || fail "the manual page lists no --help"

echo "== the desktop entry"
entry=$chroot_dir/usr/share/applications/zolbeck.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry")
icon=$(sed -n 's/^Icon=//p' "$entry")
as_player "command -v $exec_line" || fail "Exec=$exec_line is not on a player's PATH"
ls "$chroot_dir/usr/share/icons/hicolor/"*/apps/"$icon.png" >/dev/null || fail "no icon $icon"
echo "Exec=$exec_line Icon=$icon: found"

# A window in the root, on a virtual X server of this machine.
if command -v Xvfb >/dev/null; then
  echo "== a window run (Xvfb)"
  mkdir -p "$chroot_dir/tmp/.X11-unix"
  mount --bind /tmp/.X11-unix "$chroot_dir/tmp/.X11-unix"
  displayfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$displayfile" >/dev/null 2>&1 &
  xvfb=$!
  display=
  for _ in $(seq 100); do
    display=$(tr -dc 0-9 <"$displayfile")
    [ -n "$display" ] && [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
  done
  rm -f "$displayfile"
  [ -n "$display" ] || fail "the virtual X server did not start"
  # The root has no sound device: the game says so once, and its dump is
  # written all the same.
  as_player "rm -f /tmp/w.bmp /tmp/w.wav; DISPLAY=:$display zolbeck --frames 120 --sound \
    --screenshot /tmp/w.bmp --audio-dump /tmp/w.wav" || fail "the window run"
  size=$(stat -c %s "$chroot_dir/tmp/w.bmp" 2>/dev/null || echo 0)
  [ "$size" -eq 1440058 ] || fail "the window's screenshot has $size bytes"
  dumped=$(( ($(stat -c %s "$chroot_dir/tmp/w.wav") - 44) / 4 ))
  [ "$dumped" -gt 44100 ] || fail "the window's audio dump holds $dumped frames"
  echo "120 frames in a window on :$display, screenshot $size bytes, audio dump $dumped frames"
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  xvfb=
else
  echo "(no Xvfb here: no window run)"
fi

after=$(listing)
[ "$before" = "$after" ] || fail "the runs changed /usr/lib/zolbeck: $(diff <(echo "$before") <(echo "$after") | head)"
echo "nothing was written into /usr/lib/zolbeck"
echo "the package installs into a fresh Debian 12 root and runs there for a normal user"
