// nl80211 interface and station messages parsed into plain records. No
// system calls.
#pragma once

#include <libmnl/libmnl.h>
#include <net/if.h>

#include <cstdint>
#include <optional>

namespace wlanlinux {

struct WirelessInterface {
    std::uint32_t ifindex = 0;
    std::uint32_t iftype = 0;
    std::uint32_t wiphy = 0;
    bool hasWiphy = false;
    char name[IFNAMSIZ] = {};
    std::uint8_t mac[6] = {};  // the current address
    bool hasMac = false;
    bool hasSsid = false;  // a station is associated, an ad hoc interface has joined
};

// One NL80211_CMD_NEW_INTERFACE message. Empty for interfaces the API does not
// list: other types (access point, monitor, P2P device, ...) and entries
// without an index, name or type.
std::optional<WirelessInterface> ParseInterfaceMessage(const nlmsghdr* message);

// What a station dump entry says of the link to the access point.
enum class StationProgress { None, Authenticating, Associated };
StationProgress ParseStationMessage(const nlmsghdr* message);

}  // namespace wlanlinux
