// What the platform reports of the BSSs a scan found: each BSS's SSID, type,
// signal quality, PHY types and security, and the BSSs grouped into networks
// as the platform's service groups them: the same SSID, BSS type and security
// settings make one network.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "wlan/linux/nl80211/nl80211_requests.h"
#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/linux/platform/security_decision.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// One BSS as the platform reports it.
struct ReportedBss {
    DOT11_SSID ssid{};
    DOT11_BSS_TYPE type = dot11_BSS_type_infrastructure;
    WLAN_SIGNAL_QUALITY quality = 0;
    DOT11_PHY_TYPE phyTypes[WLAN_MAX_PHY_TYPE_NUMBER] = {};
    std::size_t phyTypeCount = 0;
    SecuritySettings security;
    bool connected = false;
};

// The SSID's length as reported: 0 for a hidden network, whose SSID element
// is empty or only NUL bytes.
std::size_t ReportedSsidLength(const SsidBytes& ssid);

// Signal quality 0..100 from a signal in 1/100 dBm: -100 dBm is 0, -50 dBm is
// 100, linear between, clamped outside.
WLAN_SIGNAL_QUALITY QualityFromMbm(std::int32_t mbm);

// `adapter` (may be null) decides which AKM a first connection would use.
ReportedBss DecideBss(const BssRecord& record, const AdapterCapabilities* adapter);

// Whether an adapter with these capabilities can join a network of this type
// and security. Unknown capabilities (no adapter) do not block.
bool CanJoin(const AdapterCapabilities* adapter, DOT11_BSS_TYPE type,
             const SecuritySettings& security);

// Adds one BSS to the networks: a new network, or one more access point of an
// existing one (best signal, union of PHY types, connected if any is, and
// connectable if `adapter`, which may be null, can join any). Returns the
// index of its network.
std::size_t AddToNetworks(std::vector<WLAN_AVAILABLE_NETWORK>& networks, const ReportedBss& bss,
                          const AdapterCapabilities* adapter);

// The networks of one scan, and for each the facts of its BSSs in the order
// they came (what profile matching reads).
struct ScannedNetworks {
    std::vector<WLAN_AVAILABLE_NETWORK> networks;
    std::vector<std::vector<BssRecord>> bsses;
};

// Adds one BSS to the scan's networks and its facts to its network's.
void AddToScan(ScannedNetworks& scan, const BssRecord& record, const AdapterCapabilities* adapter);

// The interface's cached scan results, grouped into networks as they arrive;
// `scan` starts empty, whatever it held. `adapter` (may be null) is the
// interface's wiphy. 0 or a positive errno.
int DumpNetworks(Nl80211Handle& nl80211, std::uint32_t ifindex, const AdapterCapabilities* adapter,
                 ScannedNetworks& scan);

}  // namespace wlanlinux
