// BSS entries grouped into networks as the platform's service groups them: the
// same SSID, BSS type and security settings make one network.
#pragma once

#include <vector>

#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// Adds one BSS to the networks: a new network, or one more access point of an
// existing one (best signal, union of PHY types, connected if any is).
void AddToNetworks(std::vector<WLAN_AVAILABLE_NETWORK>& networks, const BssRecord& bss);

}  // namespace wlanlinux
