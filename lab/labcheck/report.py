"""Parser and shape check of wlanreport's output, read as bytes.

The parse is strict: every line must have the shape the report prints at that
point, so the parse is also the structural check. Problems are collected with
their line numbers instead of stopping at the first."""

import re
from dataclasses import dataclass, field

HEADER = b"Asked version to WLAN interface is 2, Negociated version is 2"
PROBE = re.compile(rb"The string reason for error code 00080005 is \[([^\]\n]*)\] \(ret=(-?\d+), ([0-9a-f]{8})\)")
DUMP_ITEM = re.compile(rb"([0-9a-f]{2,4}) ,")
NETWORK_LIST_ERROR = b"Error in the WlanGetAvailableNetworkList() function call"


@dataclass
class Network:
    index: int
    line: int
    profile: bytes = b""
    ssid: bytes = b""
    type: str = ""
    bssids: int = 0
    connectable: bool = True
    reason: str | None = None
    phy_types: list = field(default_factory=list)
    quality: int = 0
    security: bool = False
    auth: str = ""
    cipher: str = ""
    flags: int = 0
    flag_lines: list = field(default_factory=list)
    reserved: int = 0


@dataclass
class Interface:
    index: int
    line: int
    guid: str = ""
    description: bytes = b""
    state: str = ""
    networks: list | None = None   # None: the network list call failed


@dataclass
class Report:
    probe_text: bytes = b""
    probe_ret: int = 0
    dump: list = field(default_factory=list)
    interfaces: list = field(default_factory=list)
    lines: int = 0
    problems: list = field(default_factory=list)


class _Lines:
    def __init__(self, data):
        self.lines = data.split(b"\n")
        if self.lines and self.lines[-1] == b"":
            self.lines.pop()
        else:
            self.unterminated = True
        self.pos = 0

    def peek(self):
        return self.lines[self.pos] if self.pos < len(self.lines) else None

    def take(self):
        line = self.peek()
        self.pos += 1
        return line

    @property
    def number(self):  # 1-based number of the line take() returns next
        return self.pos + 1


def _field(lines, report, pattern, what):
    """Takes the next line; returns the match of pattern or None (and records why)."""
    number = lines.number
    line = lines.take()
    if line is None:
        report.problems.append(f"line {number}: the report ends where {what} should be")
        return None
    match = re.fullmatch(pattern, line)
    if match is None:
        report.problems.append(f"line {number}: expected {what}, got {line!r}")
    return match


def _numbered(lines, report, prefix, what, index):
    """The line opening block number index, such as "\t\tNetwork 3"."""
    number = lines.number
    m = _field(lines, report, re.escape(prefix) + rb"(\d+)", f"'{what} {index}'")
    if m and int(m.group(1)) != index:
        report.problems.append(f"line {number}: {what.lower()} numbered {int(m.group(1))}, expected {index}")


def _network(lines, report, index):
    net = Network(index=index, line=lines.number)
    _numbered(lines, report, b"\t\tNetwork ", "Network", index)
    m = _field(lines, report, rb"\t\tNetwork name is \[(.*)\]", "the network name line")
    net.profile = m.group(1) if m else b""
    m = _field(lines, report, rb"\t\tSSID name is \[(.*)\]", "the SSID line")
    net.ssid = m.group(1) if m else b""
    m = _field(lines, report, rb"\t\tType is \[(.*)\]", "the type line")
    net.type = m.group(1).decode("latin-1") if m else ""
    m = _field(lines, report, rb"\t\tNumber of BSSID is (-?\d+)", "the BSSID count")
    net.bssids = int(m.group(1)) if m else 0
    m = _field(lines, report,
               rb"\t\tNetwork is connectable|\t\tNetwork is NOT connectable and the reason is \[(.*)\]",
               "the connectable line")
    if m:
        net.connectable = m.group(0).endswith(b"connectable")
        net.reason = None if net.connectable else m.group(1).decode("latin-1")
    m = _field(lines, report, rb"\t\tNumber of physical type is (-?\d+)", "the physical type count")
    count = int(m.group(1)) if m else 0
    for k in range(min(max(count, 0), 8)):
        m = _field(lines, report, rb"\t\tPhysical type " + str(k).encode() + rb" is \[(.*)\]",
                   f"physical type {k}")
        net.phy_types.append(m.group(1).decode("latin-1") if m else "")
    m = _field(lines, report, rb"\t\tSignal strength is (-?\d+)%", "the signal line")
    net.quality = int(m.group(1)) if m else -1
    m = _field(lines, report, rb"\t\tSecurity is (NOT )?enabled", "the security line")
    net.security = bool(m) and m.group(1) is None
    m = _field(lines, report, rb"\t\tAuth Algorithm is \[(.*)\]", "the auth line")
    net.auth = m.group(1).decode("latin-1") if m else ""
    m = _field(lines, report, rb"\t\tCipher Algorithm is \[(.*)\]", "the cipher line")
    net.cipher = m.group(1).decode("latin-1") if m else ""
    m = _field(lines, report, rb"\t\tflags are (-?\d+)", "the flags line")
    net.flags = int(m.group(1)) if m else 0
    for bit, name in ((1, b"WLAN_AVAILABLE_NETWORK_CONNECTED"), (2, b"WLAN_AVAILABLE_NETWORK_HAS_PROFILE")):
        if net.flags & bit:
            if _field(lines, report, rb"\t\tFlag " + name + rb" is set", f"the {name.decode()} line"):
                net.flag_lines.append(name.decode())
    m = _field(lines, report, rb"\t\treserved is (-?\d+)", "the reserved line")
    net.reserved = int(m.group(1)) if m else 0
    _field(lines, report, rb"", "the blank line after a network")
    return net


def _interface(lines, report, index):
    iface = Interface(index=index, line=lines.number)
    _numbered(lines, report, b"Interface ", "Interface", index)
    m = _field(lines, report,
               rb"\tThe Wifi interface GUID is \[([0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12})\]",
               "the GUID line")
    iface.guid = m.group(1).decode() if m else ""
    m = _field(lines, report, rb"\tThe Wifi interface description is \[(.*)\]", "the description line")
    iface.description = m.group(1) if m else b""
    m = _field(lines, report, rb"\tThe Wifi interface state is \[(.*)\]", "the state line")
    iface.state = m.group(1).decode("latin-1") if m else ""
    number = lines.number
    line = lines.peek()
    if line == NETWORK_LIST_ERROR:
        lines.take()
        iface.networks = None
    else:
        m = _field(lines, report, rb"\tThere are (\d+) Wifi network", "the network count")
        iface.networks = []
        count = int(m.group(1)) if m else 0
        if m is None:
            report.problems.append(f"line {number}: cannot read the networks of interface {index}")
        for j in range(count):
            iface.networks.append(_network(lines, report, j))
    _field(lines, report, rb"", "the blank line after an interface")
    return iface


def parse(data):
    """Parses the report's bytes; problems holds every shape fault found."""
    report = Report()
    if b"\r" in data:
        report.problems.append("the report has CR bytes; Linux line ends are LF alone")
    lines = _Lines(data)
    if getattr(lines, "unterminated", False):
        report.problems.append("the report's last line has no line end")
    _field(lines, report, re.escape(HEADER), "the version line")
    m = _field(lines, report, PROBE, "the reason probe line")
    if m:
        report.probe_text = m.group(1)
        report.probe_ret = int(m.group(2))
        if int(m.group(3), 16) != report.probe_ret & 0xFFFFFFFF:
            report.problems.append("line 2: the probe's decimal and hex results differ")
    number = lines.number
    line = lines.take()
    if line is None or not re.fullmatch(rb"(?:[0-9a-f]{2,4} ,){128}", line):
        report.problems.append(f"line {number}: expected 128 '%.2x ,' items, got {line!r}")
    else:
        report.dump = [int(v, 16) for v in DUMP_ITEM.findall(line)]
    m = _field(lines, report, rb"There are (\d+) Wifi interface", "the interface count")
    count = int(m.group(1)) if m else 0
    for i in range(count):
        if lines.peek() is None:
            report.problems.append(f"the report ends before interface {i} of {count}")
            break
        report.interfaces.append(_interface(lines, report, i))
    if lines.peek() is not None:
        report.problems.append(f"line {lines.number}: unexpected text after the last interface: {lines.peek()!r}")
    report.lines = len(lines.lines)
    _check_probe_dump(report)
    return report


def _check_probe_dump(report):
    """The dump shows the probe's buffer: the text, its terminator, then the 0x6161 fill."""
    dump = report.dump
    if len(dump) != 128:
        return
    text = report.probe_text
    if report.probe_ret == 0:
        expected = list(text) + [0]
        if dump[:len(expected)] != expected:
            report.problems.append("line 3: the dump does not start with the probe's text and its terminator")
        tail = dump[len(expected):127]
        if any(unit not in (0x6161, 0) for unit in tail):
            report.problems.append("line 3: the dump after the text is neither the 6161 fill nor zero")
    if dump[127] != 0:
        report.problems.append("line 3: the buffer's last unit is not 0")


def expected_line_count(report):
    """Lines the report must have for the interfaces and networks it announced."""
    total = 4
    for iface in report.interfaces:
        total += 5 + 1   # 'Interface i', GUID, description, state, networks line or error; blank
        for net in iface.networks or []:
            total += 14 + min(len(net.phy_types), 8) + len(net.flag_lines)
    return total
