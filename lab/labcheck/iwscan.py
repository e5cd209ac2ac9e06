"""Parser for `iw dev X scan dump`, `iw dev` and `iw phy X info` text.

Only what the report depends on is kept. iw escapes an SSID's unprintable
bytes and its leading and trailing spaces as \\xNN, so the raw bytes can be
recovered exactly."""

import re
from dataclasses import dataclass, field

# iw's names for the suites of OUI 00-0F-AC (the WPA element's 00-50-F2 share them).
CIPHER_SUITES = {
    "Use group cipher suite": 0, "WEP-40": 1, "TKIP": 2, "CCMP": 4, "WEP-104": 5,
    "AES-128-CMAC": 6, "NO-GROUP": 7, "GCMP-128": 8, "GCMP": 8, "GCMP-256": 9,
    "CCMP-256": 10, "BIP-GMAC-128": 11, "BIP-GMAC-256": 12, "BIP-CMAC-256": 13,
}
AKM_SUITES = {
    "IEEE 802.1X": 1, "PSK": 2, "FT/IEEE 802.1X": 3, "FT/PSK": 4, "IEEE 802.1X/SHA-256": 5,
    "PSK/SHA-256": 6, "TDLS/TPK": 7, "SAE": 8, "FT/SAE": 9, "IEEE 802.1X/SUITE-B": 11,
    "IEEE 802.1X/SUITE-B-192": 12, "FT/IEEE 802.1X/SHA-384": 13, "FILS/SHA-256": 14,
    "FILS/SHA-384": 15, "FT/FILS/SHA-256": 16, "FT/FILS/SHA-384": 17, "OWE": 18,
}
# Multi-word AKM names, longest first, so "FT/IEEE 802.1X" is not read as two suites.
_AKM_NAMES = sorted(AKM_SUITES, key=len, reverse=True)
_SUITE = re.compile(r"([0-9a-f]{2})-([0-9a-f]{2})-([0-9a-f]{2}):(\d+)$")

_BSS_LINE = re.compile(r"^BSS ([0-9a-f:]{17})\(on ([^)]+)\)(?: -- (\w+))?")


class ParseError(Exception):
    pass


@dataclass
class SecurityElement:
    """An RSN or WPA element as iw shows it."""
    version: int | None = None
    group: int | None = None
    pairwise: list = field(default_factory=list)
    akms: list = field(default_factory=list)
    pairwise_listed: bool = False
    akms_listed: bool = False


@dataclass
class ScanEntry:
    bssid: str
    interface: str
    status: str | None = None      # "associated", "joined", "authenticated" or None
    freq: float | None = None
    capability: int | None = None
    signal_mbm: int | None = None
    signal_unspec: int | None = None
    ssid: bytes | None = None
    rates: list = field(default_factory=list)   # Mb/s, basic and extended together
    ht: bool = False
    vht: bool = False
    he: bool = False
    eht: bool = False
    rsn: SecurityElement | None = None
    wpa: SecurityElement | None = None


def unescape_ssid(text):
    """Undoes iw's SSID escaping: \\xNN for a byte, everything else as it is."""
    out = bytearray()
    i = 0
    raw = text.encode("latin-1")
    while i < len(raw):
        if raw[i:i + 2] == b"\\x" and re.fullmatch(rb"[0-9a-fA-F]{2}", raw[i + 2:i + 4]):
            out.append(int(raw[i + 2:i + 4], 16))
            i += 4
        else:
            out.append(raw[i])
            i += 1
    return bytes(out)


def parse_suite(name, table):
    match = _SUITE.match(name)
    if match:
        return int(match.group(4))
    if name in table:
        return table[name]
    raise ParseError(f"unknown suite name {name!r}")


def _split_akms(text):
    akms = []
    rest = text.strip()
    while rest:
        for name in _AKM_NAMES:
            if rest == name or rest.startswith(name + " "):
                akms.append(AKM_SUITES[name])
                rest = rest[len(name):].strip()
                break
        else:
            word, _, rest = rest.partition(" ")
            akms.append(parse_suite(word, AKM_SUITES))
            rest = rest.strip()
    return akms


def _parse_security_line(element, text):
    text = text.strip().lstrip("*").strip()
    key, _, value = text.partition(":")
    value = value.strip()
    if key == "Version":
        element.version = int(value)
    elif key == "Group cipher":
        element.group = parse_suite(value, CIPHER_SUITES)
    elif key == "Pairwise ciphers":
        element.pairwise = [parse_suite(v, CIPHER_SUITES) for v in value.split()]
        element.pairwise_listed = True
    elif key == "Authentication suites":
        element.akms = _split_akms(value)
        element.akms_listed = True


def _rates(text):
    return [float(v.rstrip("*")) for v in text.split() if v.rstrip("*")]


def parse_scan_dump(text):
    """Returns the scan entries of one `iw dev X scan dump`, in dump order."""
    entries = []
    entry = None
    security = None   # the RSN or WPA element whose lines are being read
    for line in text.replace("\r", "").split("\n"):
        match = _BSS_LINE.match(line)
        if match:
            entry = ScanEntry(bssid=match.group(1), interface=match.group(2), status=match.group(3))
            entries.append(entry)
            security = None
            continue
        if entry is None or not line.startswith("\t"):
            continue
        if line.startswith("\t\t"):
            if security is not None:
                _parse_security_line(security, line)
            continue
        # A line at one tab: an attribute of the entry or a new element.
        body = line[1:]
        security = None
        key, sep, value = body.partition(":")
        if not sep:
            continue
        if key == "freq":
            entry.freq = float(value)
        elif key == "capability":
            hex_value = re.search(r"\((0x[0-9a-fA-F]+)\)", value)
            if hex_value:
                entry.capability = int(hex_value.group(1), 16)
        elif key == "signal":
            value = value.strip()
            if value.endswith("dBm"):
                entry.signal_mbm = round(float(value[:-3]) * 100)
            elif value.endswith("/100"):
                entry.signal_unspec = int(value[:-4])
        elif key == "SSID" and entry.ssid is None:
            # "SSID: " then the escaped name; an empty name leaves nothing after the space.
            entry.ssid = unescape_ssid(value[1:] if value.startswith(" ") else value)
        elif key in ("Supported rates", "Extended supported rates"):
            entry.rates.extend(_rates(value))
        elif key == "HT capabilities":
            entry.ht = True
        elif key == "VHT capabilities":
            entry.vht = True
        elif key == "HE capabilities":
            entry.he = True
        elif key == "EHT capabilities":
            entry.eht = True
        elif key in ("RSN", "WPA"):
            security = SecurityElement()
            if key == "RSN" and entry.rsn is None:
                entry.rsn = security
            elif key == "WPA" and entry.wpa is None:
                entry.wpa = security
            else:
                security = SecurityElement()  # a repeated element: read and dropped
            if value.strip():
                _parse_security_line(security, value)
    return entries


@dataclass
class Interface:
    name: str | None
    ifindex: int | None
    type: str | None
    addr: str | None = None
    phy: int | None = None


def parse_iw_dev(text):
    """Interfaces of `iw dev`, including those without a netdev."""
    interfaces = []
    phy = None
    current = None
    for line in text.replace("\r", "").split("\n"):
        stripped = line.strip()
        if line.startswith("phy#"):
            phy = int(line[4:])
        elif stripped.startswith("Interface "):
            current = Interface(stripped.split(None, 1)[1], None, None, phy=phy)
            interfaces.append(current)
        elif stripped.startswith("Unnamed/non-netdev interface"):
            current = Interface(None, None, None, phy=phy)
            interfaces.append(current)
        elif current is not None and line.startswith("\t\t"):
            key, _, value = stripped.partition(" ")
            if key == "ifindex":
                current.ifindex = int(value)
            elif key == "type":
                current.type = value
            elif key == "addr":
                current.addr = value
    return interfaces


@dataclass
class PhyFacts:
    ciphers: set = field(default_factory=set)
    modes: set = field(default_factory=set)
    sae: bool = False


def parse_phy_facts(text):
    """Ciphers, interface modes and SAE support from `iw phy X info` (or its excerpt)."""
    facts = PhyFacts()
    section = None
    for line in text.replace("\r", "").split("\n"):
        if re.match(r"^\t[A-Za-z]", line):
            section = line.strip()
            if "SAE" in section:
                facts.sae = True
            continue
        item = line.strip()
        if not item.startswith("*"):
            continue
        item = item.lstrip("*").strip()
        if section == "Supported Ciphers:":
            match = re.search(r"\(([0-9a-f]{2}-[0-9a-f]{2}-[0-9a-f]{2}:\d+)\)", item)
            if match:
                facts.ciphers.add(parse_suite(match.group(1), CIPHER_SUITES))
        elif section == "Supported interface modes:":
            facts.modes.add(item)
    return facts
