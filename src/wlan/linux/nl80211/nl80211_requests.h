// Every nl80211 request the layer sends, each built the one way and its reply
// messages handed to the parsers: interfaces, wiphys, a station's link, scan
// results. No parsing of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "wlan/linux/netlink/netlink_socket.h"
#include "wlan/linux/nl80211/nl80211_interfaces.h"
#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"

namespace wlanlinux {

// A generic-netlink socket and nl80211's family id on it: what every request
// goes through. Family 0: this machine has no nl80211.
struct Nl80211Handle {
    NetlinkSocket socket;
    std::uint16_t family = 0;
};

// Opens the socket and looks the family up. A kernel without nl80211 is no
// failure (family 0). 0, or a positive errno.
int OpenNl80211(Nl80211Handle& handle);

// The station and ad hoc interfaces, in the kernel's order. 0 or a positive errno.
int DumpInterfaces(Nl80211Handle& nl80211, std::vector<WirelessInterface>& interfaces);

// What each wiphy can do (the split dump). 0 or a positive errno.
int DumpAdapters(Nl80211Handle& nl80211, std::vector<AdapterCapabilities>& adapters);

// How far the interface's station is on its way to an access point; None when
// the dump fails.
StationProgress DumpStationProgress(Nl80211Handle& nl80211, std::uint32_t ifindex);

// The interface's cached scan results, each BSS handed to `add` as it
// arrives; `restart` is called before the dump starts again, its earlier BSSs
// to be forgotten. 0 or a positive errno.
int DumpScanResults(Nl80211Handle& nl80211, std::uint32_t ifindex, const std::function<void()>& restart,
                    const std::function<void(const BssRecord&)>& add);

}  // namespace wlanlinux
