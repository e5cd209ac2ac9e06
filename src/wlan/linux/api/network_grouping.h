// BSS entries grouped into networks as the platform's service groups them: the
// same SSID, BSS type and security settings make one network.
#pragma once

#include <cstdint>
#include <vector>

#include "wlan/linux/ieee80211/security_suites.h"
#include "wlan/linux/netlink/netlink_socket.h"
#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// Whether an adapter with these capabilities can join a network of this type
// and security. Unknown capabilities (no adapter) do not block.
bool CanJoin(const AdapterCapabilities* adapter, DOT11_BSS_TYPE type,
             const SecuritySettings& security);

// Adds one BSS to the networks: a new network, or one more access point of an
// existing one (best signal, union of PHY types, connected if any is, and
// connectable if `adapter`, which may be null, can join any).
void AddToNetworks(std::vector<WLAN_AVAILABLE_NETWORK>& networks, const BssRecord& bss,
                   const AdapterCapabilities* adapter);

// The interface's cached scan results, grouped into networks as they arrive;
// `networks` starts empty, whatever it held. `adapter` (may be null) is the
// interface's wiphy. 0 or a positive errno.
int DumpNetworks(NetlinkSocket& socket, std::uint16_t family, std::uint32_t ifindex,
                 const AdapterCapabilities* adapter,
                 std::vector<WLAN_AVAILABLE_NETWORK>& networks);

}  // namespace wlanlinux
