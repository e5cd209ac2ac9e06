"""Real lab runs (lab/tests/data/run1, and profiles-MANAGER of the profiles
scenario), as the guest sent them, for the checker's tests."""

import os

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "data", "run1")


def files(run="run1"):
    folder = os.path.join(os.path.dirname(DATA), run)
    found = {}
    for name in os.listdir(folder):
        with open(os.path.join(folder, name), "rb") as f:
            found[name] = f.read()
    return found


def text(name):
    with open(os.path.join(DATA, name), "r", encoding="utf-8") as f:
        return f.read()


def replace_in_network(report, ssid, old, new, interface=1):
    """The report with one line of one network changed: the network named ssid,
    in the interface-th interface block."""
    blocks = report.split(b"\nInterface ")
    lines = blocks[interface + 1].split(b"\n")
    start = lines.index(b"\t\tSSID name is [" + ssid + b"]")
    for i in range(start, len(lines)):
        if lines[i] == old:
            lines[i] = new
            blocks[interface + 1] = b"\n".join(lines)
            return b"\nInterface ".join(blocks)
        if lines[i] == b"":
            break
    raise AssertionError(f"{old!r} not found in network {ssid!r}")
