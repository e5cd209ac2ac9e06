"""Checks one lab run: decodes what the guest sent, then holds the report
against iw (network by network), against the lab's own networks, and against
the report's shape. Prints the benchmark figures too."""

import os

from . import bench, compare, iwscan, labnetworks, report, transfer


class RunError(Exception):
    """The guest did not produce what the checks need: the lab itself failed."""


def _text(files, name):
    data = files.get(name)
    return None if data is None else data.decode("utf-8", "replace")


def receive(run_dir):
    """Decodes the data port into run_dir/out and returns {name: bytes}."""
    path = os.path.join(run_dir, "data.log")
    with open(path, "r", encoding="latin-1") as f:
        data = f.read()
    if not transfer.complete(data):
        console = os.path.join(run_dir, "console.log")
        tail = ""
        if os.path.exists(console):
            with open(console, "r", encoding="latin-1") as f:
                tail = f.read().replace("\r", "")[-3000:]
        raise RunError(f"the guest sent no complete results; console ends with:\n{tail}")
    files = transfer.decode(data)
    out = os.path.join(run_dir, "out")
    os.makedirs(out, exist_ok=True)
    for name, content in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(content)
    return files


def interface_facts(files):
    """The listed interfaces (stations and ad-hoc, in ifindex order) as the guest saw them."""
    dev = _text(files, "iw-dev.txt")
    if dev is None:
        raise RunError("the guest sent no iw-dev.txt")
    listed = [i for i in iwscan.parse_iw_dev(dev)
              if i.name and i.ifindex is not None and i.type in ("managed", "IBSS")]
    listed.sort(key=lambda i: i.ifindex)
    facts = []
    for iface in listed:
        link = _text(files, f"link-{iface.name}.txt")
        if link is None:
            raise RunError(f"the guest sent no link facts for {iface.name}")
        scan_rc = (_text(files, f"scan-{iface.name}.rc") or "1").strip()
        scan = _text(files, f"scan-{iface.name}.txt") if scan_rc == "0" else None
        phy = _text(files, f"phy-{iface.name}.txt")
        facts.append(compare.InterfaceFacts(
            name=iface.name, state=compare.state_from_link(link), scan_text=scan,
            phy_facts=iwscan.parse_phy_facts(phy) if phy else None))
    return facts


def guest_failure(files):
    """Raises RunError when the guest could not set the lab up."""
    failure = files.get("guest-failure.txt")
    if failure is not None:
        raise RunError("the guest could not set the lab up: "
                       f"{failure.decode('utf-8', 'replace').strip()} (logs in run/out)")


def report_faults(files, name="report"):
    """The faults of one report run (name.txt, .rc, .err): its exit, stderr and
    shape. Returns (faults, parsed report)."""
    faults = []
    rc = (_text(files, f"{name}.rc") or "?").strip()
    if rc in ("124", "143"):
        faults.append(f"wlanreport did not finish within 60 s (status {rc})")
    elif rc != "0":
        faults.append(f"wlanreport exited with status {rc}")
    err = files.get(f"{name}.err", b"")
    if err:
        faults.append(f"wlanreport wrote to stderr: {err[:300]!r}")
    data = files.get(f"{name}.txt")
    if data is None:
        raise RunError(f"the guest sent no {name}.txt")
    parsed = report.parse(data)
    faults += [f"shape: {p}" for p in parsed.problems]
    if not parsed.problems and parsed.lines != report.expected_line_count(parsed):
        faults.append(f"shape: {parsed.lines} lines, the announced interfaces and networks "
                      f"make {report.expected_line_count(parsed)}")
    return faults, parsed


def check_files(files):
    """Returns (faults, parsed report, interface facts)."""
    guest_failure(files)
    faults, parsed = report_faults(files)
    trace = files.get("strace-report.txt")
    if trace is not None:
        for kind in bench.changes(bench.requests(trace.decode("latin-1"))):
            faults.append(f"wlanreport sent {kind}: it must only read the kernel's state")
    facts = interface_facts(files)
    faults += compare.compare(parsed, facts)
    faults += labnetworks.check(parsed, facts)
    return faults, parsed, facts


def _summary(parsed, facts):
    lines = []
    for iface, fact in zip(parsed.interfaces, facts):
        count = "error" if iface.networks is None else len(iface.networks)
        lines.append(f"  {fact.name}: {iface.state}, {count} networks")
    return "\n".join(lines)


def main(run_dir):
    try:
        files = receive(run_dir)
        faults, parsed, facts = check_files(files)
    except (RunError, transfer.TransferError, iwscan.ParseError) as error:
        print(f"lab: FAILED: {error}")
        return 1
    print(f"lab: report has {parsed.lines} lines, {len(parsed.interfaces)} interfaces:")
    print(_summary(parsed, facts))
    timeline = _text(files, "timings.txt")
    if timeline:
        steps = ", ".join(f"{name} {float(at):.1f}s" for name, at in
                          (line.split() for line in timeline.splitlines() if len(line.split()) == 2))
        print(f"lab: guest uptime at each step: {steps}")
    figures = bench.summarize(files, len(facts))
    if figures:
        print(figures)
    if faults:
        print(f"lab: FAILED: {len(faults)} differences between the report and iw:")
        for fault in faults:
            print(f"  - {fault}")
        return 1
    networks = sum(len(i.networks or []) for i in parsed.interfaces)
    print(f"lab: PASSED: {networks} networks on {len(parsed.interfaces)} interfaces agree with iw")
    return 0

