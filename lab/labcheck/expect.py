"""What the report must say about a scan cache, worked out from iw's view of it.

This is the report's mapping written a second time, independently, over iw's
decoded text rather than the raw attributes: the lab then shows that the two
agree on a real Wi-Fi stack."""

from dataclasses import dataclass, field

# The platform's values and the names the report prints for them.
BSS_TYPE_NAMES = {1: "dot11_BSS_type_infrastructure", 2: "dot11_BSS_type_independent"}
PHY_NAMES = {4: "dot11_phy_type_ofdm", 5: "dot11_phy_type_hrdsss", 6: "dot11_phy_type_erp"}
AUTH_NAMES = {1: "DOT11_AUTH_ALGO_80211_OPEN", 3: "DOT11_AUTH_ALGO_WPA", 4: "DOT11_AUTH_ALGO_WPA_PSK",
              6: "DOT11_AUTH_ALGO_RSNA", 7: "DOT11_AUTH_ALGO_RSNA_PSK"}
CIPHER_NAMES = {0: "DOT11_CIPHER_ALGO_NONE", 1: "DOT11_CIPHER_ALGO_WEP40", 2: "DOT11_CIPHER_ALGO_TKIP",
                4: "DOT11_CIPHER_ALGO_CCMP", 5: "DOT11_CIPHER_ALGO_WEP104", 0x101: "DOT11_CIPHER_ALGO_WEP"}
UNKNOWN_PHY = "Unknown physical type"
UNKNOWN_AUTH = "Unknown Auth Algorithm"
UNKNOWN_CIPHER = "Unknown Cipher Algorithm"

OPEN, WPA, WPA_PSK, RSNA, RSNA_PSK, WPA3, WPA3_SAE, OWE = 1, 3, 4, 6, 7, 8, 9, 10
CIPHER_NONE, CIPHER_WEP = 0, 0x101
OFDM, HRDSSS, ERP, HT, VHT, HE, EHT = 4, 5, 6, 7, 8, 10, 11

# AKM suite -> auth algorithm, for the RSN element.
_RSN_AKM = {1: RSNA, 3: RSNA, 5: RSNA, 2: RSNA_PSK, 4: RSNA_PSK, 6: RSNA_PSK,
            8: WPA3_SAE, 24: WPA3_SAE, 18: OWE, 12: WPA3}
_WPA_AKM = {1: WPA, 2: WPA_PSK}
# Pairwise suites, strongest first, and the cipher algorithm each gives.
_CIPHER_STRENGTH = [(9, 9), (10, 10), (8, 8), (4, 4), (2, 2), (5, 5), (1, 1)]

STATE_NAMES = {"not_ready": "wlan_interface_state_not_ready",
               "connected": "wlan_interface_state_connected",
               "ad_hoc": "wlan_interface_state_ad_hoc_network_formed",
               "disconnecting": "wlan_interface_state_disconnecting",
               "disconnected": "wlan_interface_state_disconnected",
               "associating": "wlan_interface_state_associating",
               "discovering": "wlan_interface_state_discovering",
               "authenticating": "wlan_interface_state_authenticating"}


def quality(mbm=None, unspec=None):
    """Signal quality: 2 x (dBm + 100) clamped to 0..100, in whole steps of 0.5 dB."""
    if mbm is not None:
        return max(0, min(mbm + 10000, 5000)) // 50
    if unspec is not None:
        return min(unspec, 100)
    return 0


def _auth_from_akms(akms, table, adapter_sae):
    kinds = {table[a] for a in akms if a in table}
    if not kinds:
        return None
    if len(kinds) == 1:
        return kinds.pop()
    if WPA3_SAE in kinds and adapter_sae:
        return WPA3_SAE
    for preferred in (OWE, WPA3, RSNA, WPA):
        if preferred in kinds:
            return preferred
    for preferred in (RSNA_PSK, WPA_PSK):
        if preferred in kinds:
            return preferred
    return None


def _strongest_cipher(suites):
    for suite, algorithm in _CIPHER_STRENGTH:
        if suite in suites:
            return algorithm
    return None


def security(entry, adapter_sae):
    """(enabled, auth, cipher) of one scan entry."""
    privacy = entry.capability is not None and bool(entry.capability & 0x10)
    for element, table, default_cipher in ((entry.rsn, _RSN_AKM, 4), (entry.wpa, _WPA_AKM, 2)):
        if element is None:
            continue
        akms = element.akms if element.akms_listed else [1]
        pairwise = element.pairwise if element.pairwise_listed else [default_cipher]
        auth = _auth_from_akms(akms, table, adapter_sae)
        cipher = _strongest_cipher(pairwise)
        if auth is not None and cipher is not None:
            return True, auth, cipher
    if entry.rsn is not None or entry.wpa is not None or privacy:
        if entry.rsn is None and entry.wpa is None:
            return True, OPEN, CIPHER_WEP
        return True, None, None   # an element the mapping cannot place: only "enabled" is checked
    return False, OPEN, CIPHER_NONE


def band(freq):
    if freq is None:
        return None
    if 2400 <= freq < 2500:
        return "2.4"
    if 5925 <= freq <= 7125:
        return "6"
    if 4900 <= freq < 5925:
        return "5"
    if 57000 <= freq <= 71000:
        return "60"
    return None


def phy_types(entry):
    types = []
    b = band(entry.freq)
    ofdm_rates = any(rate not in (1.0, 2.0, 5.5, 11.0) for rate in entry.rates)
    if b == "2.4":
        if ofdm_rates:
            types.append(ERP)
        elif entry.rates:
            types.append(HRDSSS)
    elif b == "5":
        types.append(OFDM)
    elif b == "6" and ofdm_rates:
        types.append(OFDM)
    elif b == "60":
        types.append(9)
    for present, kind in ((entry.ht, HT), (entry.vht, VHT), (entry.he or b == "6", HE), (entry.eht, EHT)):
        if present and kind not in types:
            types.append(kind)
    return types


def bss_type(entry):
    cap = entry.capability or 0
    if cap & 0x1:
        return 1
    if cap & 0x2:
        return 2
    return None


@dataclass
class ExpectedNetwork:
    ssid: bytes
    type: int
    enabled: bool
    auth: int | None
    cipher: int | None
    bssids: list = field(default_factory=list)
    quality: int = 0
    best_mbm: int | None = None
    phy_types: list = field(default_factory=list)
    connected: bool = False
    connectable: bool = False

    def label(self):
        return describe_ssid(self.ssid)


def describe_ssid(ssid):
    text = "".join(chr(b) if 0x20 <= b < 0x7f else f"\\x{b:02x}" for b in ssid)
    return f"'{text}'" if ssid else "'' (hidden)"


def can_join(facts, net_type, cipher):
    if facts is None:
        return True
    if net_type == 2 and "IBSS" not in facts.modes:
        return False
    needs = {2: 2, 4: 4, 8: 8, 9: 9, 10: 10, 1: 1, 5: 5, CIPHER_WEP: 1}
    suite = needs.get(cipher)
    return suite is None or not facts.ciphers or suite in facts.ciphers


def networks(entries, facts):
    """Groups scan entries as the report does: by SSID, BSS type and security."""
    groups = []
    sae = facts.sae if facts is not None else False
    for entry in entries:
        kind = bss_type(entry)
        if kind is None:
            continue   # neither ESS nor IBSS: not a network the report lists
        enabled, auth, cipher = security(entry, sae)
        ssid = entry.ssid or b""
        key = (ssid, kind, enabled, auth, cipher)
        group = next((g for g in groups if (g.ssid, g.type, g.enabled, g.auth, g.cipher) == key), None)
        if group is None:
            group = ExpectedNetwork(ssid, kind, enabled, auth, cipher)
            groups.append(group)
        group.bssids.append(entry.bssid)
        group.quality = max(group.quality, quality(entry.signal_mbm, entry.signal_unspec))
        if entry.signal_mbm is not None:
            group.best_mbm = max(entry.signal_mbm, group.best_mbm or entry.signal_mbm)
        for t in phy_types(entry):
            if t not in group.phy_types:
                group.phy_types.append(t)
        group.connected |= entry.status in ("associated", "joined")
        group.connectable |= can_join(facts, kind, cipher)
    return groups


def phy_name(value):
    return PHY_NAMES.get(value, UNKNOWN_PHY)


def auth_name(value):
    return AUTH_NAMES.get(value, UNKNOWN_AUTH)


def cipher_name(value):
    return CIPHER_NAMES.get(value, UNKNOWN_CIPHER)
