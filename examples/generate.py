#!/usr/bin/env python3
"""Writes the example records: synthetic ground motions, made here, in g.

    synthetic-quake.txt   one acceleration per line, dt = 0.01 s, 20 s
    synthetic-quake.csv   two columns "time,acceleration", dt = 0.01 s, 20 s
    short-pulse.txt       one acceleration per line, dt = 0.02 s, 4 s

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
    with open("short-pulse.txt", "w", newline="\n") as out:
        for a in pulse(200, 0.02):
            out.write(f"{a:.6f}\n")


if __name__ == "__main__":
    main()
