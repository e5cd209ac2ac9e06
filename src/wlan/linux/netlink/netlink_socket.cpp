#include "wlan/linux/netlink/netlink_socket.h"

#include <sys/socket.h>
#include <sys/time.h>

#include <cerrno>

namespace wlanlinux {
namespace {

// How long one receive waits for the kernel before the request fails.
constexpr time_t kReplyTimeoutSeconds = 5;

}  // namespace

bool OpenNetlinkSocket(NetlinkSocket& socket) {
    mnl_socket* opened = mnl_socket_open(socket.protocol);
    if (opened == nullptr) return false;
    if (mnl_socket_bind(opened, 0, MNL_SOCKET_AUTOPID) < 0) {
        const int saved = errno;
        mnl_socket_close(opened);
        errno = saved;
        return false;
    }
    // The kernel answers at once; a reply that never comes must not hang the
    // caller for ever.
    const timeval limit{kReplyTimeoutSeconds, 0};
    setsockopt(mnl_socket_get_fd(opened), SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    socket.socket = opened;
    socket.portId = mnl_socket_get_portid(opened);
    return true;
}

void CloseNetlinkSocket(NetlinkSocket& socket) {
    if (socket.socket != nullptr) mnl_socket_close(socket.socket);
    socket.socket = nullptr;
    socket.portId = 0;
}

bool SendToKernel(NetlinkSocket& socket, const nlmsghdr* message) {
    return mnl_socket_sendto(socket.socket, message, message->nlmsg_len) ==
           static_cast<ssize_t>(message->nlmsg_len);
}

ssize_t ReceiveFromKernel(NetlinkSocket& socket, char* buffer, std::size_t size) {
    for (;;) {
        sockaddr_nl sender{};
        iovec vector{buffer, size};
        msghdr header{};
        header.msg_name = &sender;
        header.msg_namelen = sizeof sender;
        header.msg_iov = &vector;
        header.msg_iovlen = 1;
        const ssize_t received = recvmsg(mnl_socket_get_fd(socket.socket), &header, 0);
        if (received < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if ((header.msg_flags & MSG_TRUNC) != 0) {
            errno = EMSGSIZE;
            return -1;
        }
        if (header.msg_namelen != sizeof sender || sender.nl_family != AF_NETLINK ||
            sender.nl_pid != 0)
            continue;
        return received;
    }
}

}  // namespace wlanlinux
