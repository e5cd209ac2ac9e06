"""What the report must show under wpa_supplicant and ConnMan, worked out from
the managers' own tools, run in the guest around the reports (wpa_cli,
connmanctl), and from iw's scan of each station: the profiles listed on each
visible network, the one with the connected flag, each interface's state.

The managers' matching rules are written here a second time, over the tools'
texts and iw's, only as far as the lab's networks need them."""

import dataclasses

from . import check, expect, iwscan

CONNECTED, HAS_PROFILE = 1, 2
PRIVACY = 0x10

# wpa_supplicant's key_mgmt names and the AKM suites (RSN or WPA element) each may use.
SUPPLICANT_AKMS = {"WPA-EAP": 1, "WPA-PSK": 2, "FT-EAP": 3, "FT-PSK": 4, "WPA-EAP-SHA256": 5,
                   "WPA-PSK-SHA256": 6, "SAE": 8, "FT-SAE": 9, "WPA-EAP-SUITE-B": 11,
                   "WPA-EAP-SUITE-B-192": 12, "OWE": 18}
# ConnMan's service security of a secured network by its AKMs (the lab has no
# SAE, OWE or WEP network).
CONNMAN_AKMS = {"psk": {2, 4, 6}, "ieee8021x": {1, 3, 5}}

# The managers' state names and the report's state; a name not here keeps
# what nl80211 says. wpa_supplicant's as its bus names them (wpa_cli's
# wpa_state in lower case); ConnMan's by connmanctl's letter for the service
# ("c", configuration: the link is up, what is left is IP).
SUPPLICANT_STATES = {"disconnected": "disconnected", "inactive": "disconnected", "scanning": "discovering",
                     "authenticating": "authenticating", "associating": "associating",
                     "associated": "associating", "4way_handshake": "authenticating",
                     "group_handshake": "authenticating", "completed": "connected"}
CONNMAN_STATES = {"a": "associating", "c": "connected", "R": "connected", "O": "connected",
                  "d": "disconnecting"}


@dataclasses.dataclass
class Profile:
    name: bytes
    ssid: bytes
    adhoc: bool = False
    key: str = ""              # ConnMan's security; wpa_supplicant's in keys
    keys: frozenset = frozenset()
    bssid: str | None = None   # wpa_supplicant's lock to one access point


@dataclasses.dataclass
class ManagerView:
    """One manager as its tools showed it, per interface: its profiles, the one
    in use, its states (before and after the reports)."""
    profiles: dict = dataclasses.field(default_factory=dict)
    in_use: dict = dataclasses.field(default_factory=dict)
    states: dict = dataclasses.field(default_factory=dict)


def _text(files, name):
    data = files.get(name)
    if data is None:
        raise check.RunError(f"the guest sent no {name}")
    return data.decode("utf-8", "replace")


def _akms(entry):
    akms = set()
    for element in (entry.rsn, entry.wpa):
        if element is not None:
            akms.update(element.akms if element.akms_listed else [1])
    return akms


def _mode_fits(profile, entry):
    return expect.bss_type(entry) == (2 if profile.adhoc else 1)


def supplicant_fits(profile, entry):
    """wpa_supplicant would use the network block for the BSS (a WEP BSS never:
    the lab has none)."""
    if entry.ssid != profile.ssid or not _mode_fits(profile, entry):
        return False
    if profile.bssid is not None and profile.bssid != entry.bssid.lower():
        return False
    akms = _akms(entry)
    if not akms:
        return "NONE" in profile.keys and not (entry.capability or 0) & PRIVACY
    return any(SUPPLICANT_AKMS.get(key) in akms for key in profile.keys)


def connman_fits(profile, entry):
    """The BSS belongs to the ConnMan service: SSID, mode and security."""
    if entry.ssid != profile.ssid or not _mode_fits(profile, entry):
        return False
    akms = _akms(entry)
    if not akms:
        return profile.key == ("wep" if (entry.capability or 0) & PRIVACY else "none")
    return bool(CONNMAN_AKMS.get(profile.key, set()) & akms)


def _supplicant_value(value):
    """A GET_NETWORK text: quoted, hex, or FAIL for a setting not made."""
    if value == "FAIL":
        return None
    if len(value) >= 2 and value[0] == value[-1] == '"':
        return value[1:-1].encode()
    return bytes.fromhex(value)


def _settings(text):
    """{id: {name: value}} from "ID NAME<tab>VALUE" lines."""
    networks = {}
    for line in text.splitlines():
        head, sep, value = line.partition("\t")
        network, _, name = head.partition(" ")
        if sep and name:
            networks.setdefault(network, {})[name] = value
    return networks


def _status(text):
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


def supplicant_view(files, names):
    """wpa_supplicant by wpa_cli: the networks of each station (GET_NETWORK
    texts) and STATUS before and after the reports."""
    view = ManagerView()
    for name in names:
        if f"wpas-list-{name}.txt" not in files:
            continue
        profiles = {}
        for network, settings in _settings(_text(files, f"wpas-get-{name}.txt")).items():
            ssid = _supplicant_value(settings.get("ssid", "FAIL"))
            if ssid is None:
                continue
            bssid = settings.get("bssid", "FAIL")
            profiles[network] = Profile(
                name=_supplicant_value(settings.get("id_str", "FAIL")) or ssid, ssid=ssid,
                adhoc=settings.get("mode") == "1", keys=frozenset(settings.get("key_mgmt", "").split()),
                bssid=None if bssid in ("FAIL", "any") else bssid.lower())
        view.profiles[name] = list(profiles.values())
        view.states[name] = []
        for when in ("before", "after"):
            status = _status(_text(files, f"wpas-status-{name}-{when}.txt"))
            view.states[name].append(status.get("wpa_state", "").lower())
            if when == "before" and status.get("id") in profiles:
                view.in_use[name] = profiles[status["id"]]
    return view


def _connman_services(text):
    """(flags, name, service id) of each `connmanctl services` line."""
    services = []
    for line in text.splitlines():
        flags, rest = line[:3], line[4:]
        name, _, service = rest.rstrip().rpartition(" ")
        if service.startswith("wifi_"):
            services.append((flags, name.rstrip().encode(), service))
    return services


def connman_view(files, names):
    """ConnMan by connmanctl: its saved (favourite) Wi-Fi services, each on the
    station whose address its name holds, and each service's state."""
    view = ManagerView()
    addresses = {i.addr.replace(":", ""): i.name for i in iwscan.parse_iw_dev(_text(files, "iw-dev.txt"))
                 if i.name in names and i.addr}
    for when in ("before", "after"):
        states = {name: "" for name in addresses.values()}
        for flags, label, service in _connman_services(_text(files, f"connman-services-{when}.txt")):
            parts = service.split("_")
            name = addresses.get(parts[1])
            if name is None or len(parts) != 5 or parts[2] == "hidden":
                continue
            state = flags[2].strip()
            states[name] = states[name] or state
            if when == "after" or flags[0] != "*":
                continue
            profile = Profile(name=label, ssid=bytes.fromhex(parts[2]), adhoc=parts[3] == "adhoc", key=parts[4])
            view.profiles.setdefault(name, []).append(profile)
            if state:
                view.in_use[name] = profile
        for name, state in states.items():
            view.states.setdefault(name, []).append(state)
    return view


def expected_entries(view, facts, fits):
    """{interface: {(SSID, secured): [{profile name: flags}]}} as the hand
    tables of the profiles check give them, over iw's networks."""
    expected = {}
    for fact in facts:
        if fact.scan_text is None:
            continue
        entries = iwscan.parse_scan_dump(fact.scan_text)
        by_bssid = {e.bssid: e for e in entries}
        networks = expected.setdefault(fact.name, {})
        for network in expect.networks(entries, fact.phy_facts):
            bsses = [by_bssid[b] for b in network.bssids]
            flags = {}
            for profile in view.profiles.get(fact.name, []):
                if any(fits(profile, bss) for bss in bsses):
                    in_use = network.connected and view.in_use.get(fact.name) is profile
                    flags[profile.name] = HAS_PROFILE | (CONNECTED if in_use else 0)
            moved = any(f & CONNECTED for f in flags.values())
            flags[b""] = CONNECTED if network.connected and not moved else 0
            networks.setdefault((network.ssid, network.enabled), []).append(flags)
    return expected


def expected_states(view, facts, table):
    """{interface: the states the report may show}: the manager's state before
    or after the reports, where its table names one; else nl80211's. An
    interface that is down or has formed an ad hoc network stays so."""
    states = {}
    for fact in facts:
        names = view.states.get(fact.name, [])
        if fact.state in ("not_ready", "ad_hoc") or not names:
            states[fact.name] = [fact.state]
        else:
            states[fact.name] = list(dict.fromkeys(table.get(name, fact.state) for name in names))
    return states
