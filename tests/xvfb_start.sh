# Sourced by the window tests: starts a virtual X server of the size given
# (WIDTHxHEIGHT) on a display number the server picks itself (so two tests
# never meet on one), and a work folder, both removed when the test ends.
# Sets $display, $xvfb and $work (each call its own); skips the test (exit 77) when Xvfb is
# missing, fails when the server does not come up.
start_xvfb() {
  command -v Xvfb >/dev/null || { echo "Xvfb is not installed"; exit 77; }
  work=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
  xvfb=$!
  # A second call starts a second server; the end of the test removes all.
  xvfb_all="${xvfb_all:-} $xvfb"
  work_all="${work_all:-} $work"
  trap 'kill $xvfb_all 2>/dev/null; rm -rf $work_all' EXIT
  display=
  for _ in $(seq 200); do
    display=$(tr -dc 0-9 < "$work/display")
    [ -n "$display" ] && [ -e "/tmp/.X11-unix/X$display" ] && return 0
    kill -0 $xvfb 2>/dev/null || break
    sleep 0.1
  done
  echo "the virtual X server did not start"
  exit 1
}

# Waits until FILE has something in it (a game's first trace line) while the
# process PID runs, for at most SECONDS (default 10); true when it has.
wait_for_file() {
  local file=$1 pid=$2 tries=$((${3:-10} * 10))
  for _ in $(seq $tries); do
    [ -s "$file" ] && return 0
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -s "$file" ]
}
