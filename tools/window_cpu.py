#!/usr/bin/env python3
"""Measures the processor time of the game in a real window.

Starts a virtual X server (Xvfb), runs the game there for a number of frames
and prints its wall time, its processor time (user + system) per frame and
as a share of one core, the X server's own share, and how the frame slots
fell (from the game's --trace).

Usage: tools/window_cpu.py [--frames N] [--runs R] [--present PATH]
                           [--screen WxH] [--fullscreen] [--option ARG]... GAME_FOLDER
  GAME_FOLDER   a built game folder (build or build-test) holding zolbeck
  --frames N    frames to run (default 750, ten seconds at 75 frames a second)
  --runs R      repeat the run R times and print each (default 1)
  --present P   ask the window for one way of presenting (surface, software,
                opengl, ...; sets ZOLBECK_PRESENT); default "auto", the
                game's own choice
  --screen WxH  the virtual screen's size (default 1024x768)
  --fullscreen  run the game in full screen (its --fullscreen)
  --option ARG  one more argument for the game (--option=--integer-scale)
"""
import argparse
import collections
import os
import random
import resource
import subprocess
import sys
import tempfile
import time


def process_ticks(pid):
    """User + system clock ticks a process has used so far."""
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def start_xvfb(screen):
    for _ in range(20):
        display = random.randint(200, 900)
        if os.path.exists(f"/tmp/.X11-unix/X{display}"):
            continue
        xvfb = subprocess.Popen(
            ["Xvfb", f":{display}", "-screen", "0", f"{screen}x24", "-nolisten", "tcp",
             "-noreset"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{display}"):
                return xvfb, display
            if xvfb.poll() is not None:
                break
            time.sleep(0.05)
        xvfb.kill()
        xvfb.wait()
    sys.exit("cannot start Xvfb")


def one_run(folder, frames, present, extra, xvfb, display):
    # Another copy of the game open in a window (anyone's, on this machine)
    # makes this one give way at once with an empty trace: try again.
    for _ in range(30):
        if try_run(folder, frames, present, extra, xvfb, display):
            return
        time.sleep(1)
    sys.exit("the game never ran: another copy stays open in a window")


def try_run(folder, frames, present, extra, xvfb, display):
    with tempfile.TemporaryDirectory() as work:
        trace = os.path.join(work, "trace.jsonl")
        env = dict(os.environ, DISPLAY=f":{display}")
        env["ZOLBECK_PRESENT"] = present
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        xvfb_before = process_ticks(xvfb.pid)
        start = time.monotonic()
        result = subprocess.run([os.path.join(folder, "zolbeck"), "--frames", str(frames),
                                 "--seed", "7", "--trace", trace] + extra, cwd=folder, env=env)
        wall = time.monotonic() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        xvfb_cpu = (process_ticks(xvfb.pid) - xvfb_before) / os.sysconf("SC_CLK_TCK")
        cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
        ticks = []
        with open(trace) as f:
            for line in f:
                ticks.append(int(line.split('"tick":', 1)[1].split(",", 1)[0]))
    if result.returncode == 0 and not ticks:
        return False
    if result.returncode != 0 or len(ticks) != frames:
        sys.exit(f"the game ended with code {result.returncode} after {len(ticks)} frames")
    slots = collections.Counter(b - a for a, b in zip(ticks, ticks[1:]))
    print(f"{frames} frames in {wall:.2f} s; game {cpu:.2f} s of CPU = "
          f"{1000 * cpu / frames:.2f} ms a frame = {100 * cpu / wall:.1f} % of one core; "
          f"Xvfb {100 * xvfb_cpu / wall:.1f} %")
    print("  frame slots (ms: count): " +
          ", ".join(f"{ms}: {n}" for ms, n in sorted(slots.items())))
    return True


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("folder")
    parser.add_argument("--frames", type=int, default=750)
    parser.add_argument("--runs", type=int, default=1)
    parser.add_argument("--present", default="auto")
    parser.add_argument("--screen", default="1024x768")
    parser.add_argument("--fullscreen", action="store_true")
    parser.add_argument("--option", action="append", default=[])
    args = parser.parse_args()
    folder = os.path.abspath(args.folder)
    extra = (["--fullscreen"] if args.fullscreen else []) + args.option
    xvfb, display = start_xvfb(args.screen)
    try:
        for _ in range(args.runs):
            one_run(folder, args.frames, args.present, extra, xvfb, display)
    finally:
        xvfb.terminate()
        xvfb.wait()


if __name__ == "__main__":
    main()
