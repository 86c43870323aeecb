#!/usr/bin/env python3
"""Differential test: runs spherebench and the reference model on many input
directories and compares standard output, standard error and exit status.

Usage: python3 tests/model/compare.py PATH_TO_SPHEREBENCH [--cases N] [--seed S]
       [--only SUBSTRING] [--no-full]

Timing fields (durations, ticks, rates, relative times) are checked for their
printf shape and then masked. The model is also run with the program's own
tick counts, so the durations and the summary must also be the ones those
ticks give. The cases are made in cases.py, their files written by inputs.py.
"""
import argparse
import difflib
import os
import re
import random
import shutil
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import spherebench_model as model  # noqa: E402
from cases import edge_cases, full_cases, random_case  # noqa: E402

TIMEOUT = 120

# ---------------------------------------------------------------- comparing

DURATION = re.compile(rb"\[Duration \d+:[0-5]\d:[0-5]\d\.\d{3}\]")
CDC_ROW = re.compile(rb"Concise direction cosines: ( *-?\d+)   ( *-?\d+)  "
                     rb"\(1\.000 (-?\d+\.\d{3})\)")
LATLONG_ROW = re.compile(rb"Latitude/longitude:        ( *-?\d+)   ( *-?\d+)  "
                         rb"\((-?\d+\.\d{3}) 1\.000\)")


def padded(field, width):
    """True if field is an integer printed right-justified in width."""
    return len(field) == width or (len(field) > width and field[:1] != b" ")


def mask(out):
    """Replaces well-formed timing fields; malformed ones stay and differ."""
    lines = out.split(b"\n")
    for i, line in enumerate(lines):
        if DURATION.fullmatch(line):
            lines[i] = b"[Duration H:MM:SS.mmm]"
        for row, title in ((CDC_ROW, b"Concise direction cosines"),
                           (LATLONG_ROW, b"Latitude/longitude")):
            m = row.fullmatch(line)
            if m and padded(m.group(1), 6) and padded(m.group(2), 8):
                lines[i] = title + b": <ticks> <rate> <relative>"
    return b"\n".join(lines)


def ticks_of(out):
    found = [0, 0]
    for line in out.split(b"\n"):
        for k, row in enumerate((CDC_ROW, LATLONG_ROW)):
            m = row.fullmatch(line)
            if m:
                found[k] = int(m.group(1))
    return tuple(found)


def setup(directory, airports, flightline):
    for fname, content in ((b"airports.ptc", airports), (b"flightline.lnc", flightline)):
        path = os.path.join(os.fsencode(directory), fname)
        if content == "dir":
            os.mkdir(path)
        elif content is not None:
            with open(path, "wb") as f:
                f.write(content)


def command(program):
    if program.endswith(".py"):
        return [sys.executable, program]
    return [program]


def show(label, expected, actual):
    diff = difflib.unified_diff(
        [repr(l) for l in expected.split(b"\n")], [repr(l) for l in actual.split(b"\n")],
        "model " + label, "program " + label, lineterm="", n=1)
    lines = list(diff)
    for line in lines[:24]:
        print("    " + line)
    if len(lines) > 24:
        print("    ... (%d more diff lines)" % (len(lines) - 24))


def check(program, name, airports, flightline, base):
    directory = tempfile.mkdtemp(prefix=name + "-", dir=base)
    setup(directory, airports, flightline)
    try:
        real = subprocess.run(command(program), cwd=directory, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=TIMEOUT)
        got = real.stdout, real.stderr, real.returncode
    except subprocess.TimeoutExpired:
        got = b"", b"<timed out>", None
    want = model.run(directory, ticks_of(got[0]))
    problems = []
    if got[2] != want[2]:
        problems.append("exit status: model %s, program %s" % (want[2], got[2]))
    if mask(got[0]) != mask(want[0]):
        problems.append("stdout")
    elif got[0] != want[0]:
        problems.append("timing fields do not follow from the ticks")
    if got[1] != want[1]:
        problems.append("stderr")
    if not problems:
        shutil.rmtree(directory)
        return True
    print("FAIL %s (kept in %s): %s" % (name, directory, "; ".join(problems)))
    if "stdout" in problems:
        show("stdout", mask(want[0]), mask(got[0]))
    elif got[0] != want[0]:
        show("stdout", want[0], got[0])
    if "stderr" in problems:
        show("stderr", want[1], got[1])
    return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("program")
    parser.add_argument("--cases", type=int, default=300, help="random cases")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--only", default="", help="run the cases whose name has this")
    parser.add_argument("--no-full", action="store_true", help="skip the full-size cases")
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    rng = random.Random(args.seed)
    cases = list(edge_cases())
    cases += [random_case(rng, i) for i in range(args.cases)]
    if not args.no_full:
        cases += list(full_cases(rng))
    base = tempfile.mkdtemp(prefix="spherebench-compare-")
    started = time.monotonic()
    passed = failed = 0
    for name, airports, flightline in cases:
        if args.only not in name:
            continue
        if check(program, name, airports, flightline, base):
            passed += 1
        else:
            failed += 1
    if not failed:
        shutil.rmtree(base)
    print("seed %d, %.0f s" % (args.seed, time.monotonic() - started))
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
