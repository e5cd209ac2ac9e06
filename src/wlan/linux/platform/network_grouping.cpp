#include "wlan/linux/platform/network_grouping.h"

#include <algorithm>
#include <cstring>

#include "wlan/linux/platform/phy_types.h"

namespace wlanlinux {
namespace {

bool SameNetwork(const WLAN_AVAILABLE_NETWORK& network, const ReportedBss& bss) {
    return network.dot11Ssid.uSSIDLength == bss.ssid.uSSIDLength &&
           std::memcmp(network.dot11Ssid.ucSSID, bss.ssid.ucSSID, bss.ssid.uSSIDLength) == 0 &&
           network.dot11BssType == bss.type &&
           (network.bSecurityEnabled != 0) == bss.security.enabled &&
           network.dot11DefaultAuthAlgorithm == bss.security.auth &&
           network.dot11DefaultCipherAlgorithm == bss.security.cipher;
}

void AddPhyTypes(WLAN_AVAILABLE_NETWORK& network, const ReportedBss& bss) {
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

WLAN_AVAILABLE_NETWORK NewNetwork(const ReportedBss& bss, bool connectable) {
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

WLAN_SIGNAL_QUALITY QualityOf(const BssRecord& record) {
    if (record.signalMbm) return QualityFromMbm(*record.signalMbm);
    if (record.signalUnspecified) return std::min<WLAN_SIGNAL_QUALITY>(*record.signalUnspecified, 100);
    return 0;
}

}  // namespace

std::size_t ReportedSsidLength(const SsidBytes& ssid) {
    const bool hidden = std::all_of(ssid.data, ssid.data + ssid.length,
                                    [](std::uint8_t byte) { return byte == 0; });
    return hidden ? 0 : ssid.length;
}

WLAN_SIGNAL_QUALITY QualityFromMbm(std::int32_t mbm) {
    // quality = 2 * (dBm + 100) = (mbm + 10000) / 50, clamped before dividing.
    const std::int64_t shifted = std::clamp<std::int64_t>(std::int64_t{mbm} + 10000, 0, 5000);
    return static_cast<WLAN_SIGNAL_QUALITY>(shifted / 50);
}

ReportedBss DecideBss(const BssRecord& record, const AdapterCapabilities* adapter) {
    ReportedBss bss;
    bss.ssid.uSSIDLength = static_cast<ULONG>(ReportedSsidLength(record.elements.ssid));
    std::memcpy(bss.ssid.ucSSID, record.elements.ssid.data, bss.ssid.uSSIDLength);
    bss.type = record.kind == BssKind::Independent ? dot11_BSS_type_independent
                                                   : dot11_BSS_type_infrastructure;
    bss.quality = QualityOf(record);
    bss.phyTypeCount = ListPhyTypes(record.frequencyMhz, record.elements, bss.phyTypes);
    bss.security = DecideSecurity(record.privacy, record.elements, adapter != nullptr && adapter->sae);
    bss.connected = record.connected;
    return bss;
}

bool CanJoin(const AdapterCapabilities* adapter, DOT11_BSS_TYPE type,
             const SecuritySettings& security) {
    if (adapter == nullptr) return true;
    if (type == dot11_BSS_type_independent && !adapter->ibss) return false;
    if (security.pairwiseCiphers == 0 || !adapter->cipherListKnown) return true;
    return (security.pairwiseCiphers & adapter->ciphers) != 0;
}

std::size_t AddToNetworks(std::vector<WLAN_AVAILABLE_NETWORK>& networks, const ReportedBss& bss,
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
    return static_cast<std::size_t>(found - networks.begin());
}

void AddToScan(ScannedNetworks& scan, const BssRecord& record, const AdapterCapabilities* adapter) {
    const std::size_t index = AddToNetworks(scan.networks, DecideBss(record, adapter), adapter);
    if (index == scan.bsses.size()) scan.bsses.emplace_back();
    scan.bsses[index].push_back(record);
}

int DumpNetworks(Nl80211Handle& nl80211, std::uint32_t ifindex, const AdapterCapabilities* adapter,
                 ScannedNetworks& scan) {
    const auto restart = [&scan] {
        scan.networks.clear();
        scan.bsses.clear();
    };
    restart();
    return DumpScanResults(nl80211, ifindex, restart,
                           [&](const BssRecord& record) { AddToScan(scan, record, adapter); });
}

}  // namespace wlanlinux
