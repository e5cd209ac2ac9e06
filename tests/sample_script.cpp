#include "sample_script.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The SSID texts of the sample, numbers in decimal. Built with to_chars: the
// benchmark times the whole program, and snprintf here cost more than a tenth
// of the report's own time.
char* Put(char* at, std::string_view text) { return std::copy(text.begin(), text.end(), at); }
char* Put(char* at, unsigned number) { return std::to_chars(at, at + 10, number).ptr; }

void SampleNetwork(std::size_t interfaceIndex, DWORD index, WLAN_AVAILABLE_NETWORK& network) {
    std::memset(&network, 0, sizeof network);
    const auto n = static_cast<unsigned>(index);
    char ssid[64];
    char* end = ssid;
    switch (index % 8) {
    case 0: end = Put(Put(Put(Put(end, "office-"), static_cast<unsigned>(interfaceIndex)), "-"), n); break;
    case 1: end = Put(Put(end, "caf\xC3\xA9-"), n); break;
    case 2: end = Put(Put(end, "esc\x1B[2J"), n); break;
    case 3: break;  // hidden
    case 5: end = Put(Put(end, "csi\xC2\x9B"), n); break;  // a C1 control
    default: end = Put(Put(Put(end, "network number "), n), " of many"); break;
    }
    auto length = end - ssid;
    length = length > 32 ? 32 : length;
    std::memcpy(network.dot11Ssid.ucSSID, ssid, static_cast<std::size_t>(length));
    network.dot11Ssid.uSSIDLength = static_cast<ULONG>(length);
    if (index % 5 == 0) SetWideText(network.strProfileName, u"Profile \u00C9t\u00E9 \u4E2D");

    network.dot11BssType = static_cast<DOT11_BSS_TYPE>(1 + index % 4);
    network.uNumberOfBssids = 1 + index % 3;
    network.bNetworkConnectable = index % 4 != 3;
    network.wlanNotConnectableReason = WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE;
    network.uNumberOfPhyTypes = index % 9;
    for (DWORD k = 0; k < 8; ++k) network.dot11PhyTypes[k] = static_cast<DOT11_PHY_TYPE>((index + k) % 8);
    network.wlanSignalQuality = index % 101;
    network.bSecurityEnabled = index % 3 != 0;
    network.dot11DefaultAuthAlgorithm = static_cast<DOT11_AUTH_ALGORITHM>(index % 10);
    network.dot11DefaultCipherAlgorithm = static_cast<DOT11_CIPHER_ALGORITHM>(index % 7);
    network.dwFlags = index % 4;
}

}  // namespace

WlanScript SampleScript(std::size_t interfaces, DWORD networksPerInterface) {
    WlanScript script;
    script.reasons.push_back({WLAN_REASON_CODE_INVALID_PHY_TYPE, 0, u"The PHY type is invalid."});
    script.reasons.push_back(
        {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, 0, u"The network is not compatible."});
    for (std::size_t i = 0; i < interfaces; ++i) {
        ScriptedInterface entry;
        entry.guid.Data1 = static_cast<std::uint32_t>(0x1000 + i);
        entry.guid.Data4[7] = static_cast<std::uint8_t>(i);
        entry.description = u"Sample adapter " + std::u16string(1, static_cast<char16_t>(u'A' + i % 26));
        entry.state = static_cast<DWORD>(i % 9);
        script.interfaces.push_back(entry);
    }
    script.generatedNetworks = networksPerInterface;
    script.generateNetwork = SampleNetwork;
    return script;
}
