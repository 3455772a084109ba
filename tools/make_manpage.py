#!/usr/bin/env python3
"""Writes a manual page from a program's own --help and --version.

Usage: make_manpage.py PROGRAM SECTION "SHORT DESCRIPTION" [EXTRA.h2m] > page

The options come from the table the program prints for --help (its own and
the library's), so the page never lists other options than the program
takes. EXTRA holds further sections: a line "[NAME]" starts one, the lines
under it are troff. Text is UTF-8 throughout.
"""
import datetime
import os
import subprocess
import sys


def escape(text):
    text = text.replace("\\", "\\e").replace("-", "\\-")
    return "\\&" + text if text.startswith((".", "'")) else text


def main():
    program, section, short = sys.argv[1], sys.argv[2], sys.argv[3]
    extra = {}
    if len(sys.argv) > 4:
        name = None
        with open(sys.argv[4], encoding="utf-8") as f:
            for line in f:
                line = line.rstrip("\n")
                if line.startswith("[") and line.endswith("]"):
                    name = line[1:-1]
                    extra[name] = []
                elif name is not None:
                    extra[name].append(line)
    run = lambda arg: subprocess.run([program, arg], capture_output=True, text=True,
                                     encoding="utf-8", check=True).stdout
    help_lines = run("--help").splitlines()
    version = run("--version").strip()
    base = os.path.basename(program)
    stamp = int(os.environ.get("SOURCE_DATE_EPOCH", "0")) or None
    date = (datetime.datetime.fromtimestamp(stamp, datetime.timezone.utc) if stamp
            else datetime.datetime.now(datetime.timezone.utc)).strftime("%B %Y")

    out = [f'.TH {base.upper()} "{section}" "{date}" "{escape(version)}" "Games"']
    out += [".SH NAME", f"{escape(base)} \\- {escape(short)}"]
    if "NAME" in extra:
        out[-1:] = extra.pop("NAME")
    out += [".SH SYNOPSIS", f".B {escape(base)}", "[\\fIOPTION\\fR]..."]
    summary = [l for l in help_lines[1:] if l and not l.startswith(" ") and not l.endswith(":")]
    out += [".SH DESCRIPTION"]
    out += extra.pop("DESCRIPTION", [])
    if summary:
        out += [".PP"] + [escape(l) for l in summary]
    out += [".SH OPTIONS"]
    for line in help_lines:
        if line.endswith(":") and not line.startswith(" "):
            out += [".SS " + escape(line[:-1])]
        elif line.startswith("  --"):
            option, _, meaning = line.strip().partition("  ")
            out += [".TP", ".B " + escape(option), escape(meaning.strip())]
    for name, lines in extra.items():
        out += [".SH " + name] + lines
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
