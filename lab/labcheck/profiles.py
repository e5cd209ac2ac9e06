"""Checks the profiles scenario: NetworkManager's run and iwd's run.

Each report, run without privileges, must give every saved profile it may read
an entry of its own right before the network's plain entry (HAS_PROFILE, the
profile's name), put the connected flag on the profile in use, and show no
profile it may not read. Without its profile entries it must be exactly the
list the radio lab holds against iw."""

import dataclasses

from . import bench, check, compare, iwscan, transfer

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


def check_run(files, run, reports=REPORTS):
    """Faults of one guest run (nm or iwd)."""
    check.guest_failure(files)
    facts = check.interface_facts(files)
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
    faults = []
    for run, run_dir in zip(("nm", "iwd"), run_dirs):
        try:
            files = check.receive(run_dir)
            faults += check_run(files, run)
        except (check.RunError, transfer.TransferError, iwscan.ParseError) as error:
            print(f"lab: FAILED: the {run} run: {error}")
            return 1
        timeline = (files.get("timings.txt") or b"").decode().split()
        print(f"lab: {run} run: guest uptime at each step: {' '.join(timeline)}")
        if "bench-profiles.txt" in files:
            listed = not any(BENCH_REPORT in fault for fault in faults)
            print(bench.profile_figures(files["bench-profiles.txt"].decode("latin-1"), listed))
    if faults:
        print(f"lab: FAILED: {len(faults)} faults in the profiles scenario:")
        for fault in faults:
            print(f"  - {fault}")
        return 1
    print(f"lab: PASSED: {len(REPORTS)} reports list exactly the profiles their users may read")
    return 0
