"""The networks and interfaces the guest sets up (lab/guest/*.conf, init.sh),
with what the report must say about each, independently of iw.

Comparing with iw shows that the report reads the cache as iw does; this shows
that the lab really has a network of every kind, and pins the names for each
security kind, so a fault shared by the report and the iw-side model shows."""

from dataclasses import dataclass

from . import expect

OPEN = "DOT11_AUTH_ALGO_80211_OPEN"
RSNA = "DOT11_AUTH_ALGO_RSNA"
RSNA_PSK = "DOT11_AUTH_ALGO_RSNA_PSK"
WPA = "DOT11_AUTH_ALGO_WPA"
WPA_PSK = "DOT11_AUTH_ALGO_WPA_PSK"
UNKNOWN_AUTH = expect.UNKNOWN_AUTH
NONE = "DOT11_CIPHER_ALGO_NONE"
WEP = "DOT11_CIPHER_ALGO_WEP"
TKIP = "DOT11_CIPHER_ALGO_TKIP"
CCMP = "DOT11_CIPHER_ALGO_CCMP"
UNKNOWN_CIPHER = expect.UNKNOWN_CIPHER
ERP = "dot11_phy_type_erp"
HRDSSS = "dot11_phy_type_hrdsss"
OFDM = "dot11_phy_type_ofdm"
LATER = expect.UNKNOWN_PHY   # HT, VHT, HE: types the report's table does not name
INFRA = "dot11_BSS_type_infrastructure"
ADHOC = "dot11_BSS_type_independent"

SCANNER = "wlan5"


@dataclass(frozen=True)
class LabNetwork:
    ssid: bytes
    auth: str
    cipher: str
    phy: tuple
    quality: int
    bssids: int = 1
    type: str = INFRA

    @property
    def secured(self):
        return self.cipher != NONE


# As heard by the scanning station. Signals: radio 0 at -69 dBm, the 5 GHz radio
# at -58, lab-twin's second access point at -60, the ad-hoc radio at -65, the
# 11b radio at -20 (above the scale's top).
NETWORKS = [
    LabNetwork(b"lab-open", OPEN, NONE, (ERP, LATER), 62),
    LabNetwork(b"lab-wep", OPEN, WEP, (ERP,), 62),                  # hostapd drops HT with WEP
    LabNetwork(b"lab-wpa-tkip", WPA_PSK, TKIP, (ERP,), 62),         # and with TKIP alone
    LabNetwork(b"lab-wpa2-psk", RSNA_PSK, CCMP, (ERP, LATER), 62),
    LabNetwork(b"lab-wpa-mixed", RSNA_PSK, CCMP, (ERP, LATER), 62),
    LabNetwork(b"lab-wpa3-sae", UNKNOWN_AUTH, CCMP, (ERP, LATER), 62),
    LabNetwork(b"lab-wpa2-wpa3", UNKNOWN_AUTH, CCMP, (ERP, LATER), 62),   # hwsim supports SAE
    LabNetwork(b"lab-wpa2-ent", RSNA, CCMP, (ERP, LATER), 62),
    LabNetwork(b"lab-owe", UNKNOWN_AUTH, CCMP, (ERP, LATER), 62),
    LabNetwork(b"", RSNA_PSK, CCMP, (ERP, LATER), 62),              # lab-hidden's beacon
    LabNetwork(b"lab-hidden", RSNA_PSK, CCMP, (ERP, LATER), 62),    # its probe response
    LabNetwork("café-ラボ".encode(), OPEN, NONE, (ERP, LATER), 62),
    LabNetwork(b"lab\x1besc", OPEN, NONE, (ERP, LATER), 62),
    LabNetwork(b"lab-twin", OPEN, NONE, (ERP, LATER), 80, bssids=2),
    LabNetwork(b"lab-wpa-ent", WPA, TKIP, (ERP,), 62),
    LabNetwork(b"lab-suite-b", UNKNOWN_AUTH, UNKNOWN_CIPHER, (ERP, LATER), 62),   # 192-bit, GCMP-256
    LabNetwork(b"lab-11b", OPEN, NONE, (HRDSSS,), 100),
    LabNetwork(b"lab-5ghz", RSNA_PSK, CCMP, (OFDM, LATER, LATER, LATER), 84),
    LabNetwork(b"lab-gcmp256", RSNA_PSK, UNKNOWN_CIPHER, (OFDM, LATER, LATER, LATER), 84),
    LabNetwork(b"lab-adhoc", OPEN, NONE, (ERP,), 70, type=ADHOC),
]

STATES = {
    "wlan4": "wlan_interface_state_connected",
    "wlan5": "wlan_interface_state_disconnected",
    "wlan6": "wlan_interface_state_not_ready",
    "wlan7": "wlan_interface_state_ad_hoc_network_formed",
}
# The only networks whose connected flag may be set, by interface.
CONNECTED = {"wlan4": b"lab-wpa2-psk", "wlan7": b"lab-adhoc"}


def _check_network(where, lab, net, faults):
    name = f"{where}: lab network {expect.describe_ssid(lab.ssid)}"
    fields = (
        ("type", net.type, lab.type),
        ("number of BSSIDs", net.bssids, lab.bssids),
        ("auth algorithm", net.auth, lab.auth),
        ("cipher algorithm", net.cipher, lab.cipher),
        ("security enabled", net.security, lab.secured),
        ("physical types", tuple(net.phy_types), lab.phy),
        ("signal quality", net.quality, lab.quality),
        ("connectable", net.connectable, True),
    )
    for field, got, want in fields:
        if got != want:
            faults.append(f"{name}: {field} is {got!r}, the lab set up {want!r}")


def check(report, interfaces):
    """Faults between the report and the lab's own set-up."""
    faults = []
    by_name = {fact.name: iface for iface, fact in zip(report.interfaces, interfaces)}
    for name, state in STATES.items():
        iface = by_name.get(name)
        if iface is None:
            faults.append(f"{name}: missing from the report")
        elif iface.state != state:
            faults.append(f"{name}: state is [{iface.state}], the lab set up [{state}]")
    for name, iface in by_name.items():
        for net in iface.networks or []:
            if net.flags & 1 and CONNECTED.get(name) != net.ssid:
                faults.append(f"{name}: network {expect.describe_ssid(net.ssid)} is flagged "
                              "connected; the lab connected nothing to it here")
        wanted = CONNECTED.get(name)
        if wanted is not None and not any(n.ssid == wanted and n.flags & 1 for n in iface.networks or []):
            faults.append(f"{name}: network {expect.describe_ssid(wanted)} is not flagged connected")
    scanner = by_name.get(SCANNER)
    if scanner is None or scanner.networks is None:
        faults.append(f"{SCANNER}: the scanning station has no network list")
        return faults
    for lab in NETWORKS:
        found = [n for n in scanner.networks if n.ssid == lab.ssid and n.type == lab.type]
        if len(found) != 1:
            faults.append(f"{SCANNER}: lab network {expect.describe_ssid(lab.ssid)} appears "
                          f"{len(found)} times in the report, expected once")
            continue
        _check_network(SCANNER, lab, found[0], faults)
    return faults
