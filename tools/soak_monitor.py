#!/usr/bin/env python3
"""The soak of tools/soak.sh: writes a seeded random key script, runs the
game headless with it, counts frames from the trace (read through a pipe,
so an hour of trace takes no disk), and watches the game's memory.

Usage: soak_monitor.py GAME MINUTES SEED
"""
import os
import random
import re
import signal
import subprocess
import sys
import tempfile
import threading
import time

KEYS = ["Left", "Right", "Up", "Down", "C", "V", "Space"]
# Memory first rises by about 1 MB as random play touches the fixed pools,
# the screens and the allocator's arena for the first time, most of it in
# the first 100,000 frames, and is flat after that. The baseline is taken at
# frame 100,000 (or, on a machine too slow to get there in a quarter of the
# run, at whatever frame past 10,000 a quarter of the run has reached), so
# that a one-minute soak measures growth rather than that warm-up.
BASELINE_FRAME = 10_000
SETTLED_FRAME = 100_000
ALLOWED_GROWTH_KB = 1024


# A key script may have at most 16 MiB; the soak's stays below this.
SCRIPT_LIMIT = 15 * 1024 * 1024


def write_script(path, seed, frames):
    """Random holds of the game's keys, one change every 1 to 150 frames,
    and Enter tapped every 15 s of game time (it starts the stage again once
    it has ended, and does nothing before). Returns the number of frames
    the script covers: all of them, or fewer where the script would pass
    SCRIPT_LIMIT (about 80 million frames)."""
    rng = random.Random(seed)
    held = set()
    frame = 1
    next_enter = 900
    size = 0
    with open(path, "w") as f:
        while frame < frames:
            if frame >= next_enter:
                line = f"{frame} Enter down\n{frame + 2} Enter up\n"
                frame += 3
                next_enter = frame + 900
            else:
                key = rng.choice(KEYS)
                line = f"{frame} {key} {'up' if key in held else 'down'}\n"
                held ^= {key}
                frame += rng.randint(1, 150)
            if size + len(line) > SCRIPT_LIMIT:
                return frame
            f.write(line)
            size += len(line)
    return frames


def rss_kb(pid):
    """(present, peak) resident memory of a process in KiB."""
    now = peak = 0
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                now = int(line.split()[1])
            elif line.startswith("VmHWM:"):
                peak = int(line.split()[1])
    return now, peak


def main():
    game, minutes, seed = sys.argv[1], float(sys.argv[2]), int(sys.argv[3])
    seconds = minutes * 60
    # More frames than the run is likely to reach (about 8000 a second
    # here): the soak ends on time, or when the game has played them all.
    frames = int(seconds * 20_000) + 20_000
    work = tempfile.mkdtemp(prefix="zolbeck-soak-")
    keys = os.path.join(work, "keys.txt")
    trace = os.path.join(work, "trace.fifo")
    frames = write_script(keys, seed, frames)
    os.mkfifo(trace)

    state = {"frames": 0, "restarts": 0, "last_hp": None}
    hp_pattern = re.compile(rb'"player":\{"x":[^,]*,"y":[^,]*,"hp":(-?\d+)')

    def read_trace():
        with open(trace, "rb") as f:
            for line in f:
                state["frames"] += 1
                m = hp_pattern.search(line)
                if m:
                    hp = int(m.group(1))
                    if state["last_hp"] is not None and state["last_hp"] <= 0 < hp:
                        state["restarts"] += 1
                    state["last_hp"] = hp

    reader = threading.Thread(target=read_trace, daemon=True)
    reader.start()
    # The audio dump goes to /dev/null: written in full, kept nowhere.
    game_run = subprocess.Popen(
        [game, "--headless", "--frames", str(frames), "--keys", keys, "--seed", str(seed),
         "--trace", trace, "--audio-dump", "/dev/null"],
        stdout=subprocess.DEVNULL, stderr=open(os.path.join(work, "stderr.txt"), "w"))

    start = time.monotonic()
    baseline = None
    baseline_frame = 0
    peak_after = 0
    now = peak = 0
    failed = None
    minute = 1
    while True:
        time.sleep(0.2)
        if game_run.poll() is not None:
            if game_run.returncode != 0:
                failed = f"the game failed with exit code {game_run.returncode}"
            break
        try:
            now, peak = rss_kb(game_run.pid)
        except OSError:
            continue
        elapsed = time.monotonic() - start
        settled = state["frames"] >= SETTLED_FRAME or elapsed >= seconds / 4
        if baseline is None and state["frames"] >= BASELINE_FRAME and settled:
            baseline = now
            baseline_frame = state["frames"]
        if baseline is not None:
            peak_after = max(peak_after, now)
        if elapsed >= minute * 60 or elapsed >= seconds:
            print(f"soak: minute {minute}: frames {state['frames']}, restarts {state['restarts']}, "
                  f"memory {now} KiB (peak {peak} KiB; {baseline} KiB at frame {baseline_frame})",
                  flush=True)
            minute += 1
        if elapsed >= seconds:
            break

    if game_run.poll() is None:
        game_run.send_signal(signal.SIGTERM)
        try:
            game_run.wait(10)
        except subprocess.TimeoutExpired:
            game_run.kill()
            game_run.wait()
    reader.join(5)
    if failed is None and baseline is None:
        failed = f"only {state['frames']} frames ran, too few for a baseline"
    if failed is None and peak_after - baseline > ALLOWED_GROWTH_KB:
        failed = f"memory grew by {peak_after - baseline} KiB after frame {baseline_frame}"
    with open(os.path.join(work, "stderr.txt"), errors="replace") as f:
        errors = f.read().strip()
    subprocess.run(["rm", "-rf", work])
    growth = peak_after - baseline if baseline is not None else 0
    print(f"soak: {state['frames']} frames in {minutes:g} min, {state['restarts']} restarts, "
          f"final memory {now} KiB, peak {peak} KiB, growth after frame {baseline_frame} {growth} KiB")
    if failed:
        print(f"soak: FAILED: {failed}", file=sys.stderr)
        if errors:
            print(errors[-2000:], file=sys.stderr)
        sys.exit(1)


if __name__ == "__main__":
    main()
