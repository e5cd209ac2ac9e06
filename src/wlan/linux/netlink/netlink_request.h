// The request/reply exchange of netlink, generic or route: builds a request,
// sends it over a socket and feeds the reply's messages to a handler. Replies
// are accepted only when addressed to our port and carrying the request's
// sequence number. A dump the kernel marks as interrupted (NLM_F_DUMP_INTR),
// or one that loses messages (ENOBUFS), is started again from the beginning
// on a fresh socket, a bounded number of times; its partial results are
// discarded through the caller's reset.
#pragma once

#include <libmnl/libmnl.h>

#include <cstdint>
#include <functional>

#include "wlan/linux/netlink/netlink_reply_walk.h"
#include "wlan/linux/netlink/netlink_socket.h"

namespace wlanlinux {

struct NetlinkRequest {
    std::uint16_t family = 0;
    std::uint8_t command = 0;
    std::uint8_t version = 0;
    bool dump = false;
    // Adds the request's attributes after the generic-netlink header.
    std::function<void(nlmsghdr*)> addAttributes;
    // For a family that is not generic netlink (a route request's ifinfomsg):
    // puts its own header in place of the generic one, `family` being then
    // the message type.
    std::function<void(nlmsghdr*)> addHeader;
};

// Sends the request and feeds every reply message to `handler`, restarting as
// described above (calling `reset` before each new start). Returns 0 or a
// positive errno (ENOENT, ENODEV, EPERM, ... as the kernel says).
int RunNetlinkRequest(NetlinkSocket& socket, const NetlinkRequest& request,
                      const std::function<void()>& reset, const MessageHandler& handler);

}  // namespace wlanlinux
