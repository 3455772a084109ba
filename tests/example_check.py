#!/usr/bin/env python3
"""Runs an example program headless with scripted keys and checks what it did.

Usage: example_check.py [--expect X,Y=RRGGBB]... -- COMMAND [ARG...]

COMMAND (the program, or "wine PROGRAM.exe") runs in the current folder for
120 frame passes. The keys: Right held over frames 10 to 39, Space pressed
at frame 50, Down held over frames 60 to 69. The run must end with 0 and
write nothing on standard error (an error box prints its text there); its
sound must be silent before Space and not after; each --expect pixel of its
last picture must hold about that colour (the screen has 16-bit pixels).
"""
import struct
import subprocess
import sys
import wave

KEYS = """\
10 Right down
40 Right up
50 Space down
52 Space up
60 Down down
70 Down up
"""
SPACE_SECONDS = 50 * 0.013  # frame 50 of 13 ms slots
QUIET_UNTIL = 0.5           # seconds of silence the run must begin with
LOUD = 1000                 # the peak a chime reaches at the least


def fail(message):
    print(message)
    sys.exit(1)


def peaks(path):
    """The largest sample before QUIET_UNTIL and after SPACE_SECONDS."""
    with wave.open(path) as dump:
        if dump.getsampwidth() != 2:
            fail(f"{path}: {8 * dump.getsampwidth()}-bit samples, 16 expected")
        rate, channels = dump.getframerate(), dump.getnchannels()
        frames = dump.readframes(dump.getnframes())
    samples = struct.unpack(f"<{len(frames) // 2}h", frames)
    split = lambda seconds: int(seconds * rate) * channels
    before = max(map(abs, samples[:split(QUIET_UNTIL)]), default=0)
    after = max(map(abs, samples[split(SPACE_SECONDS):]), default=0)
    return before, after


def pixel(path, x, y):
    """(red, green, blue) of one pixel of an uncompressed 24- or 32-bit BMP."""
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
    if bits not in (24, 32):
        fail(f"{path}: {bits}-bit pixels")
    stride = (width * bits // 8 + 3) & ~3
    row = y if height < 0 else abs(height) - 1 - y
    at = offset + row * stride + x * bits // 8
    blue, green, red = data[at:at + 3]
    return red, green, blue


def main(argv):
    expects = []
    while argv and argv[0] != "--":
        if argv[0] == "--expect" and len(argv) > 1:
            place, colour = argv[1].split("=")
            expects.append((*map(int, place.split(",")), int(colour, 16)))
            argv = argv[2:]
        else:
            fail(__doc__)
    command = argv[1:]
    if not command:
        fail(__doc__)
    with open("keys.txt", "w") as f:
        f.write(KEYS)
    run = subprocess.run(command + ["--headless", "--frames", "120", "--keys", "keys.txt",
                                    "--audio-dump", "dump.wav", "--screenshot", "shot.bmp"],
                         stderr=subprocess.PIPE, text=True, errors="replace")
    if run.returncode != 0 or run.stderr:
        fail(f"{' '.join(command)}: exit code {run.returncode}\n{run.stderr}")
    before, after = peaks("dump.wav")
    if before != 0 or after < LOUD:
        fail(f"sound: peak {before} before Space (0 expected), {after} after it ({LOUD} at least)")
    for x, y, colour in expects:
        want = (colour >> 16, (colour >> 8) & 0xFF, colour & 0xFF)
        got = pixel("shot.bmp", x, y)
        if any(abs(g - w) > 8 for g, w in zip(got, want)):
            fail(f"pixel ({x}, {y}): {bytes(got).hex()}, {colour:06x} expected")
    print(f"{command[-1]}: silent before Space, peak {after} after it; {len(expects)} pixels as expected")


if __name__ == "__main__":
    main(sys.argv[1:])
