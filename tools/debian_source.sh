#!/usr/bin/env bash
# Fetches the upstream (.orig) archive of a Debian source package into a
# folder and prints the archive's path, after checking it against the
# SHA-256 kept for its file name in tools/source_checksums.txt.
# Usage: tools/debian_source.sh SOURCE-PACKAGE[=VERSION] DEST-FOLDER
#
# The archive comes from the mirrors this machine's apt already uses: the
# deb entries of /etc/apt/sources.list and /etc/apt/sources.list.d/ are
# turned into deb-src entries in a private apt configuration under
# build-apt/ (its own lists, cache and state), so nothing on the system
# changes. apt checks the download against the signed source index; this
# script then checks it against the project's own value before anyone
# unpacks it. An archive already in DEST-FOLDER that matches is used as it
# is, without the network.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: tools/debian_source.sh SOURCE-PACKAGE[=VERSION] DEST-FOLDER" >&2
  exit 2
fi
wanted=$1 dest=$2
pkg=${wanted%%=*}
root=$(cd "$(dirname "$0")/.." && pwd)
sums=$root/tools/source_checksums.txt
mkdir -p "$dest"
dest=$(cd "$dest" && pwd)

# The project's value for an archive name; empty when there is none.
expected() { awk -v f="$1" '$2 == f || $2 == "*" f { print $1; exit }' "$sums"; }

# Checks an archive against the project's value; says why it refuses.
verify() {
  local file=$1 name want have
  name=$(basename "$file")
  want=$(expected "$name")
  if [ -z "$want" ]; then
    echo "debian_source: no SHA-256 for $name in tools/source_checksums.txt" >&2
    return 1
  fi
  have=$(sha256sum "$file" | cut -d' ' -f1)
  if [ "$have" != "$want" ]; then
    echo "debian_source: $name has SHA-256 $have, tools/source_checksums.txt expects $want" >&2
    return 1
  fi
}

# An archive fetched before is used again when it still matches.
if [ "$wanted" = "$pkg" ]; then
  for file in "$dest/${pkg}"_*.orig.tar.*; do
    case $file in *.asc) continue ;; esac
    [ -f "$file" ] && [ -n "$(expected "$(basename "$file")")" ] || continue
    verify "$file" || exit 1
    echo "$file"
    exit 0
  done
fi

# The private apt configuration: source entries derived from the machine's.
apt=$root/build-apt
mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/preferences.d"
: >"$apt/sources.list"
rm -f "$apt/sources.list.d/"*
n=0
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' "$f" >>"$apt/sources.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  n=$((n + 1))
  # Each stanza names the same mirrors and suites for sources.
  sed 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources.list.d/$n-$(basename "$f")"
done

aptopts=(
  -o Dir::Etc::SourceList="$apt/sources.list"
  -o Dir::Etc::SourceParts="$apt/sources.list.d"
  -o Dir::Etc::PreferencesParts="$apt/preferences.d"
  -o Dir::State::Lists="$apt/lists"
  -o Dir::Cache="$apt/cache"
  -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=
  -o APT::Sandbox::User="$(id -un)"
  -o Debug::NoLocking=1
)
if ! apt-get "${aptopts[@]}" -q update >"$apt/update.log" 2>&1; then
  echo "debian_source: the source indexes could not be read (see $apt/update.log)" >&2
  exit 1
fi

# "'URI' NAME SIZE SHA256:HASH" lines; the upstream archive is the .orig one.
uris=$(cd "$apt" && apt-get "${aptopts[@]}" -q source --print-uris "$wanted" 2>"$apt/source.log") || {
  echo "debian_source: no source package $wanted in the machine's apt sources (see $apt/source.log)" >&2
  exit 1
}
line=$(printf '%s\n' "$uris" | awk -v p="$pkg" '$1 ~ /^'\''/ && index($2, p "_") == 1 && $2 ~ /\.orig\.tar\.[a-z0-9]+$/ { print; exit }')
if [ -z "$line" ]; then
  echo "debian_source: $wanted has no upstream archive" >&2
  exit 1
fi
read -r uri name _ hash <<<"$line"
uri=${uri//\'/}
[ -n "$(expected "$name")" ] || { verify "$name"; exit 1; }

part=$apt/cache/archives/partial/$name
rm -f "$part"
if ! /usr/lib/apt/apt-helper "${aptopts[@]}" -q download-file "$uri" "$part" "$hash" >"$apt/download.log" 2>&1; then
  echo "debian_source: $uri could not be fetched (see $apt/download.log)" >&2
  rm -f "$part"
  exit 1
fi
if ! verify "$part"; then
  rm -f "$part"
  exit 1
fi
mv "$part" "$dest/$name"
echo "$dest/$name"
