#!/usr/bin/env bash
# Runs one fuzz target (fuzz/*.cpp) with AddressSanitizer and
# UndefinedBehaviorSanitizer for a number of seconds.
# Usage: tools/fuzz.sh TARGET SECONDS [libFuzzer option ...]
#        tools/fuzz.sh all SECONDS      (every target, two at a time)
#        tools/fuzz.sh build 0          (only builds the targets)
#        tools/fuzz.sh list
# The fuzz build lives in build-fuzz/ (clang, libFuzzer). What a run finds
# that is new stays in build-fuzz/corpus/TARGET; an input that fails is kept
# in build-fuzz/artifacts/TARGET/ and its report printed: copy it into
# fuzz/regressions/TARGET/ once mended, so that the tests replay it.
# The last line says how many inputs ran and the coverage reached.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZOLBECK_FUZZ_BUILD:-$root/build-fuzz}
targets=$(sed -n 's/^set(ZOLBECK_FUZZ_TARGETS \(.*\)/\1/p;/^    [a-z_ ]*)$/p' "$root/fuzz/CMakeLists.txt" | tr -d ')')

if [ "${1:-}" = list ]; then
  echo $targets
  exit 0
fi
if [ $# -lt 2 ]; then
  echo "usage: tools/fuzz.sh TARGET SECONDS [libFuzzer option ...] (targets: $(echo $targets))" >&2
  exit 2
fi
target=$1
seconds=$2
shift 2

if [ "$target" = all ]; then
  # Every target is built first, then they run two at a time (one a core),
  # each printing its summary as it ends.
  "$0" build 0
  status=0
  running=0
  for t in $targets; do
    if [ $running -ge 2 ]; then
      wait -n || status=1
      running=$((running - 1))
    fi
    ZOLBECK_FUZZ_BUILT=1 "$0" "$t" "$seconds" "$@" &
    running=$((running + 1))
  done
  while [ $running -gt 0 ]; do
    wait -n || status=1
    running=$((running - 1))
  done
  exit $status
fi
case " $(echo $targets) build " in
  *" $target "*) ;;
  *) echo "tools/fuzz.sh: no fuzz target $target (targets: $(echo $targets))" >&2; exit 2 ;;
esac

# clang and its libFuzzer runtime build the targets (see docs/ARCHITECTURE.md).
"$root/tools/deps.sh" clang-14 libclang-rt-14-dev
if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZOLBECK_FUZZ=ON -DZOLBECK_TESTS=OFF -DZOLBECK_SANITIZE=address,undefined "${launcher[@]}" >/dev/null
fi
if [ "$target" = build ]; then
  cmake --build "$build" -j "$(nproc)" --target $(printf 'fuzz_%s ' $targets) >/dev/null
  exit 0
fi
[ "${ZOLBECK_FUZZ_BUILT:-0}" = 1 ] || cmake --build "$build" -j "$(nproc)" --target "fuzz_$target" >/dev/null

corpus=$build/corpus/$target
artifacts=$build/artifacts/$target
mkdir -p "$corpus" "$artifacts" "$build/logs"
log=$build/logs/$target.log
seeds=("$root/fuzz/corpus/$target")
[ -d "$root/fuzz/regressions/$target" ] && seeds+=("$root/fuzz/regressions/$target")

export LSAN_OPTIONS="suppressions=$root/tools/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export ASAN_OPTIONS="abort_on_error=0:detect_leaks=1"
# The readers report refused files in message boxes, which the headless
# backend prints: the target's own output is closed while it runs, and a
# failing input is run once more afterwards to print its report.
# Inputs stop at 64 KiB, except the MIDI target's: it takes files up to the
# 16 MiB a MIDI file may have, and one byte more, so that it meets long
# pieces and the limit itself.
max_len=65536
[ "$target" = midi_file ] && max_len=$((16 * 1024 * 1024 + 1))
cd "$build"
set +e
"./fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
  -print_final_stats=1 -close_fd_mask=3 -artifact_prefix="$artifacts/" "$@" \
  "$corpus" "${seeds[@]}" >"$log" 2>&1
status=$?
set -e
failing=$(ls -t "$artifacts" 2>/dev/null | head -1)
if [ $status -ne 0 ] && [ -n "$failing" ]; then
  echo "fuzz_$target: failing input $artifacts/$failing" >&2
  "./fuzz_$target" "$artifacts/$failing" 2>&1 | grep -v '^elDraw\|^elSound\|^elSystem' | tail -40 >&2 || true
fi
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
units=$(ls "$corpus" | wc -l)
echo "fuzz_$target: ${runs:-0} runs in ${seconds} s, coverage ${cov:-?} edges, ${ft:-?} features, corpus $units, exit $status"
exit $status
