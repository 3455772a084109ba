#!/usr/bin/env bash
# The test suite of the Windows build, run under Wine in the build's own
# prefix with the headless backend. Skipped (77) when the Windows build or
# Wine is missing (tools/windows_build.sh makes it). Wine's ALSA driver
# gets a silent device of its own (alsa_null.conf), so the win32 backend's
# sound stream is tested without a sound card.
# Usage: windows_suite.sh SOURCE_DIR
set -u
out=$1/build-win
if [ ! -x "$out/zolbeck_tests.exe" ] || ! command -v wine >/dev/null; then
  echo "no Windows build in $out or no Wine: skipped"
  exit 77
fi
export WINEPREFIX=$out/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
[ -f /usr/share/alsa/alsa.conf ] && export ALSA_CONFIG_PATH=$1/tests/alsa_null.conf
cd "$out" && wine ./zolbeck_tests.exe --gtest_brief=1
