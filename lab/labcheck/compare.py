"""The report against iw, interface by interface and network by network.

Every fault is a sentence naming the interface, the network and the field, so
that a failing lab run says what broke without opening the logs."""

from dataclasses import dataclass

from . import expect, iwscan


@dataclass
class InterfaceFacts:
    """What the guest recorded about one listed interface."""
    name: str
    state: str                 # a key of expect.STATE_NAMES
    scan_text: str | None      # iw's scan dump, None when it failed
    phy_facts: object = None


def state_from_link(link_text):
    """Interface state from `ip link show` followed by `iw dev X link`."""
    first = link_text.split("\n", 1)[0]
    flags = first[first.find("<") + 1:first.find(">")].split(",") if "<" in first else []
    if "UP" not in flags:
        return "not_ready"
    if "\nConnected to " in "\n" + link_text:
        return "connected"
    if "\nJoined IBSS " in "\n" + link_text:
        return "ad_hoc"
    return "disconnected"


def _agreement(expected, net):
    return sum((
        net.type == expect.BSS_TYPE_NAMES.get(expected.type),
        net.security == expected.enabled,
        expected.auth is None or net.auth == expect.auth_name(expected.auth),
        expected.cipher is None or net.cipher == expect.cipher_name(expected.cipher),
        net.bssids == len(expected.bssids),
    ))


def _pair(expected_networks, report_networks):
    """Pairs each expected network with the report's network of the same SSID that agrees most."""
    unmatched = list(report_networks)
    pairs = []
    for expected in expected_networks:
        candidates = [n for n in unmatched if n.ssid == expected.ssid]
        if not candidates:
            pairs.append((expected, None))
            continue
        best = max(candidates, key=lambda n: _agreement(expected, n))
        unmatched.remove(best)
        pairs.append((expected, best))
    return pairs, unmatched


def _compare_network(where, expected, net, faults):
    name = f"{where}: network {expected.label()}"

    def differs(field, got, want, why=""):
        faults.append(f"{name}: {field} is {got}, iw's scan dump gives {want}{why}")

    type_name = expect.BSS_TYPE_NAMES.get(expected.type)
    if net.type != type_name:
        differs("type", f"[{net.type}]", f"[{type_name}]")
    if net.bssids != len(expected.bssids):
        differs("number of BSSIDs", net.bssids, len(expected.bssids), f" ({', '.join(expected.bssids)})")
    if net.quality != expected.quality:
        signal = "" if expected.best_mbm is None else f"best {expected.best_mbm / 100:g} dBm, "
        differs("signal quality", f"{net.quality}%", f"{expected.quality}%",
                f" ({signal}2 x (dBm + 100) clamped to 0..100)")
    want_phy = [expect.phy_name(t) for t in expected.phy_types]
    if net.phy_types != want_phy:
        differs("physical types", net.phy_types, want_phy, f" (types {expected.phy_types})")
    if net.security != expected.enabled:
        differs("security enabled", net.security, expected.enabled)
    if expected.auth is not None and net.auth != expect.auth_name(expected.auth):
        differs("auth algorithm", f"[{net.auth}]", f"[{expect.auth_name(expected.auth)}]",
                f" (algorithm {expected.auth})")
    if expected.cipher is not None and net.cipher != expect.cipher_name(expected.cipher):
        differs("cipher algorithm", f"[{net.cipher}]", f"[{expect.cipher_name(expected.cipher)}]",
                f" (algorithm {expected.cipher:#x})")
    if net.connectable != expected.connectable:
        differs("connectable", net.connectable, expected.connectable)
    if bool(net.flags & 1) != expected.connected:
        differs("connected flag", f"flags {net.flags}",
                "an associated BSS" if expected.connected else "no associated BSS")
    if net.flags & ~1:
        faults.append(f"{name}: flags are {net.flags}; only the connected bit can be set here")
    if net.profile:
        faults.append(f"{name}: network name is {net.profile!r}; there are no profiles")
    if net.reserved != 0:
        faults.append(f"{name}: reserved is {net.reserved}")


def compare_interface(iface, facts, faults):
    where = f"interface {iface.index} ({facts.name})"
    want_state = expect.STATE_NAMES[facts.state]
    if iface.state != want_state:
        faults.append(f"{where}: state is [{iface.state}], the guest shows [{want_state}]")
    if facts.scan_text is None:
        if iface.networks:
            faults.append(f"{where}: iw's scan dump failed but the report lists {len(iface.networks)} networks")
        return
    if iface.networks is None:
        faults.append(f"{where}: the report could not list networks, iw's scan dump could")
        return
    entries = iwscan.parse_scan_dump(facts.scan_text)
    expected_networks = expect.networks(entries, facts.phy_facts)
    if len(iface.networks) != len(expected_networks):
        faults.append(f"{where}: {len(iface.networks)} networks in the report, "
                      f"{len(expected_networks)} in iw's scan dump")
    pairs, extra = _pair(expected_networks, iface.networks)
    for expected, net in pairs:
        if net is None:
            faults.append(f"{where}: network {expected.label()} is missing from the report "
                          f"(iw: {', '.join(expected.bssids)})")
        else:
            _compare_network(where, expected, net, faults)
    for net in extra:
        faults.append(f"{where}: network {expect.describe_ssid(net.ssid)} is in the report "
                      "but not in iw's scan dump")


def compare(report, interfaces):
    """Faults between a parsed report and the guest's facts about the listed interfaces."""
    faults = []
    names = [f.name for f in interfaces]
    if len(report.interfaces) != len(interfaces):
        faults.append(f"the report lists {len(report.interfaces)} interfaces, iw lists "
                      f"{len(interfaces)} stations and ad-hoc interfaces ({' '.join(names)})")
    for iface, facts in zip(report.interfaces, interfaces):
        compare_interface(iface, facts, faults)
    guids = [i.guid for i in report.interfaces]
    if len(set(guids)) != len(guids):
        faults.append(f"interface GUIDs are not unique: {guids}")
    for iface in report.interfaces:
        if not iface.description:
            faults.append(f"interface {iface.index}: the description is empty")
    return faults
