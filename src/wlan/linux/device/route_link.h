// A network device as route netlink describes it, read by interface index:
// whether it is up, its permanent address and its present name. Read by
// index, a rename between the nl80211 dump and this read cannot make it
// describe another device.
#pragma once

#include <libmnl/libmnl.h>
#include <net/if.h>

#include <cstdint>
#include <optional>

#include "wlan/linux/netlink/netlink_socket.h"

namespace wlanlinux {

struct LinkFacts {
    bool up = false;  // administratively (IFF_UP)
    bool hasPermanentAddress = false;
    std::uint8_t permanentAddress[6] = {};
    char name[IFNAMSIZ] = {};  // empty when the reply carried none
};

// One RTM_NEWLINK message about device `ifindex`; empty for any other.
std::optional<LinkFacts> ParseLinkMessage(const nlmsghdr* message, std::uint32_t ifindex);

// A NETLINK_ROUTE socket for ReadLink.
struct RouteSocket : NetlinkSocket {
    RouteSocket() : NetlinkSocket(NETLINK_ROUTE) {}
};

// RTM_GETLINK for the index, over a NETLINK_ROUTE socket. 0, or a positive
// errno (ENODEV when there is no such device).
int ReadLink(NetlinkSocket& routeSocket, std::uint32_t ifindex, LinkFacts& facts);

}  // namespace wlanlinux
