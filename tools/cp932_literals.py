#!/usr/bin/env python3
"""Copies a C++ source with every non-ASCII character inside a string or
character literal written as octal escapes of its Shift-JIS (CP932) bytes.

The normal build has GCC turn literals into CP932 (-fexec-charset=CP932);
clang has no such option, so the fuzz build compiles these copies instead and
every narrow literal keeps the same bytes. Comments are copied as they are.
Octal escapes stop after three digits, so a following digit or letter can
never join them the way it would join a hex escape.

Usage: cp932_literals.py INPUT OUTPUT
"""
import os
import sys


def escape(ch):
    if ord(ch) < 0x80:
        return ch
    try:
        data = ch.encode("cp932")
    except UnicodeEncodeError:
        raise SystemExit(f"{sys.argv[1]}: {ch!r} has no Shift-JIS form")
    return "".join(f"\\{b:03o}" for b in data)


def convert(text):
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            out.append(text[i:j])
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append(text[i:j])
            i = j
        elif c == "R" and text.startswith('R"', i) and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            open_end = text.find("(", i)
            delim = ")" + text[i + 2:open_end] + '"'
            j = text.find(delim, open_end) + len(delim)
            body = text[i:j]
            if any(ord(ch) >= 0x80 for ch in body):
                raise SystemExit(f"{sys.argv[1]}: a raw literal holds non-ASCII text")
            out.append(body)
            i = j
        elif c in "\"'":
            # A quote right after a digit is a digit separator (1'000).
            if c == "'" and i > 0 and text[i - 1].isalnum():
                out.append(c)
                i += 1
                continue
            j = i + 1
            piece = [c]
            while j < n and text[j] != c:
                if text[j] == "\\":
                    piece.append(text[j:j + 2])
                    j += 2
                    continue
                piece.append(escape(text[j]))
                j += 1
            piece.append(c)
            out.append("".join(piece))
            i = j + 1
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    src, dst = sys.argv[1], sys.argv[2]
    with open(src, encoding="utf-8") as f:
        text = f.read()
    result = convert(text)
    os.makedirs(os.path.dirname(dst) or ".", exist_ok=True)
    tmp = dst + ".tmp"
    with open(tmp, "w", encoding="utf-8") as f:
        f.write(result)
    os.replace(tmp, dst)


if __name__ == "__main__":
    main()
