#!/usr/bin/env python3
"""Runs the report over the scripted kernel once for each allocation a whole
run makes, failing that one allocation. Every run must exit 0, close every
socket, leak nothing (LeakSanitizer, in the sanitize build) and print only
report lines: each one a line of the run without failures, or an operation's
error line. The run without failures must match its golden file byte for byte
(WLANREPORT_BLESS=1 rewrites it).

usage: fault_injection.py PROGRAM GOLDEN
PROGRAM may be several words: an emulator, its options and the program."""
import os
import re
import subprocess
import sys

# The shapes of the report's lines.
SHAPES = [re.compile(shape) for shape in (
    rb"Asked version to WLAN interface is \d+, Negociated version is \d+",
    rb"The string reason for error code [0-9a-f]{8} is \[.*\] \(ret=-?\d+, [0-9a-f]{8}\)",
    rb"([0-9a-f]{2,4} ,){128}",
    rb"Error in the Wlan\w+\(\) function call",
    rb"There are -?\d+ Wifi interface",
    rb"Interface -?\d+",
    rb"\tThe Wifi interface GUID is \[[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\]",
    rb"\tThe Wifi interface (description|state) is \[.*\]",
    rb"\tThere are -?\d+ Wifi network",
    rb"\t\tNetwork -?\d+",
    rb"\t\t(Network name|SSID name|Type|Auth Algorithm|Cipher Algorithm) is \[.*\]",
    rb"\t\tNumber of (BSSID|physical type) is -?\d+",
    rb"\t\tNetwork is connectable",
    rb"\t\tNetwork is NOT connectable and the reason is \[.*\]",
    rb"\t\tPhysical type -?\d+ is \[.*\]",
    rb"\t\tSignal strength is -?\d+%",
    rb"\t\tSecurity is (NOT )?enabled",
    rb"\t\tflags are -?\d+",
    rb"\t\tFlag WLAN_AVAILABLE_NETWORK_(CONNECTED|HAS_PROFILE) is set",
    rb"\t\treserved is -?\d+",
    rb"",
)]
ERROR_LINES = {b"Error in the %s() function call" % name for name in (
    b"WlanOpenHandle", b"WlanEnumInterfaces", b"WlanGetAvailableNetworkList", b"WlanCloseHandle")}
FACTS = re.compile(rb"allocations (\d+) injected (\d) sockets (\d+)")


def run(command, fail_at):
    env = dict(os.environ, WLANREPORT_FAIL_AT=str(fail_at),
               DBUS_SYSTEM_BUS_ADDRESS="unix:path=/nonexistent")
    done = subprocess.run(command, env=env, capture_output=True, timeout=60)
    facts = FACTS.search(done.stderr)
    problems = []
    if done.returncode != 0:
        problems.append("exit status %d" % done.returncode)
    if facts is None:
        problems.append("no allocation count")
    elif facts.group(3) != b"0":
        problems.append("%s sockets left open" % facts.group(3).decode())
    if not done.stdout.endswith(b"\n"):
        problems.append("output does not end with a line end")
    lines = done.stdout.split(b"\n")[:-1]
    for line in lines:
        if not any(shape.fullmatch(line) for shape in SHAPES):
            problems.append("not a report line: %r" % line)
    if problems:
        problems.append(done.stderr.decode(errors="replace")[-2000:])
    return lines, facts, problems


def main():
    program, golden = sys.argv[1:-1], sys.argv[-1]
    lines, facts, problems = run(program, 0)
    if problems:
        sys.exit("run without failures: " + "\n".join(problems))
    output = b"".join(line + b"\n" for line in lines)
    if os.environ.get("WLANREPORT_BLESS") == "1":
        with open(golden, "wb") as out:
            out.write(output)
    with open(golden, "rb") as expected:
        if expected.read() != output:
            sys.exit("the run without failures differs from %s:\n%s" % (golden, output.decode()))

    allowed = set(lines) | ERROR_LINES
    total = int(facts.group(1))
    failures = 0
    for k in range(1, total + 1):
        faulted, facts, problems = run(program, k)
        if facts is not None and facts.group(2) != b"1":
            problems.append("allocation %d was never made" % k)
        problems += ["not a line of the full report: %r" % line
                     for line in faulted if line not in allowed]
        if problems:
            failures += 1
            print("allocation %d of %d failing:\n  %s" % (k, total, "\n  ".join(problems)))
    print("%d runs, each failing one of %d allocations: %d failed" % (total, total, failures))
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
