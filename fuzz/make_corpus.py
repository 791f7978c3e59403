#!/usr/bin/env python3
"""Writes the seed corpus of the record reader fuzz target into fuzz/corpus.

Every seed is a record file followed by the 16-byte parameter trailer that
RecordReaderFuzzer.cpp reads (see Trailer there). The files come from the
project's own examples (examples/, synthetic) and from small records written
here to reach the reader's corners: byte-order marks, quoted fields, NUL
characters, CR-only and mixed line ends, headers, blank lines, decimal commas,
numbers at the ends of the double range; the seeds of the standard layouts
(cosmos-*, smc-*, ...) are written by tests/import/fixtures/generate.py, which
this script runs last. Run it again to recreate the corpus exactly; inputs the
fuzzer found are kept apart, in fuzz/regressions.
"""

import os
import shutil
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "examples")
CORPUS = os.path.join(HERE, "corpus")

# Indexes into the tables of RecordReaderFuzzer.cpp.
SCALING = {1: 0, 2: 1, -1: 2, 0: 3, 1000: 5, 1e10: 9, 1e300: 11, 5e-324: 14}
TIME_STEP = {0.01: 0, 0.02: 1, 0.005: 2, 0: 4, -0.01: 5, 1e-12: 6, 1: 8, 100: 10, 1e300: 11}
DAMPING = {0.05: 0, 0: 1, 0.02: 2, 0.5: 5, -0.05: 9, -0.999999: 12, -1: 14}
PERIOD = {0.02: 0, 0.1: 2, 0.5: 4, 1: 5, 2: 6, 6: 7, 100: 9, 1e-3: 10, 1e-9: 15}
MAX_DT_OVER_T = {0.02: 0, 0.1: 3, 1: 5, 1e-3: 7, 100: 10}
BETA = {0.25: 0, 1 / 6: 1, 1e-8: 4, -0.25: 6, 0: 11}
GAMMA = {0.5: 0, 0: 2, -0.5: 3, 2: 6}
GRAVITY = {980: 0, 9.81: 2, 1e-300: 5, 1e300: 7}


def trailer(space=False, decimal_comma=False, newmark=False, parabolic_first=False, reports=True,
            column=1,
            skip=0, scaling=1, dt=0.01, damping=0.05, period=1, r=0.02, beta=0.25, gamma=0.5,
            gravity=980):
    flags = (1 if space else 0) | (2 if decimal_comma else 0) | (4 if newmark else 0) | (
        8 if parabolic_first else 0) | (0 if reports else 16)
    return bytes([flags, column - 1, skip, SCALING[scaling], 0, 0, TIME_STEP[dt], 0, 0,
                  DAMPING[damping], PERIOD[period], MAX_DT_OVER_T[r], BETA[beta], GAMMA[gamma],
                  GRAVITY[gravity], 0])


def example(name, max_lines=None):
    with open(os.path.join(EXAMPLES, name), "rb") as f:
        data = f.read()
    if max_lines is not None:
        data = b"".join(data.splitlines(keepends=True)[:max_lines])
    return data


def utf16(text, big_endian):
    return (b"\xfe\xff" if big_endian else b"\xff\xfe") + text.encode(
        "utf-16-be" if big_endian else "utf-16-le")


def seeds():
    # The sample records as a user imports them (examples/README.md).
    yield "example-synthetic-quake", example("synthetic-quake.txt"), trailer()
    yield "example-synthetic-quake-csv", example("synthetic-quake.csv", 400), trailer(column=2)
    yield "example-short-pulse", example("short-pulse.txt"), trailer(dt=0.02, newmark=True)
    yield "example-csv-space", example("synthetic-quake.csv", 300), trailer(space=True,
                                                                         reports=False)
    yield "example-parabolic", example("short-pulse.txt"), trailer(dt=0.02, parabolic_first=True,
                                                                   period=0.1, damping=0)

    # Byte-order marks.
    yield "bom-utf8", b"\xef\xbb\xbf0.1\r\n0.2\r\n-0.3\r\n", trailer()
    yield "bom-utf16le", utf16("Header \U0001F30D\r\n0.1\r\n0.2\r\n-0.05\r\n", False), trailer(
        skip=1)
    yield "bom-utf16be", utf16("0.1,5\n0.2,6\n0.3,7\n", True), trailer(column=2)
    yield "bom-utf16le-unpaired", b"\xff\xfe" + b"0\x00.\x001\x00\n\x00\x00\xd8" + b"1\x00\n\x00", \
        trailer()

    # Quoted fields.
    yield "quotes-comma", b'"1.5e-2",5\n"0.02","a,b"\n"-0.01",""""\n', trailer()
    yield "quotes-doubled", b'"0.2""",6\n', trailer()
    yield "quotes-space", b'"0.1" "a b"\n  0.2\t"x y"  \n"0.3"tail 7\n', trailer(space=True)
    yield "quotes-unclosed", b'"0.1\n"0.2\n', trailer()

    # NUL characters and line ends.
    yield "nul-ends-text", b"0.1\n0.2\n\x000.3\n", trailer()
    yield "nul-in-line", b"0.1\n0.\x002\n", trailer()
    yield "cr-only", b"0.1\r0.2\r0.3\r", trailer()
    yield "mixed-line-ends", b"0.1\r\n0.2\n0.3\r0.4", trailer()
    yield "two-breaks-at-end", b"0.1\n0.2\n\n", trailer()
    yield "blank-line-inside", b"0.1\n   \n0.2\n", trailer()

    # Headers, columns and delimiters.
    yield "header-skip-3", b"Header\nDT=0.01\nUnits g\n0.1\n0.2\n0.15\n", trailer(skip=3)
    yield "skip-everything", b"a\nb\n", trailer(skip=2)
    yield "empty", b"", trailer()
    yield "time-and-acceleration-tabs", b"0.00\t0.1\n0.01\t0.2\n0.02\t-0.1\n", trailer(
        space=True, column=2)
    yield "column-100", (",".join(str(i) for i in range(100)) + "\n").encode() * 3, trailer(
        column=100)
    yield "missing-column", b"0.1,5\n0.2\n", trailer(column=2)
    yield "leading-comma", b",0.3\n", trailer()
    yield "decimal-comma", b"0,1 5\n0,2 6\n-0,05 7\n", trailer(space=True, decimal_comma=True)
    yield "number-shapes", b"+1.5E-3\n-2e+2\n.5\n5.\n0.1 \n", trailer()
    yield "not-numbers", b"0.1\n0x10\n", trailer()
    yield "inf-nan-text", b"inf\nnan\n", trailer()
    yield "thousands", b"1,000.5\n", trailer(space=True)

    # The ends of the double range, and degenerate records.
    yield "huge-values", b"1e308\n-1e308\n1.7976931348623157e308\n", trailer(scaling=1000)
    yield "tiny-values", b"1e-320\n4.9e-324\n-1e-310\n0\n", trailer(scaling=1e300)
    yield "overflowing-exponent", b"1e309\n", trailer()
    yield "one-sample", b"0.5\n", trailer()
    yield "all-zero", b"0\n0\n0\n0\n", trailer()
    yield "zero-time-step", b"0.1\n0.2\n0.3\n", trailer(dt=0)
    yield "negative-time-step", b"0.1\n0.2\n0.3\n", trailer(dt=-0.01, newmark=True)
    yield "huge-time-step", b"0.1\n0.2\n0.3\n0.1\n", trailer(dt=1e300)
    yield "tiny-time-step", b"0.1\n0.2\n0.3\n", trailer(dt=1e-12)

    # Oscillators at the edges of the settings the dialogs accept.
    step = b"0\n" + b"0.1\n" * 400
    yield "step-piecewise", step, trailer(period=1, damping=0.05)
    yield "step-newmark", step, trailer(newmark=True, period=1, reports=False)
    yield "step-undamped", step, trailer(damping=0, period=0.5)
    yield "step-negative-damping", step, trailer(damping=-0.05, period=0.1)
    yield "step-near-minus-one", step, trailer(damping=-0.999999, period=0.5)
    yield "step-refused-damping", step, trailer(damping=-1)
    yield "step-beta-near-zero", step, trailer(newmark=True, beta=1e-8, gamma=-0.5)
    yield "step-beta-zero", step, trailer(newmark=True, beta=0)
    yield "step-gamma-zero", step, trailer(newmark=True, beta=1 / 6, gamma=0)
    yield "step-tiny-gravity", step, trailer(gravity=1e-300)
    yield "step-huge-gravity", step, trailer(gravity=1e300, newmark=True)
    yield "step-short-period", step, trailer(period=1e-3, r=1)
    yield "step-too-short-period", step, trailer(period=1e-9, r=1e-3)
    yield "step-long-period", step, trailer(period=100, r=100)
    yield "step-huge-scaling", step, trailer(scaling=1e300)


def main():
    if os.path.isdir(CORPUS):
        shutil.rmtree(CORPUS)
    os.makedirs(CORPUS)
    for name, data, tail in seeds():
        with open(os.path.join(CORPUS, name), "wb") as f:
            f.write(data + tail)
    # The seeds of the standard layouts come from the import fixtures' generator.
    subprocess.run([sys.executable, os.path.join(HERE, "..", "tests", "import", "fixtures",
                                                 "generate.py")], check=True)


if __name__ == "__main__":
    main()
