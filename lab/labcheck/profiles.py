"""Checks the profiles scenario: one run per manager (NetworkManager, iwd,
wpa_supplicant on its bus and on its control sockets, ConnMan).

Each report, run without privileges, must give every saved profile it may read
an entry of its own right before the network's plain entry (HAS_PROFILE, the
profile's name), put the connected flag on the profile in use, and show no
profile it may not read. Without its profile entries it must be exactly the
list the radio lab holds against iw, in the interface states the manager
gives. NetworkManager's and iwd's expectations are tables; the others' come
from the managers' own tools (managers.py)."""

import dataclasses
import os

from . import bench, check, compare, expect, iwscan, managers, transfer

CONNECTED, HAS_PROFILE = 1, 2
PLAIN = {b"": 0}
OPEN, SECURED = False, True

# For each report: interface -> (SSID, security enabled) -> one {profile name:
# flags} per network (b"" is the plain entry), in any order. lab-dual is heard
# open and with a passphrase: NetworkManager's "Dual" (WPA2) belongs to the
# second only, so the open twin of a known network does not look known.
# Each manager manages wlan1 alone: none of its profiles is listed on wlan2.
UNMANAGED = {(b"lab-home", SECURED): [PLAIN], (b"lab-cafe", OPEN): [PLAIN],
             (b"lab-stranger", SECURED): [PLAIN], (b"lab-dual", OPEN): [PLAIN],
             (b"lab-dual", SECURED): [PLAIN]}
NETWORK_MANAGER = {
    "wlan1": {(b"lab-home", SECURED): [{b"Home": 3, b"Maison caf\xe9": 2, b"": 0}],
              (b"lab-cafe", OPEN): [{b"Cafe": 2, b"": 0}],
              (b"lab-stranger", SECURED): [PLAIN],
              (b"lab-dual", OPEN): [PLAIN], (b"lab-dual", SECURED): [{b"Dual": 2, b"": 0}]},
    "wlan2": UNMANAGED,
}
IWD_NETDEV = {
    "wlan1": {(b"lab-home", SECURED): [{b"lab-home": 3, b"": 0}],
              (b"lab-cafe", OPEN): [{b"lab-cafe": 2, b"": 0}], (b"lab-stranger", SECURED): [PLAIN],
              (b"lab-dual", OPEN): [{b"lab-dual": 2, b"": 0}],
              (b"lab-dual", SECURED): [{b"lab-dual": 2, b"": 0}]},
    "wlan2": UNMANAGED,
}
IWD_OUTSIDER = {
    name: {(b"lab-home", SECURED): [{b"": 1 if name == "wlan1" else 0}],
           (b"lab-cafe", OPEN): [PLAIN], (b"lab-stranger", SECURED): [PLAIN],
           (b"lab-dual", OPEN): [PLAIN], (b"lab-dual", SECURED): [PLAIN]}
    for name in ("wlan1", "wlan2")
}
# (run, report file stem, who ran it, expected entries). The benchmark's
# report with hundreds of profiles more must still list every lab profile; it
# runs later than iw's dumps, so only its profile entries are checked, and
# only when the run made it (the recorded runs leave it out).
BENCH_REPORT = "report-many"
REPORTS = [
    ("nm", "report", "nobody", NETWORK_MANAGER),
    ("nm", BENCH_REPORT, "nobody, 500 profiles more", NETWORK_MANAGER),
    ("iwd", "report-netdev", "labnet (netdev)", IWD_NETDEV),
    ("iwd", "report", "nobody", IWD_OUTSIDER),
]
# Readable by root only: no report may show it.
FORBIDDEN = b"Root only"
# Fields in which a profile entry must equal its network's plain entry.
_SAME = ("ssid", "type", "bssids", "connectable", "reason", "phy_types", "quality",
         "security", "auth", "cipher", "reserved")


def blocks(iface, where, faults):
    """The networks as (profile entries, plain entry) pairs."""
    found, pending = [], []
    for net in iface.networks or []:
        if net.flags & HAS_PROFILE:
            pending.append(net)
            continue
        found.append((pending, net))
        pending = []
    if pending:
        faults.append(f"{where}: profile entries {[n.profile for n in pending]} with no plain entry after them")
    return found


def _entries(profiles, plain, where, faults):
    """{name: flags} of one network, faulting entries that break its shape."""
    entries = {b"": plain.flags}
    if plain.profile:
        faults.append(f"{where}: entry {plain.index} is named {plain.profile!r} without HAS_PROFILE")
    for net in profiles:
        if not net.profile:
            faults.append(f"{where}: entry {net.index} has HAS_PROFILE and no profile name")
        if net.profile in entries:
            faults.append(f"{where}: profile {net.profile!r} listed twice")
        entries[net.profile] = net.flags
        for name in _SAME:
            if getattr(net, name) != getattr(plain, name):
                faults.append(f"{where}: profile {net.profile!r} differs from its network in {name}")
    return entries


def today(iface, blocks_):
    """The interface as the report lists it without profiles."""
    networks = []
    for profiles, plain in blocks_:
        connected = any(n.flags & CONNECTED for n in profiles)
        networks.append(dataclasses.replace(plain, flags=plain.flags | (CONNECTED if connected else 0),
                                            index=len(networks)))
    return dataclasses.replace(iface, networks=networks)


def check_report(parsed, facts, expected, label, against_iw=True):
    """Faults of one report against its expected profile entries and iw."""
    faults = []
    stripped = []
    for iface, fact in zip(parsed.interfaces, facts):
        where = f"{label}: interface {iface.index} ({fact.name})"
        description = f"mac80211_hwsim Wi-Fi adapter ({fact.name})".encode()
        if iface.description != description:
            faults.append(f"{where}: description is {iface.description!r}, expected {description!r}")
        found = blocks(iface, where, faults)
        got = {}
        for profiles, plain in found:
            net_where = f"{where}: network {plain.ssid!r}"
            got.setdefault((plain.ssid, plain.security), []).append(_entries(profiles, plain, net_where, faults))
            if any(n.profile == FORBIDDEN for n in profiles):
                faults.append(f"{net_where}: lists {FORBIDDEN!r}, which only root may read")
        want = expected.get(fact.name, {})
        for key in sorted(set(got) | set(want)):
            if sorted(map(sorted_items, got.get(key, []))) != sorted(map(sorted_items, want.get(key, []))):
                ssid, secured = key
                faults.append(f"{where}: network {ssid!r} ({'secured' if secured else 'open'}) has entries "
                              f"{got.get(key)}, expected {want.get(key)} (name: flags)")
        stripped.append(today(iface, found))
    if against_iw:
        faults += [f"{label}: {f}" for f in compare.compare(dataclasses.replace(parsed, interfaces=stripped), facts)]
    return faults


def sorted_items(entries):
    return sorted(entries.items())


# Runs checked against the managers' own tools: how to read the manager's view,
# its rule for which BSSs a profile may use, its state table, and whether it
# admits nobody (labnet, in group netdev, all admit). Each run's reports are
# TOOL_REPORTS.
_SUPPLICANT = (managers.supplicant_view, managers.supplicant_fits, managers.SUPPLICANT_STATES, False)
TOOL_RUNS = {"wpas-dbus": _SUPPLICANT, "wpas-ctrl": _SUPPLICANT,
             "connman": (managers.connman_view, managers.connman_fits, managers.CONNMAN_STATES, True)}
TOOL_REPORTS = [("report", "nobody"), ("report-netdev", "labnet (netdev)")]
# Whether the labnet report must connect to wpa_supplicant's control sockets:
# not while wpa_supplicant is on the bus (its connects, traced).
ASKS_CONTROL_SOCKETS = {"wpas-dbus": False, "wpas-ctrl": True}
CONTROL_TRACE = "strace-report-netdev.txt"


def _in_state(facts, parsed, states):
    """The facts with each interface's state the one of its possible states
    that the report shows, else the first."""
    chosen = []
    for index, fact in enumerate(facts):
        shown = parsed.interfaces[index].state if index < len(parsed.interfaces) else None
        options = states.get(fact.name, [fact.state])
        state = next((s for s in options if expect.STATE_NAMES[s] == shown), options[0])
        chosen.append(dataclasses.replace(fact, state=state))
    return chosen


def _control_socket_faults(files, run):
    if run not in ASKS_CONTROL_SOCKETS:
        return []
    trace = files.get(CONTROL_TRACE)
    if trace is None:
        raise check.RunError(f"the guest sent no {CONTROL_TRACE}")
    asked = b'sun_path="/run/wpa_supplicant/' in trace
    if asked == ASKS_CONTROL_SOCKETS[run]:
        return []
    return [f"{run} report-netdev (as labnet (netdev)): "
            + ("connected to a control socket while wpa_supplicant is on the bus" if asked
               else "never connected to wpa_supplicant's control sockets")]


def check_tool_run(files, run, facts):
    """Faults of a run whose expectations come from the manager's tools."""
    read_view, fits, table, admits_nobody = TOOL_RUNS[run]
    view = read_view(files, [f.name for f in facts])
    faults = _control_socket_faults(files, run)
    for stem, who in TOOL_REPORTS:
        label = f"{run} {stem} (as {who})"
        process, parsed = check.report_faults(files, stem)
        faults += [f"{label}: {f}" for f in process]
        refused = who == "nobody" and not admits_nobody
        seen = managers.ManagerView() if refused else view
        faults += check_report(parsed, _in_state(facts, parsed, managers.expected_states(seen, facts, table)),
                               managers.expected_entries(seen, facts, fits), label)
    return faults


def check_run(files, run, reports=REPORTS):
    """Faults of one guest run."""
    check.guest_failure(files)
    facts = check.interface_facts(files)
    if run in TOOL_RUNS:
        return check_tool_run(files, run, facts)
    faults = []
    for name, stem, who, expected in reports:
        if name != run or (stem == BENCH_REPORT and f"{stem}.txt" not in files):
            continue
        label = f"{run} {stem} (as {who})"
        process, parsed = check.report_faults(files, stem)
        faults += [f"{label}: {f}" for f in process]
        faults += check_report(parsed, facts, expected, label, against_iw=stem != BENCH_REPORT)
    return faults


def main(run_dirs):
    """Checks each run folder (run-profiles-MANAGER), every one even after one fails."""
    faults, failed = [], 0
    for run_dir in run_dirs:
        run = os.path.basename(os.path.normpath(run_dir)).removeprefix("run-profiles-")
        try:
            files = check.receive(run_dir)
            faults += check_run(files, run)
        except (check.RunError, transfer.TransferError, iwscan.ParseError) as error:
            print(f"lab: FAILED: the {run} run: {error}")
            failed += 1
            continue
        timeline = (files.get("timings.txt") or b"").decode().split()
        print(f"lab: {run} run: guest uptime at each step: {' '.join(timeline)}")
        if "bench-profiles.txt" in files:
            listed = not any(BENCH_REPORT in fault for fault in faults)
            print(bench.profile_figures(files["bench-profiles.txt"].decode("latin-1"), listed))
    if faults:
        print(f"lab: FAILED: {len(faults)} faults in the profiles scenario:")
        for fault in faults:
            print(f"  - {fault}")
    if faults or failed:
        return 1
    print(f"lab: PASSED: the reports of {len(run_dirs)} runs list exactly the profiles their users may read")
    return 0
