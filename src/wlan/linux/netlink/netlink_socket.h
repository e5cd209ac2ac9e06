// The netlink socket (generic or route): the one file that talks to the
// kernel. Opening and binding, sending a request, receiving a datagram,
// closing. The exchange built on these calls lives in netlink_request.cpp.
#pragma once

#include <libmnl/libmnl.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>

namespace wlanlinux {

// Owns its socket: it is closed when the holder goes, on every path.
struct NetlinkSocket {
    NetlinkSocket() = default;
    explicit NetlinkSocket(int protocolFamily) : protocol(protocolFamily) {}
    NetlinkSocket(const NetlinkSocket&) = delete;
    NetlinkSocket& operator=(const NetlinkSocket&) = delete;
    ~NetlinkSocket();

    int protocol = NETLINK_GENERIC;  // or NETLINK_ROUTE
    mnl_socket* socket = nullptr;
    std::uint32_t portId = 0;
    std::uint32_t sequence = 0;  // the last sequence number used on this client
};

// Opens and binds a socket of its protocol that joins no multicast group, so
// only replies to our own requests arrive. Each receive waits a bounded time.
// False (with errno) on failure.
bool OpenNetlinkSocket(NetlinkSocket& socket);
void CloseNetlinkSocket(NetlinkSocket& socket);
inline NetlinkSocket::~NetlinkSocket() { CloseNetlinkSocket(*this); }

// Sends one whole message to the kernel; false (with errno) otherwise.
bool SendToKernel(NetlinkSocket& socket, const nlmsghdr* message);

// Receives one datagram sent by the kernel (port 0), dropping any other
// sender's. Returns its length, or -1 with errno (EMSGSIZE when it did not fit).
ssize_t ReceiveFromKernel(NetlinkSocket& socket, char* buffer, std::size_t size);

}  // namespace wlanlinux
