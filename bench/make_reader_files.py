#!/usr/bin/env python3
"""Writes one record file of N samples in every layout VORSEN reads, for
bench/reader_bench: the fixture generators of tests/import/fixtures with a
long series.

    bench/make_reader_files.py FOLDER [N]        N = 1,000,000 by default

The series is a decaying sine with a little noise, in each file's units."""

import math
import pathlib
import random
import sys

HERE = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "import" / "fixtures"))

import cosmos  # noqa: E402
import esm  # noqa: E402
import fortran  # noqa: E402
import geonet  # noqa: E402
import knet  # noqa: E402
import peer  # noqa: E402
import smc  # noqa: E402


def series(n, peak):
    rng = random.Random(7)
    return [peak * (0.8 * math.sin(0.157 * k) * math.exp(-((k % 20000) / 8000.0))
                    + 0.2 * (rng.random() - 0.5)) for k in range(n)]


def main():
    folder = pathlib.Path(sys.argv[1])
    n = int(sys.argv[2]) if len(sys.argv) > 2 else 1000000
    folder.mkdir(parents=True, exist_ok=True)
    g = series(n, 0.3)      # g
    cms2 = series(n, 300.0)  # cm/s²

    def save(name, lines, newline="\n"):
        fortran.write_lines(folder / name, lines, newline)

    save("record.txt", [f"{v:.6f}" for v in g])
    save("record.AT2", ["PEER NGA STRONG MOTION DATABASE RECORD",
                        "90000001, 3/14/2015, Bench Station, 90",
                        "ACCELERATION TIME SERIES IN UNITS OF G",
                        f"NPTS= {n:7d}, DT=   0.005 SEC"] + peer.e_rows(g, 5, peer.nga_e))
    counts = [13190 + round(v / (3920 / 6182761)) for v in cms2]
    save("record.NS", knet.header("BNC001", 100, math.ceil(n / 100), "N-S",
                                  "3920(gal)/6182761", "300.000") + knet.rows(counts))
    save("record.ACC.ASC", esm.header(esm.KEYS_64, 0.005, n, "cm/s^2") + [f"{v:.6f}" for v in cms2])
    save("record.v2", cosmos.record(samples=cms2))
    save("record.smc", smc.smc(samples=cms2), "\r\n")
    save("20200101_000000_BNC1_20.V2A", geonet.component("S16W", samples=[v * 10 for v in cms2]))


if __name__ == "__main__":
    main()
