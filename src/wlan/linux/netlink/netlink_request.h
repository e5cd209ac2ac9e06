// The request/reply exchange of netlink, generic or route: builds a request,
// sends it over a channel and feeds the reply's messages to a handler. Replies
// are accepted only when addressed to our port and carrying the request's sequence
// number. A dump the kernel marks as interrupted (NLM_F_DUMP_INTR), or one
// that loses messages (ENOBUFS), is started again from the beginning on a
// fresh channel, a bounded number of times; its partial results are discarded
// through the caller's reset.
#pragma once

#include <libmnl/libmnl.h>
#include <sys/types.h>

#include <cstddef>
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

// Where a request goes and its replies come from: a socket, or a script.
struct ReplyChannel {
    std::function<bool(const nlmsghdr* request)> send;
    // One datagram from the kernel into the buffer: its length, or -1 with errno.
    std::function<ssize_t(char* buffer, std::size_t size)> receive;
    // A fresh channel for starting again (false with errno when none opens).
    std::function<bool()> reopen;
    std::function<std::uint32_t()> portId;
};

// The exchange over any channel; RunNetlinkRequest runs it over the socket.
int RunRequestOver(ReplyChannel& channel, std::uint32_t& sequence, const NetlinkRequest& request,
                   const std::function<void()>& reset, const MessageHandler& handler);

// Sends the request and feeds every reply message to `handler`, restarting as
// described above (calling `reset` before each new start). Returns 0 or a
// positive errno (ENOENT, ENODEV, EPERM, ... as the kernel says).
int RunNetlinkRequest(NetlinkSocket& socket, const NetlinkRequest& request,
                      const std::function<void()>& reset, const MessageHandler& handler);

}  // namespace wlanlinux
