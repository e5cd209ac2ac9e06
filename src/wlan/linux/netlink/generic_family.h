// Generic-netlink family lookup: the id the kernel gave a family's name.
#pragma once

#include <libmnl/libmnl.h>

#include <cstdint>

#include "wlan/linux/netlink/netlink_socket.h"

namespace wlanlinux {

// Looks up a generic-netlink family by name. Returns 0 and sets `familyId`
// (0 when the family does not exist), or a positive errno.
int ResolveGenericFamily(NetlinkSocket& socket, const char* name, std::uint16_t& familyId);

// The family id in a CTRL_CMD_NEWFAMILY reply, or 0.
std::uint16_t ParseFamilyReply(const nlmsghdr* message);

}  // namespace wlanlinux
