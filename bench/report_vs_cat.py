#!/usr/bin/env python3
"""Times the report program writing a large report to a file against cat
copying the identical bytes, and measures the program's peak memory.

usage: report_vs_cat.py SCRIPTED_REPORT [runs]

The program is the report over the scripted service with 64 interfaces of 256
networks each. Each run starts a fresh process; the figures are medians.
"""
import os
import resource
import statistics
import subprocess
import sys
import tempfile
import time

INTERFACES, NETWORKS = 64, 256
INTERFACE_RECORD, NETWORK_RECORD, LIST_HEADER = 532, 628, 8


def timed(argv, out_path):
    """Runs argv with stdout to out_path; returns (seconds, peak RSS in KiB)."""
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        proc = subprocess.Popen(argv, stdout=out, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{argv[0]} failed with status {status}")
    return elapsed, usage.ru_maxrss


def main():
    program = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    with tempfile.TemporaryDirectory() as work:
        report = os.path.join(work, "report.txt")
        copy = os.path.join(work, "copy.txt")
        timed([program, str(INTERFACES), str(NETWORKS)], report)  # warm up, and the bytes cat copies
        size = os.path.getsize(report)
        ours, theirs, peaks = [], [], []
        for _ in range(runs):
            seconds, peak = timed([program, str(INTERFACES), str(NETWORKS)], copy)
            ours.append(seconds)
            peaks.append(peak)
            theirs.append(timed(["cat", report], copy)[0])
        with open(copy, "rb") as a, open(report, "rb") as b:
            if a.read() != b.read():
                sys.exit("the report's bytes differ between runs")
        _, baseline = timed([program, "0", "0"], copy)

    lists = LIST_HEADER + INTERFACES * INTERFACE_RECORD + LIST_HEADER + NETWORKS * NETWORK_RECORD
    report_ms, cat_ms = statistics.median(ours) * 1e3, statistics.median(theirs) * 1e3
    extra_kib = max(peaks) - baseline
    budget_kib = lists / 1024 + 1024
    print(f"report bytes:        {size}")
    print(f"report (median):     {report_ms:.2f} ms over {runs} runs")
    print(f"cat (median):        {cat_ms:.2f} ms over {runs} runs")
    print(f"ratio report/cat:    {report_ms / cat_ms:.2f} (target at most 1.30)")
    print(f"peak RSS:            {max(peaks)} KiB, empty run {baseline} KiB, extra {extra_kib} KiB")
    print(f"memory budget:       {budget_kib:.0f} KiB (lists held at once {lists} bytes + 1 MiB)")


if __name__ == "__main__":
    main()
