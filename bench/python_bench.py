"""Speed and memory of the Python module korvoflow.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [BUILD]

A sweep of the default run over 100,000 flow rates from 100,000 to 600,000
lb/hr (the command line's sweep benchmark), on every core and on one thread:
its time, the growth of the peak resident memory against the bytes of the
arrays it returns; then one korvoflow.calculate() called in a Python loop,
set against CalculateQuietly in C++ as BUILD/bench/korvo_bench times it
(BUILD defaults to build/). Prints a Markdown table with the wall-clock time
and the CPU time of the process (all threads), since on a shared machine
only the CPU time compares with Google Benchmark's.
"""

import json
import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np

import korvoflow

POINTS = 100_000
CALLS = 20_000


def peak_megabytes():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024  # KiB on Linux


def timed(work):
    """Wall-clock and CPU seconds of work(), and its value."""
    wall, cpu = time.perf_counter(), time.process_time()
    value = work()
    return (time.perf_counter() - wall, time.process_time() - cpu), value


def sweep_rows(flows):
    korvoflow.sweep(w=flows[:1000])  # warm up: numpy's and the module's first calls
    before = peak_megabytes()
    seconds, arrays = timed(lambda: korvoflow.sweep(w=flows))
    grown = peak_megabytes() - before
    held = sum(a.nbytes for a in arrays.values()) / 2**20
    cores = os.cpu_count()
    rows = [(f"sweep, {POINTS:,} points, {cores} threads", seconds, POINTS,
             f"peak +{grown:.0f} MB, arrays {held:.0f} MB")]
    del arrays
    seconds, _ = timed(lambda: korvoflow.sweep(w=flows, threads=1))
    rows.append((f"sweep, {POINTS:,} points, 1 thread", seconds, POINTS, ""))
    return rows


def calculate_rows():
    flows = np.linspace(100_000, 600_000, CALLS).tolist()
    seconds, _ = timed(lambda: [korvoflow.calculate(w=w) for w in flows])
    rows = [(f"calculate(w=...) in a Python loop, {CALLS:,} calls", seconds, CALLS, "")]
    seconds, _ = timed(lambda: [korvoflow.calculate() for _ in range(CALLS)])
    rows.append((f"calculate() of the default run, {CALLS:,} calls", seconds, CALLS, ""))
    seconds, _ = timed(lambda: [korvoflow.calculate().values for _ in range(CALLS)])
    rows.append((f"calculate().values, {CALLS:,} calls", seconds, CALLS, ""))
    return rows


def quiet_calculate_seconds(build):
    bench = os.path.join(build, "bench", "korvo_bench")
    if not os.access(bench, os.X_OK):
        return None
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run([bench, "--benchmark_filter=^CalculateQuietly", f"--benchmark_out={out.name}",
                        "--benchmark_out_format=json"], check=True, capture_output=True)
        run = json.load(out)["benchmarks"][0]
    return run["cpu_time"] * {"ns": 1e-9, "us": 1e-6, "ms": 1e-3}[run["time_unit"]]


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else "build"
    rows = sweep_rows(np.linspace(100_000, 600_000, POINTS)) + calculate_rows()
    print("| Case | Wall clock | CPU | CPU per item | Memory |\n|---|---|---|---|---|")
    for name, (wall, cpu), count, memory in rows:
        print(f"| {name} | {wall:.2f} s | {cpu:.2f} s | {cpu / count * 1e6:.1f} us | {memory} |")
    quiet = quiet_calculate_seconds(build)
    call = rows[-2][1][1] / CALLS
    if quiet is not None:
        print(f"\nCPU per default run: CalculateQuietly in C++ {quiet * 1e6:.1f} us, calculate() "
              f"from Python {call * 1e6:.1f} us, {(call - quiet) * 1e6:.1f} us more")


if __name__ == "__main__":
    main()
