// A generic-netlink socket and the request/reply exchange over it.
//
// The socket joins no multicast group, so only replies to our own requests
// arrive. Replies are accepted only from the kernel (sender port 0), addressed
// to our port and carrying the request's sequence number. A dump the kernel
// marks as interrupted (NLM_F_DUMP_INTR), or one that loses messages (ENOBUFS),
// is started again from the beginning on a fresh socket, a bounded number of
// times; its partial results are discarded through the caller's reset.
#pragma once

#include <libmnl/libmnl.h>
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace wlanlinux {

struct NetlinkSocket {
    mnl_socket* socket = nullptr;
    std::uint32_t portId = 0;
    std::uint32_t sequence = 0;
};

// Opens and binds a NETLINK_GENERIC socket; false (with errno) on failure.
bool OpenNetlinkSocket(NetlinkSocket& socket);
void CloseNetlinkSocket(NetlinkSocket& socket);

// The socket's descriptor, opening the socket again if a failed restart left
// it closed; -1 when it cannot be opened.
int NetlinkSocketFd(NetlinkSocket& socket);

using MessageHandler = std::function<void(const nlmsghdr*)>;

enum class ChunkStatus {
    More,     // keep receiving
    Done,     // the reply is complete
    Restart,  // the kernel interrupted the dump: start it again
    Failed,   // the kernel reported an error (ChunkResult::error)
};

struct ChunkResult {
    ChunkStatus status;
    int error;  // positive errno when Failed
};

// Walks one received buffer of netlink messages. Messages for another
// sequence number or port are skipped; data messages go to `handler`.
// A message that does not fit the remaining buffer ends the walk.
ChunkResult WalkReplyChunk(const void* buffer, std::size_t length, std::uint32_t sequence,
                           std::uint32_t portId, const MessageHandler& handler);

struct GenericRequest {
    std::uint16_t family = 0;
    std::uint8_t command = 0;
    std::uint8_t version = 0;
    bool dump = false;
    // Adds the request's attributes after the generic-netlink header.
    std::function<void(nlmsghdr*)> addAttributes;
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

// The exchange over any channel; RunGenericRequest runs it over the socket.
int RunRequestOver(ReplyChannel& channel, std::uint32_t& sequence, const GenericRequest& request,
                   const std::function<void()>& reset, const MessageHandler& handler);

// Sends the request and feeds every reply message to `handler`, restarting as
// described above (calling `reset` before each new start). Returns 0 or a
// positive errno (ENOENT, ENODEV, EPERM, ... as the kernel says).
int RunGenericRequest(NetlinkSocket& socket, const GenericRequest& request,
                      const std::function<void()>& reset, const MessageHandler& handler);

// Looks up a generic-netlink family by name. Returns 0 and sets `familyId`
// (0 when the family does not exist), or a positive errno.
int ResolveGenericFamily(NetlinkSocket& socket, const char* name, std::uint16_t& familyId);

// The family id in a CTRL_CMD_NEWFAMILY reply, or 0.
std::uint16_t ParseFamilyReply(const nlmsghdr* message);

}  // namespace wlanlinux
