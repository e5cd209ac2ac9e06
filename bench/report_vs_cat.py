#!/usr/bin/env python3
"""Times the report program writing a large report to a file against the
floor of writing the identical bytes: dd copying them in 4096-byte writes, as
the report's 4096-byte output buffer does (the headline ratio), and cat
copying them in large blocks beside it. Measures the program's peak heap
(valgrind's massif, when valgrind is installed).

usage: report_vs_cat.py SCRIPTED_REPORT [runs]

The program is the report over the scripted service with 64 interfaces of 256
networks each. Each run starts a fresh process; the figures are medians.
"""
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

INTERFACES, NETWORKS = 64, 256
INTERFACE_RECORD, NETWORK_RECORD, LIST_HEADER = 532, 628, 8


def timed(argv, out_path):
    """Runs argv with stdout to out_path; returns the seconds it took."""
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        status = subprocess.call(argv, stdout=out, stderr=subprocess.DEVNULL)
        elapsed = time.perf_counter() - start
    if status != 0:
        sys.exit(f"{argv[0]} failed with status {status}")
    return elapsed


def peak_heap(argv, work):
    """The peak of the heap (requested plus allocator overhead) in bytes."""
    if shutil.which("valgrind") is None:
        return None
    out = os.path.join(work, "massif.out")
    subprocess.check_call(["valgrind", "--tool=massif", "--massif-out-file=" + out] + argv,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    text = open(out).read()
    heap = [int(v) for v in re.findall(r"mem_heap_B=(\d+)", text)]
    extra = [int(v) for v in re.findall(r"mem_heap_extra_B=(\d+)", text)]
    return max(h + e for h, e in zip(heap, extra))


def main():
    program = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 15
    with tempfile.TemporaryDirectory() as work:
        report = os.path.join(work, "report.txt")
        copy = os.path.join(work, "copy.txt")
        timed([program, str(INTERFACES), str(NETWORKS)], report)  # warm up, and the bytes cat copies
        size = os.path.getsize(report)
        ours, theirs, blocks = [], [], []
        for _ in range(runs):
            ours.append(timed([program, str(INTERFACES), str(NETWORKS)], copy))
            theirs.append(timed(["cat", report], copy))
            # The same bytes written 4096 at a time, as the report's output buffer does.
            blocks.append(timed(["dd", "if=" + report, "bs=4096", "status=none"], copy))
        with open(copy, "rb") as a, open(report, "rb") as b:
            if a.read() != b.read():
                sys.exit("the report's bytes differ between runs")
        peak = peak_heap([program, str(INTERFACES), str(NETWORKS)], work)

    lists = LIST_HEADER + INTERFACES * INTERFACE_RECORD + LIST_HEADER + NETWORKS * NETWORK_RECORD
    report_ms = statistics.median(ours) * 1e3
    dd_ms, cat_ms = statistics.median(blocks) * 1e3, statistics.median(theirs) * 1e3
    budget = lists + 1024 * 1024
    print(f"ratio report/dd:     {report_ms / dd_ms:.2f} (target at most 1.40)")
    print(f"report bytes:        {size}")
    print(f"report (median):     {report_ms:.2f} ms over {runs} runs")
    print(f"dd bs=4096 (median): {dd_ms:.2f} ms: the same bytes in 4096-byte writes")
    print(f"cat (median):        {cat_ms:.2f} ms: the same bytes in large blocks; report/cat {report_ms / cat_ms:.2f}")
    print(f"lists held at once:  {lists} bytes; budget with 1 MiB: {budget} bytes")
    if peak is not None:
        print(f"peak heap (massif):  {peak} bytes ({'within' if peak <= budget else 'over'} budget)")

if __name__ == "__main__":
    main()
