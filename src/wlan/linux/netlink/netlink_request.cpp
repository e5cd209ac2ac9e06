#include "wlan/linux/netlink/netlink_request.h"

#include <linux/genetlink.h>

#include <cerrno>
#include <vector>

namespace wlanlinux {
namespace {

// How many times one request may be started before we give up on it.
constexpr int kMaxAttempts = 4;

// Large enough for any single message the kernel puts in a dump buffer: the
// kernel sizes dump buffers from the size of our receive buffer, at most 32 KiB.
constexpr std::size_t kReceiveBufferSize = std::size_t{64} * 1024;

std::uint32_t NextSequence(std::uint32_t& sequence) {
    if (++sequence == 0) sequence = 1;
    return sequence;
}

// The request's header, generic header and attributes, in `buffer`.
nlmsghdr* BuildRequest(std::vector<char>& buffer, const NetlinkRequest& request,
                       std::uint32_t sequence) {
    nlmsghdr* message = mnl_nlmsg_put_header(buffer.data());
    message->nlmsg_type = request.family;
    message->nlmsg_flags = NLM_F_REQUEST | NLM_F_ACK | (request.dump ? NLM_F_DUMP : 0);
    message->nlmsg_seq = sequence;
    if (request.addHeader) {
        request.addHeader(message);
    } else {
        auto* generic = static_cast<genlmsghdr*>(mnl_nlmsg_put_extra_header(message, GENL_HDRLEN));
        generic->cmd = request.command;
        generic->version = request.version;
    }
    if (request.addAttributes) request.addAttributes(message);
    return message;
}

enum class Attempt { Done, Restart, Failed };

Attempt RunOnce(NetlinkSocket& socket, const NetlinkRequest& request, const MessageHandler& handler,
                int& error) {
    const std::uint32_t sequence = NextSequence(socket.sequence);
    std::vector<char> buffer(kReceiveBufferSize);
    errno = 0;
    if (!SendToKernel(socket, BuildRequest(buffer, request, sequence))) {
        error = errno != 0 ? errno : EIO;
        return Attempt::Failed;
    }
    const std::uint32_t port = socket.portId;
    for (;;) {
        const ssize_t received = ReceiveFromKernel(socket, buffer.data(), buffer.size());
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

int RunNetlinkRequest(NetlinkSocket& socket, const NetlinkRequest& request,
                      const std::function<void()>& reset, const MessageHandler& handler) {
    // A failed restart may have left the socket closed.
    if (socket.socket == nullptr && !OpenNetlinkSocket(socket)) return errno != 0 ? errno : EIO;
    for (int attempt = 0; attempt != kMaxAttempts; ++attempt) {
        if (attempt != 0) {
            // Closing the old socket ends whatever dump the kernel still runs
            // for it, so nothing of the abandoned reply can arrive on the new one.
            CloseNetlinkSocket(socket);
            errno = 0;
            if (!OpenNetlinkSocket(socket)) return errno != 0 ? errno : EIO;
            if (reset) reset();
        }
        int error = 0;
        switch (RunOnce(socket, request, handler, error)) {
            case Attempt::Done: return 0;
            case Attempt::Failed: return error;
            case Attempt::Restart: break;
        }
    }
    return EAGAIN;
}

}  // namespace wlanlinux
