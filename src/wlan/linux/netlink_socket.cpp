#include "wlan/linux/netlink_socket.h"

#include <linux/genetlink.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "wlan/linux/netlink_attributes.h"

namespace wlanlinux {
namespace {

// How many times one request may be started before we give up on it.
constexpr int kMaxAttempts = 4;

// How long one receive waits for the kernel before the request fails.
constexpr time_t kReplyTimeoutSeconds = 5;

// Large enough for any single message the kernel puts in a dump buffer: the
// kernel sizes dump buffers from the size of our receive buffer, at most 32 KiB.
constexpr std::size_t kReceiveBufferSize = std::size_t{64} * 1024;

std::uint32_t NextSequence(std::uint32_t& sequence) {
    if (++sequence == 0) sequence = 1;
    return sequence;
}

// Receives one datagram, dropping any not sent by the kernel. Returns its
// length, or -1 with errno.
ssize_t ReceiveFromKernel(const NetlinkSocket& socket, char* buffer, std::size_t size) {
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

// The request's header, generic header and attributes, in `buffer`.
nlmsghdr* BuildRequest(std::vector<char>& buffer, const GenericRequest& request,
                       std::uint32_t sequence) {
    nlmsghdr* message = mnl_nlmsg_put_header(buffer.data());
    message->nlmsg_type = request.family;
    message->nlmsg_flags = NLM_F_REQUEST | NLM_F_ACK | (request.dump ? NLM_F_DUMP : 0);
    message->nlmsg_seq = sequence;
    auto* generic = static_cast<genlmsghdr*>(mnl_nlmsg_put_extra_header(message, GENL_HDRLEN));
    generic->cmd = request.command;
    generic->version = request.version;
    if (request.addAttributes) request.addAttributes(message);
    return message;
}

// The positive errno of a kernel status (a negative errno); EPROTO for a
// value that is not one.
int ErrnoOf(int status) {
    if (status >= 0 || status == INT32_MIN) return EPROTO;
    return -status;
}

enum class Attempt { Done, Restart, Failed };

Attempt RunOnce(ReplyChannel& channel, std::uint32_t& sequenceCounter,
                const GenericRequest& request, const MessageHandler& handler, int& error) {
    const std::uint32_t sequence = NextSequence(sequenceCounter);
    std::vector<char> buffer(kReceiveBufferSize);
    errno = 0;
    if (!channel.send(BuildRequest(buffer, request, sequence))) {
        error = errno != 0 ? errno : EIO;
        return Attempt::Failed;
    }
    const std::uint32_t port = channel.portId();
    for (;;) {
        const ssize_t received = channel.receive(buffer.data(), buffer.size());
        if (received < 0) {
            if (errno == ENOBUFS) return Attempt::Restart;  // replies were lost
            error = errno != 0 ? errno : EIO;
            return Attempt::Failed;
        }
        const ChunkResult result = WalkReplyChunk(buffer.data(), static_cast<std::size_t>(received),
                                                  sequence, port, handler);
        switch (result.status) {
            case ChunkStatus::More: break;
            case ChunkStatus::Done: return Attempt::Done;
            case ChunkStatus::Restart: return Attempt::Restart;
            case ChunkStatus::Failed: error = result.error; return Attempt::Failed;
        }
    }
}

}  // namespace

bool OpenNetlinkSocket(NetlinkSocket& socket) {
    mnl_socket* opened = mnl_socket_open(NETLINK_GENERIC);
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

int NetlinkSocketFd(NetlinkSocket& socket) {
    if (socket.socket == nullptr && !OpenNetlinkSocket(socket)) return -1;
    return mnl_socket_get_fd(socket.socket);
}

ChunkResult WalkReplyChunk(const void* buffer, std::size_t length, std::uint32_t sequence,
                           std::uint32_t portId, const MessageHandler& handler) {
    // The walk is bounded here in unsigned arithmetic rather than by
    // mnl_nlmsg_ok(), which takes a length near 2^32 for a negative one and
    // would step nowhere or far outside the buffer.
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::size_t offset = 0;
    for (;;) {
        const std::size_t remaining = length - offset;
        if (remaining < sizeof(nlmsghdr)) break;
        const auto* message = reinterpret_cast<const nlmsghdr*>(bytes + offset);
        const std::size_t messageLength = message->nlmsg_len;
        if (messageLength < sizeof(nlmsghdr) || messageLength > remaining) break;
        offset += std::min<std::size_t>(NLMSG_ALIGN(messageLength), remaining);
        if (message->nlmsg_seq != sequence || message->nlmsg_pid != portId) continue;
        if ((message->nlmsg_flags & NLM_F_DUMP_INTR) != 0) return {ChunkStatus::Restart, 0};
        switch (message->nlmsg_type) {
            case NLMSG_NOOP:
            case NLMSG_OVERRUN:
                break;
            case NLMSG_ERROR: {
                if (mnl_nlmsg_get_payload_len(message) < sizeof(nlmsgerr))
                    return {ChunkStatus::Failed, EPROTO};
                const auto* report = static_cast<const nlmsgerr*>(mnl_nlmsg_get_payload(message));
                if (report->error == 0) return {ChunkStatus::Done, 0};
                return {ChunkStatus::Failed, ErrnoOf(report->error)};
            }
            case NLMSG_DONE: {
                // A dump's end may carry the error that cut it short.
                if (mnl_nlmsg_get_payload_len(message) >= sizeof(int)) {
                    int status = 0;
                    std::memcpy(&status, mnl_nlmsg_get_payload(message), sizeof status);
                    if (status < 0) return {ChunkStatus::Failed, ErrnoOf(status)};
                }
                return {ChunkStatus::Done, 0};
            }
            default:
                if (handler) handler(message);
                break;
        }
    }
    return {ChunkStatus::More, 0};
}

int RunRequestOver(ReplyChannel& channel, std::uint32_t& sequence, const GenericRequest& request,
                   const std::function<void()>& reset, const MessageHandler& handler) {
    for (int attempt = 0; attempt != kMaxAttempts; ++attempt) {
        if (attempt != 0) {
            errno = 0;
            if (!channel.reopen()) return errno != 0 ? errno : EIO;
            if (reset) reset();
        }
        int error = 0;
        switch (RunOnce(channel, sequence, request, handler, error)) {
            case Attempt::Done: return 0;
            case Attempt::Failed: return error;
            case Attempt::Restart: break;
        }
    }
    return EAGAIN;
}

int RunGenericRequest(NetlinkSocket& socket, const GenericRequest& request,
                      const std::function<void()>& reset, const MessageHandler& handler) {
    if (socket.socket == nullptr && !OpenNetlinkSocket(socket)) return errno != 0 ? errno : EIO;
    ReplyChannel channel;
    channel.send = [&socket](const nlmsghdr* message) {
        return mnl_socket_sendto(socket.socket, message, message->nlmsg_len) ==
               static_cast<ssize_t>(message->nlmsg_len);
    };
    channel.receive = [&socket](char* buffer, std::size_t size) {
        return ReceiveFromKernel(socket, buffer, size);
    };
    // Closing the old socket ends whatever dump the kernel still runs for it,
    // so nothing of the abandoned reply can arrive on the new one.
    channel.reopen = [&socket] {
        CloseNetlinkSocket(socket);
        return OpenNetlinkSocket(socket);
    };
    channel.portId = [&socket] { return socket.portId; };
    return RunRequestOver(channel, socket.sequence, request, reset, handler);
}

std::uint16_t ParseFamilyReply(const nlmsghdr* message) {
    static constexpr auto policy =
        MakePolicy<CTRL_ATTR_FAMILY_ID + 1>({{CTRL_ATTR_FAMILY_ID, MNL_TYPE_U16}});
    std::array<const nlattr*, policy.size()> found;
    CollectGenericAttributes(message, policy, found);
    return found[CTRL_ATTR_FAMILY_ID] != nullptr ? mnl_attr_get_u16(found[CTRL_ATTR_FAMILY_ID]) : 0;
}

int ResolveGenericFamily(NetlinkSocket& socket, const char* name, std::uint16_t& familyId) {
    familyId = 0;
    GenericRequest request;
    request.family = GENL_ID_CTRL;
    request.command = CTRL_CMD_GETFAMILY;
    request.version = 1;
    request.addAttributes = [name](nlmsghdr* message) {
        mnl_attr_put_strz(message, CTRL_ATTR_FAMILY_NAME, name);
    };
    std::uint16_t id = 0;
    const int error = RunGenericRequest(socket, request, [&id] { id = 0; },
                                        [&id](const nlmsghdr* message) {
                                            if (id == 0) id = ParseFamilyReply(message);
                                        });
    if (error == ENOENT) return 0;  // no such family: this machine has no wireless stack
    if (error != 0) return error;
    familyId = id;
    return 0;
}

}  // namespace wlanlinux
