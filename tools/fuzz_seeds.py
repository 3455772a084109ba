#!/usr/bin/env python3
"""Writes the small seed corpora of the fuzz targets into fuzz/corpus/.

Usage: tools/fuzz_seeds.py BUILD_FOLDER
BUILD_FOLDER holds the generated game data (pictures, stage, MIDI); the
seeds take its small files and small pieces of the large ones, and add a few
made here so that every kind the readers take starts in the corpus.
"""
import os
import struct
import sys

build = sys.argv[1]
out_root = os.path.join(os.path.dirname(__file__), "..", "fuzz", "corpus")


def put(target, name, data):
    folder = os.path.join(out_root, target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("cp932")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def bmp(width, height, bits, rows, palette=b"", compression=0, top_down=False, header=40, masks=b""):
    info_size = header
    pixels = b"".join(rows)
    offset = 14 + info_size + len(masks) + len(palette)
    h = -height if top_down else height
    info = struct.pack("<IiiHHIIiiII", info_size, width, h, 1, bits, compression, len(pixels),
                       2835, 2835, len(palette) // 4, 0)
    info += b"\0" * (info_size - len(info))
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + masks + palette + pixels


def row(data):
    return data + b"\0" * (-len(data) % 4)


# Pictures: each bit depth and both run-length kinds, plus one of the game's.
grey = b"".join(bytes([i, i, i, 0]) for i in range(0, 256, 16))
put("bmp", "pal8.bmp", bmp(4, 3, 8, [row(bytes([0, 1, 2, 3]))] * 3, palette=grey))
put("bmp", "pal4.bmp", bmp(5, 2, 4, [row(b"\x01\x23\x40")] * 2, palette=grey))
put("bmp", "mono.bmp", bmp(9, 2, 1, [row(b"\xaa\x80")] * 2, palette=b"\0\0\0\0\xff\xff\xff\0"))
put("bmp", "rgb24_topdown.bmp", bmp(3, 2, 24, [row(b"\x00\x00\xff\x00\xff\x00\xff\x00\x00")] * 2, top_down=True))
put("bmp", "rgb16_fields.bmp", bmp(2, 2, 16, [row(b"\x00\xf8\xe0\x07")] * 2, compression=3,
                                   masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F)))
put("bmp", "rgb32.bmp", bmp(2, 2, 32, [b"\x10\x20\x30\x00\x40\x50\x60\x00"] * 2))
put("bmp", "rle8.bmp", bmp(6, 2, 8, [b"\x03\x01\x00\x03\x04\x05\x06\x00", b"\x00\x00\x06\x02\x00\x01"],
                           palette=grey, compression=1))
put("bmp", "rle4.bmp", bmp(6, 2, 4, [b"\x06\x12\x00\x00\x00\x03\x34\x50\x00\x01"], palette=grey, compression=2))
with open(os.path.join(build, "BMP", "Ya.bmp"), "rb") as f:
    put("bmp", "game_ya.bmp", f.read())


# Sprite packs: width, height (16 bits each), the name, 15-bit pixels.
def pack_entry(name, width, height):
    pixels = b"".join(struct.pack("<H", (x * 31 + y * 1000) & 0x7FFF) for y in range(height) for x in range(width))
    return struct.pack("<HH", width, height) + name.encode() + b"\0" + pixels


put("sprite_pack", "one.pak", pack_entry("FUZZ.BMP", 3, 2))
put("sprite_pack", "second.pak", pack_entry("A.BMP", 2, 2) + pack_entry("FUZZ.BMP", 4, 3))


# WAVE files and sound packs.
def fmt(channels, rate, bits, tag=1):
    align = channels * bits // 8
    return struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits)


def wave(channels, rate, bits, samples, extra=b""):
    body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt(channels, rate, bits) + extra
    body += b"data" + struct.pack("<I", len(samples)) + samples
    return b"RIFF" + struct.pack("<I", len(body)) + body


put("wave", "mono8.wav", wave(1, 8000, 8, bytes(range(0, 256, 2))))
put("wave", "stereo16.wav", wave(2, 22050, 16, struct.pack("<64h", *range(-3200, 3200, 100))))
put("wave", "list_chunk.wav", wave(1, 11025, 16, struct.pack("<16h", *range(16)),
                                   extra=b"LIST" + struct.pack("<I", 4) + b"INFO"))


def sound_entry(name, channels, rate, bits, samples, declared=None):
    record = fmt(channels, rate, bits) + b"\0\0"  # the 18-byte record
    size = len(samples) if declared is None else declared
    return struct.pack("<I", size) + name.encode() + b"\0" + struct.pack("<I", len(record)) + record + samples


put("sound_pack", "one.spk", sound_entry("FUZZ.WAV", 1, 8000, 8, bytes(200)))
put("sound_pack", "second.spk", sound_entry("A.WAV", 1, 8000, 8, bytes(16)) +
    sound_entry("FUZZ.WAV", 2, 22050, 16, struct.pack("<40h", *range(40))))
# Streams: the first byte picks the loop point; five seconds or more stream.
put("stream", "short_file", b"\x01" + sound_entry("FUZZ.WAV", 1, 8000, 8, bytes(range(256)) * 8, declared=48000))
put("stream", "no_loop", b"\xff" + sound_entry("FUZZ.WAV", 1, 4000, 8, bytes(256) * 8, declared=24000))
put("stream", "short_sound", b"\x00" + sound_entry("FUZZ.WAV", 1, 8000, 8, bytes(100)))

# MIDI: the game's short pieces, and a long one.
for name in ("test0.mid", "notmidi.mid", "boss.mid"):
    with open(os.path.join(build, "MIDI", name), "rb") as f:
        put("midi_file", name, f.read())


def lengthened(tune, size):
    """The tune repeated to about `size` bytes: each track's events again and
    again, its end-of-track event (FF 2F 00, last in every track the generator
    writes) turned into an empty text event with the same delta time."""
    tracks = struct.unpack(">H", tune[10:12])[0]
    bodies, at = [], 14
    for _ in range(tracks):
        length = struct.unpack(">I", tune[at + 4:at + 8])[0]
        body = bytearray(tune[at + 8:at + 8 + length])
        body[-2] = 0x01
        bodies.append(bytes(body))
        at += 8 + length
    passes = size // (at - 14) + 1
    out = tune[:14]
    for body in bodies:
        out += b"MTrk" + struct.pack(">I", len(body) * passes + 4) + body * passes + b"\0\xff\x2f\0"
    return out


# A piece of 1 MiB: the MIDI target takes files up to the 16 MiB limit, and
# starts from a long one so that it meets long pieces at once.
with open(os.path.join(build, "MIDI", "boss.mid"), "rb") as f:
    put("midi_file", "long.mid", lengthened(f.read(), 1 << 20))

put("mci_command", "play", "open MIDI\\test0.mid type sequencer alias midi\0seek midi to start\0"
    "play midi notify\0status midi mode\0stop midi\0close midi")
put("mci_command", "quoted", "open \"MIDI\\boss.mid\" type sequencer alias m\0play m from 0\0status m mode wait")
put("mci_command", "errors", "close all\0play nothing\0open\0status midi\0 \0OPEN x TYPE SEQUENCER ALIAS y")

put("key_script", "keys.txt", "# a comment\n10 Right down\n40 Right up\n41 Space down\n42 Space up\n"
    "60 Enter down\r\n61 Enter up\n")
put("key_script", "pad.txt", "5 PadA down\n6 PadA up\n7 PadStickX -32768\n9 PadStickY 32767\n10 PadStart down\n")
put("command_line", "all", "--headless\0--frames\0" "100\0--keys\0k.txt\0--seed\0" "7\0--trace\0t.json\0"
    "--depth\0" "32\0--scale\0" "2\0--screenshot\0s.bmp\0--audio-dump\0a.wav\0--realtime")
put("command_line", "bad", "--frames\0-1\0--depth\0" "15\0--unknown")
put("data_root", "plain", "C:\\GAME\\DATA\\\r\n")
put("data_root", "sjis", b"D:\\\x83\x5c\x83\x74\x83\x67\\\nsecond line")

# The stage: the game's own start of each file (short files repeat their
# last number), split at zero bytes.
parts = []
for name in ("stagedata.txt", "map01_data.txt", "map01_zk.txt", "map01_teki.txt"):
    with open(os.path.join(build, name), "rb") as f:
        parts.append(f.read(1500))
put("stage", "game_start", b"\0".join(parts))
put("stage", "centre", "1 1 2 0\0" "3 3 3\0" "0\0" + " ".join(["0"] * 288 * 6 + ["1", "2", "3", "4", "5", "6", "7", "8"]))
