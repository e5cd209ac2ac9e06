#!/usr/bin/env python3
"""Writes the seed corpora: element lists as access points send them,
nl80211 dump buffers as the kernel delivers them, the bus replies' programs
for well-formed replies of NetworkManager, iwd, ConnMan and wpa_supplicant,
and wpa_supplicant 2.10's control-socket replies. Run from this folder."""
import os
import pathlib
import re
import struct

# Elements, byte for byte as typical access points send them.
SSID = lambda s: bytes([0, len(s)]) + s
RATES_B = bytes.fromhex("010482848b96")
RATES_BG = bytes.fromhex("010882848b960c121824") + bytes.fromhex("32043048606c")
RATES_A = bytes.fromhex("01088c129824b048606c")
DS = bytes.fromhex("030106")
TIM = bytes.fromhex("050400010000")
COUNTRY = bytes.fromhex("0706555320010b1e")
ERP = bytes.fromhex("2a0100")
HT_CAP = bytes.fromhex("2d1aef011bffff000000000000000000000000000000000000000000")
HT_OP = bytes([61, 22, 6, 0, 4]) + bytes(19)
EXT_CAP = bytes.fromhex("7f080400000200000040")
WMM = bytes.fromhex("dd180050f2020101000003a4000027a4000042435e0062322f00")
VHT_CAP = bytes.fromhex("bf0cb20180337aff00007aff0000")
VHT_OP = bytes.fromhex("c00501 2a00fcff".replace(" ", ""))
HE_CAP = bytes.fromhex("ff1623" "0178c81a4000" "1cbfce0000000000000000" "faff faff".replace(" ", ""))
HE_OP = bytes.fromhex("ff0724f43f0019fcff")
EHT_CAP = bytes.fromhex("ff0f6c" "0000" "000000000000000000" "222222")


def rsn(group, pairwise, akms, caps=0x000c):
    body = struct.pack("<H", 1) + bytes([0x00, 0x0F, 0xAC, group])
    body += struct.pack("<H", len(pairwise)) + b"".join(bytes([0x00, 0x0F, 0xAC, p]) for p in pairwise)
    body += struct.pack("<H", len(akms)) + b"".join(bytes([0x00, 0x0F, 0xAC, a]) for a in akms)
    body += struct.pack("<H", caps)
    return bytes([48, len(body)]) + body


def wpa(group, pairwise, akms):
    body = bytes([0x00, 0x50, 0xF2, 0x01]) + struct.pack("<H", 1) + bytes([0x00, 0x50, 0xF2, group])
    body += struct.pack("<H", len(pairwise)) + b"".join(bytes([0x00, 0x50, 0xF2, p]) for p in pairwise)
    body += struct.pack("<H", len(akms)) + b"".join(bytes([0x00, 0x50, 0xF2, a]) for a in akms)
    return bytes([221, len(body)]) + body


OWE_TRANSITION = bytes.fromhex("dd0f506f9a1c020000000001046f77652d")
BASE_2G = DS + TIM + COUNTRY + ERP
ELEMENT_SETS = {
    "open_2g": SSID(b"open") + RATES_BG + BASE_2G + HT_CAP + HT_OP + EXT_CAP + WMM,
    "wpa2_psk": SSID(b"wpa2") + RATES_BG + BASE_2G + rsn(4, [4], [2]) + HT_CAP + HT_OP + WMM,
    "wpa3_sae": SSID(b"wpa3") + RATES_BG + BASE_2G + rsn(4, [4], [8], 0x00cc) + HT_CAP + HT_OP + WMM,
    "transition": SSID(b"trans") + RATES_BG + BASE_2G + rsn(4, [4], [2, 8], 0x008c) + HT_CAP + WMM,
    "wpa_tkip": SSID(b"tkip") + RATES_BG + BASE_2G + wpa(2, [2], [2]) + WMM,
    "mixed": SSID(b"mixed") + RATES_BG + BASE_2G + rsn(2, [4], [2]) + wpa(2, [2, 4], [2]) + HT_CAP,
    "enterprise": SSID(b"corp") + RATES_BG + BASE_2G + rsn(4, [4], [1]) + HT_CAP + HT_OP,
    "suite_b_192": SSID(b"cnsa") + RATES_A + DS + rsn(9, [9], [12], 0x00cc) + HT_CAP + VHT_CAP,
    "wep": SSID(b"wep") + RATES_BG + BASE_2G,
    "hidden_empty": SSID(b"") + RATES_BG + BASE_2G + rsn(4, [4], [2]) + HT_CAP,
    "hidden_zeros": SSID(bytes(7)) + RATES_BG + BASE_2G + HT_CAP,
    "vht_he_5g": SSID(b"fast") + RATES_A + bytes.fromhex("030124") + rsn(4, [4], [2])
    + HT_CAP + HT_OP + VHT_CAP + VHT_OP + HE_CAP + HE_OP + WMM,
    "eht_6g": SSID(b"six") + RATES_A + rsn(4, [4, 9], [8, 24], 0x00cc) + HE_CAP + HE_OP + EHT_CAP,
    "owe": SSID(b"owe") + RATES_BG + BASE_2G + rsn(4, [4], [18], 0x00cc) + OWE_TRANSITION + HT_CAP,
    "rates_11b": SSID(b"legacy") + RATES_B + DS,
    "utf8_ssid": SSID("café ☕".encode()) + RATES_BG + BASE_2G + EXT_CAP,
}


def attr(kind, payload):
    length = 4 + len(payload)
    return struct.pack("<HH", length, kind) + payload + bytes((-length) % 4)


def u16(kind, value): return attr(kind, struct.pack("<H", value))
def u32(kind, value): return attr(kind, struct.pack("<I", value & 0xFFFFFFFF))
def u64(kind, value): return attr(kind, struct.pack("<Q", value))
def nest(kind, *parts): return attr(kind | 0x8000, b"".join(parts))


NLM_F_MULTI = 2
NLM_F_DUMP_INTR = 16
NLMSG_DONE = 3
FAMILY = 0x1C
SEQ = 1733600000
PORT = 0


def message(command, *attributes, flags=NLM_F_MULTI, kind=FAMILY):
    payload = bytes([command, 1, 0, 0]) + b"".join(attributes)
    return struct.pack("<IHHII", 16 + len(payload), kind, flags, SEQ, PORT) + payload


def done():
    return struct.pack("<IHHII", 20, NLMSG_DONE, NLM_F_MULTI, SEQ, PORT) + struct.pack("<i", 0)


def bss(elements, frequency, mbm, capability, index, status=None):
    parts = [
        attr(1, bytes([0x02, 0, 0, 0, index, 0])),
        u32(2, frequency),
        u64(3, 123456789 + index),
        u16(4, 100),
        u16(5, capability),
        attr(6, elements),
        u32(7, mbm),
        u32(10, 120),
        attr(11, elements),
        u64(15, 9876543210),
    ]
    if status is not None:
        parts.append(u32(9, status))
    return message(34, u32(46, 7), u32(3, 3), u64(153, 1), nest(47, *parts))


def interface(name, index, iftype, ssid=None):
    parts = [u32(1, 0), u32(3, index), attr(4, name + b"\0"), u32(5, iftype),
             attr(6, bytes([0x02, 0, 0, 0, index, 0])), u64(153, index), u32(46, 7)]
    if ssid is not None:
        parts.append(attr(52, ssid))
    return message(7, *parts)


def wiphy():
    ciphers = struct.pack("<6I", 0x000FAC01, 0x000FAC05, 0x000FAC02, 0x000FAC04, 0x000FAC06, 0x000FAC08)
    iftypes = nest(32, attr(1, b""), attr(2, b""), attr(3, b""), attr(6, b""))
    ext = bytes(8) + bytes([0x04]) + bytes(4)
    return message(3, u32(1, 0), attr(2, b"phy0\0"), attr(57, ciphers), iftypes,
                   u32(143, 0x20), attr(217, ext))


# The bus replies' target reads its input as a program whose bytes index these
# lists; they are read from its source, so the seeds follow any change there.
def target_list(name):
    source = (pathlib.Path(__file__).parent / "fuzz_bus_replies.cpp").read_text()
    body = re.search(r"constexpr const char\* %s\[\] = \{(.*?)\};" % name, source, re.S).group(1)
    return re.findall(r'"((?:[^"\\]|\\.)*)"', body)


BUS_WORDS = target_list("kWords")
BUS_PATHS = target_list("kPaths")
BUS_SHAPES = target_list("kShapes")
BUS_HELD = target_list("kHeld")

def word(w): return bytes([1, BUS_WORDS.index(w)])
def path(p): return bytes([1, BUS_PATHS.index(p)])
def raw(b): return bytes([len(b)]) + b                  # an ay of these bytes
def array(*items): return bytes([len(items)]) + b"".join(items)
def variant(held, value): return bytes([1, BUS_HELD.index(held)]) + value
def number(n): return n.to_bytes(8, "big")
def text(w): return variant("s", word(w))
def texts(*ws): return variant("as", array(*(word(w) for w in ws)))
def group(name, *entries): return word(name) + array(*(word(k) + v for k, v in entries))
def reply(shape, body): return bytes([0, BUS_SHAPES.index(shape)]) + body


def wifi_settings(key_mgmt, mode, extra=()):
    return reply("a{sa{sv}}", array(
        group("connection", ("id", text("lab-home")), ("type", text("802-11-wireless")),
              ("interface-name", text("wlan1"))),
        group("802-11-wireless", ("ssid", variant("ay", raw(b"lab-home"))), ("mode", text(mode)),
              ("mac-address", variant("ay", raw(bytes.fromhex("020000000001")))),
              ("bssid", variant("ay", raw(bytes.fromhex("020000000100")))), ("band", text("bg")),
              ("channel", variant("u", number(6))), ("mac-address-denylist", texts("02:00:00:00:00:01"))),
        group("802-11-wireless-security", ("key-mgmt", text(key_mgmt)), *extra)))


def bus_seeds():
    suites = (("proto", texts("rsn", "wpa")), ("pairwise", texts("ccmp")), ("group", texts("ccmp", "tkip")))
    yield "nm_wpa_psk", wifi_settings("wpa-psk", "infrastructure", suites)
    yield "nm_sae_adhoc", wifi_settings("sae", "adhoc")
    yield "nm_owe", wifi_settings("owe", "infrastructure")
    yield "nm_suite_b", wifi_settings("wpa-eap-suite-b-192", "ap")
    yield "nm_device", reply("a{sv}", array(word("Interface") + text("wlan1"),
                                            word("DeviceType") + variant("u", number(2)),
                                            word("Managed") + variant("b", number(1)),
                                            word("ActiveConnection") + variant("o", path(BUS_PATHS[1]))))
    yield "nm_paths", reply("ao", array(path(BUS_PATHS[1]), path(BUS_PATHS[2]), path(BUS_PATHS[1])))
    yield "iwd_station", reply("a{oa{sa{sv}}}", array(
        path("/net/connman/iwd/0/3")
        + array(group("net.connman.iwd.Device", ("Name", text("wlan1"))),
                group("net.connman.iwd.Station", ("ConnectedNetwork", variant("o", path(BUS_PATHS[4]))))),
        path(BUS_PATHS[4]) + array(group("net.connman.iwd.Network", ("KnownNetwork", variant("o", path(BUS_PATHS[5]))))),
        path(BUS_PATHS[5]) + array(group("net.connman.iwd.KnownNetwork", ("Name", text("lab-home")),
                                         ("Type", text("psk")))),
    ))
    yield "connman_services", reply("a(oa{sv})", array(
        path(BUS_PATHS[6]) + array(word("Type") + text("wifi"), word("Name") + text("lab-home"),
                                   word("Favorite") + variant("b", number(1)), word("State") + text("online"),
                                   word("Security") + texts("psk", "wps"),
                                   word("Ethernet") + variant("a{sv}", array(word("Interface") + text("wlan1")))),
        path(BUS_PATHS[7]) + array(word("Type") + text("wifi"), word("State") + text("idle"),
                                   word("Favorite") + variant("b", number(1)), word("Security") + texts("none")),
    ))

    network = BUS_PATHS[8]
    yield "supplicant_interface", reply("a{sv}", array(
        word("Ifname") + text("wlan1"), word("State") + text("completed"),
        word("CurrentNetwork") + variant("o", path(network)),
        word("Networks") + variant("ao", array(path(network), path(network)))))
    yield "supplicant_network", reply("v", variant("a{sv}", array(
        word("ssid") + text("6c61622d686f6d65"), word("id_str") + text("6c61622d686f6d65"),
        word("key_mgmt") + text("WPA-PSK SAE"), word("bssid") + text("02:00:00:00:00:01"),
        word("mode") + text("1"), word("disabled") + text("1"))))


CONTROL_REPLIES = {
    "list": b"network id / ssid / bssid / flags\n0\thome net\tany\t[CURRENT]\n"
            b"1\thello\\xe2\\x82\\xac\t02:00:00:00:01:00\t\n2\topen\tany\t[DISABLED][P2P-PERSISTENT]\n",
    "status": b"bssid=02:00:00:00:01:00\nfreq=2437\nssid=home net\nid=0\nid_str=home\nmode=station\n"
              b"pairwise_cipher=CCMP\ngroup_cipher=CCMP\nkey_mgmt=WPA2-PSK\nwpa_state=COMPLETED\n",
    "quoted": b'"home net"',
    "hex": b"68656c6c6fe282ac",
    "key_mgmt": b"WPA-PSK WPA-EAP SAE",
    "ciphers": b"CCMP TKIP",
    "bssid": b"02:00:00:00:01:00",
    "not_set": b"FAIL\n",
}


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def main():
    for name, elements in ELEMENT_SETS.items():
        write("corpus/elements", name, elements)

    sets = ELEMENT_SETS
    write("corpus/scan_dump", "one_network",
          bss(sets["wpa2_psk"], 2437, -2000, 0x0411, 1) + done())
    write("corpus/scan_dump", "several_networks",
          bss(sets["open_2g"], 2412, -5000, 0x0401, 1)
          + bss(sets["wpa2_psk"], 2437, -6500, 0x0411, 2, status=1)
          + bss(sets["wpa2_psk"], 5180, -4000, 0x0411, 3)
          + bss(sets["vht_he_5g"], 5180, -7000, 0x0411, 4)
          + bss(sets["mixed"], 2462, -8000, 0x0411, 5)
          + bss(sets["hidden_empty"], 2412, -9000, 0x0411, 6)
          + done())
    write("corpus/scan_dump", "ad_hoc_and_wep",
          bss(sets["wep"], 2412, -3000, 0x0012, 7, status=2) + bss(sets["wep"], 2412, -3000, 0x0011, 8) + done())
    write("corpus/scan_dump", "six_ghz", bss(sets["eht_6g"], 5955, -5500, 0x0411, 9) + done())
    write("corpus/scan_dump", "interrupted",
          bss(sets["owe"], 2412, -5000, 0x0411, 1) + message(34, nest(47, u16(5, 0x0401)), flags=NLM_F_MULTI | NLM_F_DUMP_INTR))
    write("corpus/scan_dump", "interfaces",
          interface(b"wlan0", 3, 2, ssid=b"wpa2") + interface(b"wlan1", 4, 1) + interface(b"wlan2", 5, 3)
          + message(7, u32(1, 0), u32(5, 10), u64(153, 9)) + done())
    write("corpus/scan_dump", "wiphy", wiphy() + done())
    for name, program in bus_seeds():
        write("corpus/bus_replies", name, program)
    for name, reply in CONTROL_REPLIES.items():
        write("corpus/control_replies", name, reply)


if __name__ == "__main__":
    main()
