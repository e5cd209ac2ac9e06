#include "wlan/linux/netlink/netlink_reply_walk.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wlanlinux {
namespace {

// The positive errno of a kernel status (a negative errno); EPROTO for a
// value that is not one.
int ErrnoOf(int status) {
    if (status >= 0 || status == INT32_MIN) return EPROTO;
    return -status;
}

}  // namespace

ChunkResult WalkReplyChunk(const void* buffer, std::size_t length, std::uint32_t sequence,
                           std::uint32_t portId, const MessageHandler& handler) {
    // Our own walk rather than libmnl's: mnl_nlmsg_ok() in the libmnl we build
    // with casts the message length to int, so it accepts a length near 2^32
    // in a short buffer. Here every step is bounded in unsigned arithmetic by
    // what is left of the buffer.
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

}  // namespace wlanlinux
