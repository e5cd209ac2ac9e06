// The scripts of the golden files, one function per file.
#include "golden_scripts.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A network record with every field zero and the given SSID and profile name.
WLAN_AVAILABLE_NETWORK MakeNetwork(const std::string& ssid, const std::u16string& profile = u"") {
    WLAN_AVAILABLE_NETWORK network{};
    SetWideText(network.strProfileName, profile);
    std::memcpy(network.dot11Ssid.ucSSID, ssid.data(), std::min<std::size_t>(ssid.size(), 32));
    network.dot11Ssid.uSSIDLength = static_cast<ULONG>(ssid.size());
    return network;
}

ScriptedInterface ScriptInterface(std::uint32_t id, const std::u16string& description, DWORD state) {
    return {{id, 0, 0, {}}, description, state, 0, {}};
}

// The probe answers with a short English text.
WlanScript BaseScript() {
    WlanScript script;
    script.reasons.push_back({WLAN_REASON_CODE_INVALID_PHY_TYPE, 0, u"The PHY type is invalid."});
    return script;
}

// Networks whose fields cover the tables, the truth fields, the flags and the
// SSID rules.
std::vector<WLAN_AVAILABLE_NETWORK> VariedNetworks() {
    std::vector<WLAN_AVAILABLE_NETWORK> networks;

    WLAN_AVAILABLE_NETWORK home = MakeNetwork("home", u"Home profile");
    home.dot11BssType = static_cast<DOT11_BSS_TYPE>(1);
    home.uNumberOfBssids = 2;
    home.bNetworkConnectable = 1;
    home.uNumberOfPhyTypes = 3;
    home.dot11PhyTypes[0] = static_cast<DOT11_PHY_TYPE>(4);
    home.dot11PhyTypes[1] = static_cast<DOT11_PHY_TYPE>(6);
    home.dot11PhyTypes[2] = static_cast<DOT11_PHY_TYPE>(7);
    home.wlanSignalQuality = 87;
    home.bSecurityEnabled = 1;
    home.dot11DefaultAuthAlgorithm = static_cast<DOT11_AUTH_ALGORITHM>(7);
    home.dot11DefaultCipherAlgorithm = static_cast<DOT11_CIPHER_ALGORITHM>(4);
    home.dwFlags = 3;
    networks.push_back(home);

    // Not connectable: the reason's text is asked for.
    WLAN_AVAILABLE_NETWORK adhoc = MakeNetwork("ad\xC3\xA9hoc\x1B[2J");
    adhoc.dot11BssType = static_cast<DOT11_BSS_TYPE>(2);
    adhoc.uNumberOfBssids = 1;
    adhoc.bNetworkConnectable = 0;
    adhoc.wlanNotConnectableReason = WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE;
    adhoc.uNumberOfPhyTypes = 2;
    adhoc.dot11PhyTypes[0] = static_cast<DOT11_PHY_TYPE>(0x80000000);
    adhoc.dot11PhyTypes[1] = static_cast<DOT11_PHY_TYPE>(0xFFFFFFFF);
    adhoc.bSecurityEnabled = 2;  // only exactly 1 means enabled
    adhoc.dot11DefaultAuthAlgorithm = static_cast<DOT11_AUTH_ALGORITHM>(0);
    adhoc.dot11DefaultCipherAlgorithm = static_cast<DOT11_CIPHER_ALGORITHM>(3);
    adhoc.dwFlags = 1;
    networks.push_back(adhoc);

    // Not connectable for a reason the service has no text for: empty
    // brackets, not the previous network's text.
    WLAN_AVAILABLE_NETWORK unknown = MakeNetwork("");
    unknown.dot11BssType = static_cast<DOT11_BSS_TYPE>(3);
    unknown.wlanNotConnectableReason = 0x12345678;
    unknown.dot11DefaultAuthAlgorithm = static_cast<DOT11_AUTH_ALGORITHM>(0x80000000);
    unknown.dot11DefaultCipherAlgorithm = static_cast<DOT11_CIPHER_ALGORITHM>(0x101);
    unknown.dwFlags = 2;
    networks.push_back(unknown);

    // Values the platform never gives: counts at or above 2^31 print negative,
    // an SSID length above 32 uses 32 bytes, a PHY count above 8 prints 8.
    WLAN_AVAILABLE_NETWORK extreme = MakeNetwork(std::string(32, 'S'));
    extreme.dot11Ssid.uSSIDLength = 0xFFFFFFFF;
    extreme.dot11BssType = static_cast<DOT11_BSS_TYPE>(0xFFFFFFFF);
    extreme.uNumberOfBssids = 0x80000000;
    extreme.bNetworkConnectable = -1;
    extreme.uNumberOfPhyTypes = 0xFFFFFFFF;
    for (DWORD k = 0; k < 8; ++k) extreme.dot11PhyTypes[k] = static_cast<DOT11_PHY_TYPE>(k);
    extreme.bMorePhyTypes = 1;
    extreme.wlanSignalQuality = 0xFFFFFFFF;
    extreme.bSecurityEnabled = 0;
    extreme.dot11DefaultAuthAlgorithm = static_cast<DOT11_AUTH_ALGORITHM>(0xFFFFFFFF);
    extreme.dot11DefaultCipherAlgorithm = static_cast<DOT11_CIPHER_ALGORITHM>(0xFFFFFFFF);
    extreme.dwFlags = 0xFFFFFFFF;
    extreme.dwReserved = 0x80000001;
    networks.push_back(extreme);

    // A zero byte inside the SSID ends it; a profile name fills its field.
    WLAN_AVAILABLE_NETWORK zero = MakeNetwork(std::string("ab\0cd", 5));
    SetWideText(zero.strProfileName, std::u16string(256, u'p'));
    zero.bNetworkConnectable = 1;
    zero.dot11DefaultAuthAlgorithm = static_cast<DOT11_AUTH_ALGORITHM>(1);
    zero.dot11DefaultCipherAlgorithm = static_cast<DOT11_CIPHER_ALGORITHM>(0);
    networks.push_back(zero);
    return networks;
}

// A failed open prints one line and calls nothing else.
WlanScript OpenFailure() {
    WlanScript script;
    script.openResult = ERROR_SERVICE_NOT_ACTIVE;
    return script;
}

WlanScript ProbeUntouched() {
    WlanScript script;  // the probe's code is unknown: 87, buffer as filled
    script.negotiatedVersion = 1;
    return script;
}

// The probe's text is short and its call fails.
WlanScript ProbeShortText() {
    WlanScript script;
    script.reasons.push_back({WLAN_REASON_CODE_INVALID_PHY_TYPE, 0x80004005, u"The"});
    return script;
}

// A probe text without a terminator is read within the buffer.
WlanScript ProbeUnterminated() {
    WlanScript script;
    script.reasons.push_back(
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, 0, std::u16string(200, u'x'), false});
    return script;
}

// A failed close only prints its line.
WlanScript CloseFailure() {
    WlanScript script = BaseScript();
    script.closeResult = ERROR_INVALID_HANDLE;
    return script;
}

// A failed interface list prints its line and frees nothing.
WlanScript InterfacesFailure() {
    WlanScript script = BaseScript();
    script.enumResult = ERROR_NOT_ENOUGH_MEMORY;
    return script;
}

// GUIDs, descriptions and states.
WlanScript Interfaces() {
    WlanScript script = BaseScript();
    script.interfaces.push_back(
        {{1, 0xA, 0xBEEF, {0x0A, 0x00, 0xFF, 0x10, 0x01, 0xAB, 0xCD, 0xEF}}, u"Caf\u00E9 adapter", 0, 0, {}});
    // Greek, CJK and a surrogate pair: one "?" per 16-bit unit.
    script.interfaces.push_back({{0xFFFFFFFF, 0xFFFF, 0xFFFF, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
                                 u"\u03A9\u4E2D\U0001F600 wifi", 7, 0, {}});
    // A description that fills its field without a terminator.
    script.interfaces.push_back(ScriptInterface(3, std::u16string(256, u'd'), 8));
    script.interfaces.push_back(ScriptInterface(4, u"negative state", 0x80000000));
    for (DWORD state = 1; state <= 6; ++state)
        script.interfaces.push_back(ScriptInterface(10 + state, u"state", state));
    return script;
}

// The network list fails for one interface only.
WlanScript NetworkListFailure() {
    WlanScript script = BaseScript();
    script.interfaces = {ScriptInterface(1, u"refused", 4), ScriptInterface(2, u"answers", 4)};
    script.interfaces[0].networkListResult = 120;
    script.interfaces[1].networks = {MakeNetwork("after")};
    script.interfaces[1].networks[0].bNetworkConnectable = 1;
    return script;
}

// Every network field, the name tables and the flags.
WlanScript Networks() {
    WlanScript script = BaseScript();
    script.reasons.push_back(
        {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, 0, u"The network is not compatible."});
    script.reasons.push_back({0x12345678, ERROR_INVALID_PARAMETER, u"partial", false});
    script.interfaces = {ScriptInterface(1, u"adapter", 1)};
    script.interfaces[0].networks = VariedNetworks();
    return script;
}

constexpr GoldenDataSet kDataSets[] = {
    {"open_failure", OpenFailure},
    {"probe_untouched", ProbeUntouched},
    {"probe_short_text", ProbeShortText},
    {"probe_unterminated", ProbeUnterminated},
    {"close_failure", CloseFailure},
    {"interfaces_failure", InterfacesFailure},
    {"interfaces", Interfaces},
    {"network_list_failure", NetworkListFailure},
    {"networks", Networks},
};

}  // namespace

std::span<const GoldenDataSet> GoldenDataSets() { return kDataSets; }

const GoldenDataSet* FindGoldenDataSet(std::string_view name) {
    for (const GoldenDataSet& set : kDataSets)
        if (name == set.name) return &set;
    return nullptr;
}
