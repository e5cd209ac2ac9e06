#include "wlan/linux/api/network_grouping.h"

#include <algorithm>
#include <cstring>

namespace wlanlinux {
namespace {

bool SameNetwork(const WLAN_AVAILABLE_NETWORK& network, const BssRecord& bss) {
    return network.dot11Ssid.uSSIDLength == bss.ssid.uSSIDLength &&
           std::memcmp(network.dot11Ssid.ucSSID, bss.ssid.ucSSID, bss.ssid.uSSIDLength) == 0 &&
           network.dot11BssType == bss.type &&
           (network.bSecurityEnabled != 0) == bss.security.enabled &&
           network.dot11DefaultAuthAlgorithm == bss.security.auth &&
           network.dot11DefaultCipherAlgorithm == bss.security.cipher;
}

void AddPhyTypes(WLAN_AVAILABLE_NETWORK& network, const BssRecord& bss) {
    for (std::size_t i = 0; i != bss.phyTypeCount; ++i) {
        const DOT11_PHY_TYPE type = bss.phyTypes[i];
        DOT11_PHY_TYPE* begin = network.dot11PhyTypes;
        DOT11_PHY_TYPE* end = begin + network.uNumberOfPhyTypes;
        if (std::find(begin, end, type) != end) continue;
        if (network.uNumberOfPhyTypes == WLAN_MAX_PHY_TYPE_NUMBER) {
            network.bMorePhyTypes = 1;
            continue;
        }
        network.dot11PhyTypes[network.uNumberOfPhyTypes++] = type;
    }
}

void SetConnectable(WLAN_AVAILABLE_NETWORK& network, bool connectable) {
    network.bNetworkConnectable = connectable ? 1 : 0;
    network.wlanNotConnectableReason =
        connectable ? WLAN_REASON_CODE_SUCCESS : WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE;
}

WLAN_AVAILABLE_NETWORK NewNetwork(const BssRecord& bss) {
    WLAN_AVAILABLE_NETWORK network{};  // no profile name, no reserved bits
    network.dot11Ssid = bss.ssid;
    network.dot11BssType = bss.type;
    network.wlanSignalQuality = bss.quality;
    network.bSecurityEnabled = bss.security.enabled ? 1 : 0;
    network.dot11DefaultAuthAlgorithm = bss.security.auth;
    network.dot11DefaultCipherAlgorithm = bss.security.cipher;
    SetConnectable(network, bss.connectable);
    return network;
}

}  // namespace

void AddToNetworks(std::vector<WLAN_AVAILABLE_NETWORK>& networks, const BssRecord& bss) {
    auto found = std::find_if(networks.begin(), networks.end(),
                              [&bss](const WLAN_AVAILABLE_NETWORK& network) {
                                  return SameNetwork(network, bss);
                              });
    if (found == networks.end()) {
        networks.push_back(NewNetwork(bss));
        found = networks.end() - 1;
    }
    WLAN_AVAILABLE_NETWORK& network = *found;
    network.uNumberOfBssids += 1;
    network.wlanSignalQuality = std::max(network.wlanSignalQuality, bss.quality);
    AddPhyTypes(network, bss);
    // One access point the adapter can join makes the network joinable.
    if (bss.connectable) SetConnectable(network, true);
    if (bss.connected) network.dwFlags |= WLAN_AVAILABLE_NETWORK_CONNECTED;
}

}  // namespace wlanlinux
