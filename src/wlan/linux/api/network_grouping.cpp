#include "wlan/linux/api/network_grouping.h"

#include <algorithm>
#include <cstring>

#include "wlan/linux/nl80211/nl80211_requests.h"

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

WLAN_AVAILABLE_NETWORK NewNetwork(const BssRecord& bss, bool connectable) {
    WLAN_AVAILABLE_NETWORK network{};  // no profile name, no reserved bits
    network.dot11Ssid = bss.ssid;
    network.dot11BssType = bss.type;
    network.wlanSignalQuality = bss.quality;
    network.bSecurityEnabled = bss.security.enabled ? 1 : 0;
    network.dot11DefaultAuthAlgorithm = bss.security.auth;
    network.dot11DefaultCipherAlgorithm = bss.security.cipher;
    SetConnectable(network, connectable);
    return network;
}

}  // namespace

bool CanJoin(const AdapterCapabilities* adapter, DOT11_BSS_TYPE type,
             const SecuritySettings& security) {
    if (adapter == nullptr) return true;
    if (type == dot11_BSS_type_independent && !adapter->ibss) return false;
    if (security.pairwiseCiphers == 0 || !adapter->cipherListKnown) return true;
    return (security.pairwiseCiphers & adapter->ciphers) != 0;
}

void AddToNetworks(std::vector<WLAN_AVAILABLE_NETWORK>& networks, const BssRecord& bss,
                   const AdapterCapabilities* adapter) {
    const bool connectable = CanJoin(adapter, bss.type, bss.security);
    auto found = std::find_if(networks.begin(), networks.end(),
                              [&bss](const WLAN_AVAILABLE_NETWORK& network) {
                                  return SameNetwork(network, bss);
                              });
    if (found == networks.end()) {
        networks.push_back(NewNetwork(bss, connectable));
        found = networks.end() - 1;
    }
    WLAN_AVAILABLE_NETWORK& network = *found;
    network.uNumberOfBssids += 1;
    network.wlanSignalQuality = std::max(network.wlanSignalQuality, bss.quality);
    AddPhyTypes(network, bss);
    // One access point the adapter can join makes the network joinable.
    if (connectable) SetConnectable(network, true);
    if (bss.connected) network.dwFlags |= WLAN_AVAILABLE_NETWORK_CONNECTED;
}

int DumpNetworks(NetlinkSocket& socket, std::uint16_t family, std::uint32_t ifindex,
                 const AdapterCapabilities* adapter,
                 std::vector<WLAN_AVAILABLE_NETWORK>& networks) {
    networks.clear();
    return DumpScanResults(
        socket, family, ifindex, adapter, [&networks] { networks.clear(); },
        [&](const BssRecord& bss) { AddToNetworks(networks, bss, adapter); });
}

}  // namespace wlanlinux
