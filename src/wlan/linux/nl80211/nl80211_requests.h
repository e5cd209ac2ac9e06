// Every nl80211 request the layer sends, each built the one way and its reply
// messages handed to the parsers: interfaces, wiphys, a station's link, scan
// results. No parsing and no system calls of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "wlan/linux/netlink/netlink_socket.h"
#include "wlan/linux/nl80211/nl80211_interfaces.h"
#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"

namespace wlanlinux {

// The station and ad hoc interfaces, in the kernel's order. 0 or a positive errno.
int DumpInterfaces(NetlinkSocket& socket, std::uint16_t family,
                   std::vector<WirelessInterface>& interfaces);

// What each wiphy can do (the split dump). 0 or a positive errno.
int DumpAdapters(NetlinkSocket& socket, std::uint16_t family,
                 std::vector<AdapterCapabilities>& adapters);

// How far the interface's station is on its way to an access point; None when
// the dump fails.
StationProgress DumpStationProgress(NetlinkSocket& socket, std::uint16_t family,
                                    std::uint32_t ifindex);

// The interface's cached scan results, each BSS handed to `add` as it
// arrives; `restart` is called before the dump starts again, its earlier BSSs
// to be forgotten. `adapter` (may be null) is the interface's wiphy. 0 or a
// positive errno.
int DumpScanResults(NetlinkSocket& socket, std::uint16_t family, std::uint32_t ifindex,
                    const AdapterCapabilities* adapter, const std::function<void()>& restart,
                    const std::function<void(const BssRecord&)>& add);

}  // namespace wlanlinux
