# Sourced by the window tests: starts a virtual X server of the size given
# (WIDTHxHEIGHT) on a free-looking display number and a work folder, both
# removed when the test ends. Sets $display, $xvfb and $work; skips the test
# (exit 77) when Xvfb is missing.
start_xvfb() {
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 77; }
  work=$(mktemp -d)
  display=$((100 + RANDOM % 400))
  Xvfb ":$display" -screen 0 "$1x24" -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
  done
}
