// The kernel's cached scan results: one NL80211_CMD_GET_SCAN dump message per
// BSS, turned into what the network list needs of that BSS.
#pragma once

#include <libmnl/libmnl.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "wlan/linux/ieee80211/security_suites.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

struct BssRecord {
    DOT11_SSID ssid{};
    DOT11_BSS_TYPE type = dot11_BSS_type_infrastructure;
    WLAN_SIGNAL_QUALITY quality = 0;
    DOT11_PHY_TYPE phyTypes[WLAN_MAX_PHY_TYPE_NUMBER] = {};
    std::size_t phyTypeCount = 0;
    SecuritySettings security;
    bool connected = false;  // the interface is associated with it or has joined it
};

// Signal quality 0..100 from a signal in 1/100 dBm: -100 dBm is 0, -50 dBm is
// 100, linear between, clamped outside.
WLAN_SIGNAL_QUALITY QualityFromMbm(std::int32_t mbm);

// One scan dump message. Empty when it carries no BSS, or a BSS that is
// neither an infrastructure network nor an ad hoc one. `adapter` (may be null)
// decides which AKM a first connection would use.
std::optional<BssRecord> ParseScanMessage(const nlmsghdr* message,
                                          const AdapterCapabilities* adapter);

}  // namespace wlanlinux
