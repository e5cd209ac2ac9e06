#include "wlan/linux/control/control_socket.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace wlanlinux {
namespace {

constexpr std::size_t kPathSize = sizeof(sockaddr_un::sun_path);

// Our directory, in the service's runtime directory (the first, when systemd
// names several), else in /tmp; left empty when neither takes it.
void MakePrivateDirectory(char (&directory)[kPathSize]) {
    // Nothing in the process sets the environment.
    const char* runtime = std::getenv("RUNTIME_DIRECTORY");  // NOLINT(concurrency-mt-unsafe)
    const std::size_t length = runtime == nullptr ? 0 : std::strcspn(runtime, ":");
    // Room for "/wlanreport-XXXXXX/s".
    if (length != 0 && runtime[0] == '/' && length + 20 < kPathSize) {
        const int written = std::snprintf(directory, kPathSize, "%.*s/wlanreport-XXXXXX",
                                          static_cast<int>(length), runtime);
        if (written > 0 && static_cast<std::size_t>(written) < kPathSize && mkdtemp(directory) != nullptr)
            return;
    }
    constexpr char kFallback[] = "/tmp/wlanreport-XXXXXX";
    std::memcpy(directory, kFallback, sizeof kFallback);
    if (mkdtemp(directory) == nullptr) directory[0] = '\0';
}

// Until `deadline`: true when `events` are ready, false (errno ETIMEDOUT, or
// poll's) otherwise.
bool WaitFor(int fd, short events, std::uint64_t deadline) {
    for (;;) {
        const std::uint64_t now = ControlNow();
        if (now >= deadline) {
            errno = ETIMEDOUT;
            return false;
        }
        pollfd entry{fd, events, 0};
        const std::uint64_t waitMs = std::min<std::uint64_t>((deadline - now + 999) / 1000, 60'000);
        const int ready = poll(&entry, 1, static_cast<int>(waitMs));
        if (ready > 0) return true;
        if (ready < 0 && errno != EINTR) return false;
    }
}

}  // namespace

std::uint64_t ControlNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000 +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000;
}

ControlSocket::~ControlSocket() {
    if (fd >= 0) close(fd);
    if (path[0] != '\0') unlink(path);
    if (directory[0] != '\0') rmdir(directory);
}

ControlOpen OpenControlSocket(const char* serverPath, ControlSocket& socket) {
    struct stat status{};
    if (std::strlen(serverPath) >= kPathSize) return ControlOpen::NoServer;
    if (lstat(serverPath, &status) != 0)
        return errno == EACCES ? ControlOpen::Refused : ControlOpen::NoServer;
    if (!S_ISSOCK(status.st_mode)) return ControlOpen::NoServer;

    MakePrivateDirectory(socket.directory);
    if (socket.directory[0] == '\0') return ControlOpen::Failed;
    socket.fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket.fd < 0) return ControlOpen::Failed;
    sockaddr_un ours{};
    ours.sun_family = AF_UNIX;
    if (std::snprintf(ours.sun_path, kPathSize, "%s/s", socket.directory) >= static_cast<int>(kPathSize) ||
        bind(socket.fd, reinterpret_cast<const sockaddr*>(&ours), sizeof ours) != 0)
        return ControlOpen::Failed;
    std::memcpy(socket.path, ours.sun_path, kPathSize);

    sockaddr_un server{};
    server.sun_family = AF_UNIX;
    std::memcpy(server.sun_path, serverPath, std::strlen(serverPath));
    if (connect(socket.fd, reinterpret_cast<const sockaddr*>(&server), sizeof server) == 0)
        return ControlOpen::Connected;
    if (errno == EACCES || errno == EPERM) return ControlOpen::Refused;
    // A socket left behind by a server that has gone.
    if (errno == ECONNREFUSED || errno == ENOENT) return ControlOpen::NoServer;
    return ControlOpen::Failed;
}

int RequestControl(ControlSocket& socket, std::string_view request, std::uint64_t deadline,
                   std::string& reply) {
    while (send(socket.fd, request.data(), request.size(), MSG_DONTWAIT) < 0) {
        // EAGAIN: the server's queue is full.
        if (errno != EAGAIN && errno != EINTR) return -errno;
        if (!WaitFor(socket.fd, POLLOUT, deadline)) return -errno;
    }
    reply.resize(kControlReplyLimit);
    for (;;) {
        if (!WaitFor(socket.fd, POLLIN, deadline)) return -errno;
        iovec vector{reply.data(), reply.size()};
        msghdr header{};
        header.msg_iov = &vector;
        header.msg_iovlen = 1;
        const ssize_t received = recvmsg(socket.fd, &header, MSG_DONTWAIT);
        if (received < 0) {
            if (errno == EAGAIN || errno == EINTR) continue;
            return -errno;
        }
        if ((header.msg_flags & MSG_TRUNC) != 0) return -EMSGSIZE;
        if (received > 0 && reply[0] == '<') continue;
        reply.resize(static_cast<std::size_t>(received));
        return 0;
    }
}

}  // namespace wlanlinux
