#!/usr/bin/env python3
"""Checks tools/cp932_literals.py: a table of pieces of source and what each
must become, then one small source of awkward literals compiled by GCC
twice, once as it is with -fexec-charset=CP932 and once converted without
it: the literal bytes of both must be the same.

Usage: cp932_literals_test.py [C++ compiler]
"""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from cp932_literals import convert  # noqa: E402

CASES = [
    ('"abc"', '"abc"'),
    ('"ゾ"', '"\\203\\135"'),
    ('"ソ1"', '"\\203\\134" "1"'.replace('" "', "")),  # a digit after an escape stays a digit
    ("'A' + 1'000", "'A' + 1'000"),
    ('// ゾ stays in a comment\n', '// ゾ stays in a comment\n'),
    ('/* "ゾ" */ "x"', '/* "ゾ" */ "x"'),
    ('"a\\"ゾ"', '"a\\"\\203\\135"'),
    ('R"(plain)"', 'R"(plain)"'),
    ("u8'x'", "u8'x'"),
]

SOURCE = r'''
extern const char a[] = "開始画面がステージの外です";
extern const char b[] = "ソ1表\\";
extern const char c[] = "\"ゾ\"\x41";
extern const char d[] = "ｱ" "ー";
'''


def main():
    compiler = sys.argv[1] if len(sys.argv) > 1 else "g++"
    failures = 0
    for given, wanted in CASES:
        got = convert(given)
        if got != wanted:
            print(f"convert({given!r}) = {got!r}, wanted {wanted!r}")
            failures += 1
    with tempfile.TemporaryDirectory() as work:
        def rodata(name, text, extra):
            src = os.path.join(work, name + ".cpp")
            obj = os.path.join(work, name + ".o")
            out = os.path.join(work, name + ".bin")
            with open(src, "w", encoding="utf-8") as f:
                f.write(text)
            subprocess.run([compiler, "-c", "-O0", src, "-o", obj] + extra, check=True)
            subprocess.run(["objcopy", "-O", "binary", "-j", ".rodata", obj, out], check=True)
            with open(out, "rb") as f:
                return f.read()
        plain = rodata("plain", SOURCE, ["-fexec-charset=CP932"])
        copied = rodata("copied", convert(SOURCE), [])
        if plain != copied:
            print(f"literal bytes differ: {plain!r} != {copied!r}")
            failures += 1
    print(f"{len(CASES) + 1 - failures} passed, {failures} failed")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
