"""Benchmark figures of a lab run: wlanreport against iw over the same
interfaces (medians of alternating runs), and the netlink requests each sends."""

import re
import statistics
from collections import Counter

GENL_CTRL = "0x10"
_NL80211_COMMANDS = {1: "GET_WIPHY", 5: "GET_INTERFACE", 9: "GET_KEY", 17: "GET_STATION",
                     32: "GET_SCAN", 33: "TRIGGER_SCAN", 38: "GET_REG", 62: "GET_SURVEY",
                     64: "GET_PROTOCOL_FEATURES"}
_RTM_TYPES = {0x12: "RTM_GETLINK"}
_REQUEST = re.compile(
    r"send(?:to|msg)\((\d+), .*?nlmsg_type=([^,]+?)(?: /\*[^*]*\*/)?, nlmsg_flags=([^,]+),"
    r".*?\}, \"((?:\\x[0-9a-f]{2})*)\"")
# strace names route messages only when it knows the socket's protocol: the
# netlink sockets opened, by descriptor, tell.
_SOCKET = re.compile(r"socket\(AF_NETLINK, [^,]+, (\w+)\) = (\d+)")


def timings(text, labels=("report", "iw")):
    """{label: [seconds...]} from "LABEL START_US END_US" lines (bench.txt)."""
    runs = {label: [] for label in labels}
    for line in text.splitlines():
        parts = line.split()
        if len(parts) == 3 and parts[0] in runs and parts[1].isdigit() and parts[2].isdigit():
            runs[parts[0]].append((int(parts[2]) - int(parts[1])) / 1e6)
    return runs


# The profiles benchmark's blocks and its goals: with the lab's profiles the
# report costs at most 1.5 times the report with no manager; with hundreds
# more, at most 0.3 times nmcli's listing.
_PROFILE_LABELS = ("none-report", "lab-report", "lab-nmcli", "many-report", "many-nmcli")


def profile_figures(text, all_listed=True):
    """The profiles benchmark (bench-profiles.txt) as printable lines;
    `all_listed`: the report with 500 more listed every lab profile."""
    runs = timings(text, _PROFILE_LABELS)
    if not all(runs.values()):
        return "lab: profiles benchmark: incomplete (" + ", ".join(
            f"{label} {len(times)} runs" for label, times in runs.items()) + ")"
    median = {label: statistics.median(times) for label, times in runs.items()}
    ms = {label: f"{value * 1000:.0f} ms" for label, value in median.items()}
    lab, many = median["lab-report"] / median["none-report"], median["many-report"] / median["many-nmcli"]
    return "\n".join([
        f"lab: profiles benchmark ({len(runs['lab-report'])} runs each, medians, as nobody): "
        f"report {ms['none-report']} with no manager, {ms['lab-report']} with NetworkManager "
        f"and the lab's profiles (nmcli {ms['lab-nmcli']}), {ms['many-report']} with 500 more "
        f"(nmcli {ms['many-nmcli']})",
        f"lab: lab's profiles: {lab:.2f}x the report without a manager "
        f"({'meets' if lab <= 1.5 else 'misses'} the 1.5x goal); 500 more: {many:.2f}x nmcli "
        f"({'meets' if many <= 0.3 and all_listed else 'misses'} the 0.3x goal"
        f"{'' if all_listed else ', which also wants every lab profile listed'})"])


def requests(strace_text):
    """Counter of netlink requests by kind, e.g. "nl80211 GET_SCAN dump"."""
    kinds = Counter()
    route_fds = set()
    for line in strace_text.splitlines():
        socket = _SOCKET.search(line)
        if socket:
            protocol, fd = socket.groups()
            (route_fds.add if protocol == "NETLINK_ROUTE" else route_fds.discard)(fd)
            continue
        match = _REQUEST.search(line)
        if not match:
            continue
        fd, family, flags, payload = match.groups()
        dump = "NLM_F_DUMP" in flags or "0x300" in flags
        first = int(payload[2:4], 16) if payload else None
        if family.startswith("RTM_"):
            kind = f"rtnetlink {family}"
        elif fd in route_fds:
            kind = f"rtnetlink {_RTM_TYPES.get(int(family, 0), 'type ' + family)}"
        elif family in (GENL_CTRL, "nlctrl"):
            kind = "nlctrl GETFAMILY" if first == 3 else f"nlctrl command {first}"
        else:
            kind = f"nl80211 {_NL80211_COMMANDS.get(first, f'command {first}')}"
        kinds[kind + (" dump" if dump else "")] += 1
    return kinds


def changes(counts):
    """Requests that are not reads (a scan trigger, a set command...): the report sends none."""
    reads = ("nlctrl GETFAMILY", "nl80211 GET_", "rtnetlink RTM_GET")
    return sorted(kind for kind in counts if not kind.startswith(reads))


def _format_counts(counts):
    return ", ".join(f"{n} {kind}" for kind, n in sorted(counts.items())) or "none"


def summarize(files, interface_count):
    """The figures as printable lines, or "" when the run has none."""
    out = []
    bench = files.get("bench.txt")
    if bench:
        runs = timings(bench.decode("latin-1"))
        if runs["report"] and runs["iw"]:
            report = statistics.median(runs["report"])
            iw = statistics.median(runs["iw"])
            out.append(f"lab: benchmark ({len(runs['report'])} runs each, medians): wlanreport "
                       f"{report * 1000:.1f} ms, iw dev + scan dump of {interface_count} interfaces "
                       f"{iw * 1000:.1f} ms, ratio {report / iw:.2f}")
    report_trace = files.get("strace-report.txt")
    if report_trace is not None:
        counts = requests(report_trace.decode("latin-1"))
        out.append(f"lab: wlanreport's netlink requests: {sum(counts.values())} "
                   f"({_format_counts(counts)})")
        interface_dumps = counts.get("nl80211 GET_INTERFACE dump", 0)
        scan_dumps = counts.get("nl80211 GET_SCAN dump", 0)
        verdict = "meets" if interface_dumps == 1 and scan_dumps == interface_count else "misses"
        out.append(f"lab: {interface_dumps} interface dump and {scan_dumps} scan dumps for "
                   f"{interface_count} interfaces: {verdict} the one-each target")
    iw_counts = Counter()
    for name, data in files.items():
        if name.startswith("strace-iw"):
            iw_counts += requests(data.decode("latin-1"))
    if iw_counts:
        out.append(f"lab: iw's netlink requests: {sum(iw_counts.values())} ({_format_counts(iw_counts)})")
    return "\n".join(out)
