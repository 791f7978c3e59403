#!/usr/bin/env python3
"""Writes the example records: synthetic ground motions, made here, in g.

    synthetic-quake.txt   one acceleration per line, dt = 0.01 s, 20 s
    synthetic-quake.csv   two columns "time,acceleration", dt = 0.01 s, 20 s
    short-pulse.txt       one acceleration per line, dt = 0.02 s, 4 s
    synthetic-quake.AT2   the same motion as a PEER NGA file (g, 5 values a row)
    synthetic-quake.NS    the same motion as a K-NET file (counts with an offset)

The motion is a sum of damped sines under a build-up/decay envelope, with
a little seeded noise and a small baseline offset and drift, so that a
baseline correction has something to remove. Run it again to recreate the
files exactly (the noise is seeded).
"""
import math
import random


def quake(count, dt, seed):
    rng = random.Random(seed)
    components = [(1.2, 0.18, 0.0), (2.7, 0.12, 1.1), (5.5, 0.07, 2.3), (0.6, 0.05, 0.4)]
    samples = []
    for i in range(count):
        t = i * dt
        envelope = (t / 2.0) ** 2 if t < 2.0 else math.exp(-0.35 * (t - 2.0))
        a = 0.0
        for frequency, amplitude, phase in components:
            a += amplitude * math.sin(2 * math.pi * frequency * t + phase)
        a = envelope * a + rng.gauss(0.0, 0.004) + 0.002 + 0.0004 * t
        samples.append(a)
    return samples


def pulse(count, dt):
    samples = []
    for i in range(count):
        t = i * dt
        samples.append(0.25 * math.exp(-0.8 * t) * math.sin(2 * math.pi * 1.5 * t) + 0.01)
    return samples


def main():
    motion = quake(2000, 0.01, 20180304)
    with open("synthetic-quake.txt", "w", newline="\n") as out:
        for a in motion:
            out.write(f"{a:.6f}\n")
    with open("synthetic-quake.csv", "w", newline="\n") as out:
        for i, a in enumerate(motion):
            out.write(f"{i * 0.01:.2f},{a:.6f}\n")
    with open("synthetic-quake.AT2", "w", newline="\n") as out:
        out.write("PEER NGA STRONG MOTION DATABASE RECORD (synthetic, made for VORSEN)\n")
        out.write("90000001, 3/4/2018, Vorsen Example Station, 90\n")
        out.write("ACCELERATION TIME SERIES IN UNITS OF G\n")
        out.write(f"NPTS=  {len(motion):5d}, DT=   0.010 SEC\n")
        for start in range(0, len(motion), 5):
            out.write("".join(f"{a:15.7E}" for a in motion[start:start + 5]) + "\n")
    # K-NET: counts of 3920 gal / 6182761 on an offset of 13190 counts.
    gal_per_count = 3920 / 6182761
    counts = [13190 + round(a * 980.0 / gal_per_count) for a in motion]
    mean = sum(counts) / len(counts)
    peak = max(abs(c - mean) for c in counts) * gal_per_count
    header = [
        ("Origin Time", "2018/03/04 12:00:00"), ("Lat.", "35.000"), ("Long.", "139.000"),
        ("Depth. (km)", "10"), ("Mag.", "6.0"), ("Station Code", "VRS001"),
        ("Station Lat.", "35.1000"), ("Station Long.", "139.1000"), ("Station Height(m)", "20"),
        ("Record Time", "2018/03/04 12:00:15"), ("Sampling Freq(Hz)", "100Hz"),
        ("Duration Time(s)", "20"), ("Dir.", "N-S"), ("Scale Factor", "3920(gal)/6182761"),
        ("Max. Acc. (gal)", f"{peak:.3f}"), ("Last Correction", "2018/03/04 12:00:15"),
        ("Memo.", ""),
    ]
    with open("synthetic-quake.NS", "w", newline="\n") as out:
        for key, value in header:
            out.write(f"{key:<18}{value}\n")
        for start in range(0, len(counts), 8):
            out.write("".join(f"{c:8d} " for c in counts[start:start + 8]).rstrip() + "\n")
    with open("short-pulse.txt", "w", newline="\n") as out:
        for a in pulse(200, 0.02):
            out.write(f"{a:.6f}\n")


if __name__ == "__main__":
    main()
