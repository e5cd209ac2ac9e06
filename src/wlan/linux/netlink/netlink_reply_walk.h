// The walk over one received buffer of netlink messages: which messages are
// ours, where the reply ends, and whether the kernel asks for a restart. Pure:
// no system calls.
#pragma once

#include <libmnl/libmnl.h>

#include <cstddef>
#include <cstdint>
#include <functional>

namespace wlanlinux {

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

}  // namespace wlanlinux
