// A datagram exchange with wpa_supplicant's control socket: our end bound to a
// path of our own in a private directory, removed on every way out; every
// reply bounded in size and in time.
#pragma once

#include <sys/un.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace wlanlinux {

// wpa_supplicant writes each reply into a buffer of 4096 bytes and ends a
// LIST_NETWORKS reply at the last whole line that fits (the rest is asked for
// with LAST_ID=): four times that leaves room for builds that raise it, and
// nothing longer is ever needed.
inline constexpr std::size_t kControlReplyLimit = 16384;

// CLOCK_MONOTONIC in microseconds.
std::uint64_t ControlNow();

// Our end of the exchange with one server: closed, and its path and its
// directory removed, when it goes.
struct ControlSocket {
    ControlSocket() = default;
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;
    ~ControlSocket();
    int fd = -1;
    char directory[sizeof(sockaddr_un::sun_path)] = {};  // empty: none made
    char path[sizeof(sockaddr_un::sun_path)] = {};       // empty: none bound
};

enum class ControlOpen {
    Connected,
    NoServer,  // no socket at the path, or none listening: nothing is left behind
    Refused,   // the server's directory or socket is not ours to use (EACCES, EPERM)
    Failed,    // errno says why
};

// Connects a new end of ours, in a directory made for it (mode 0700, under
// $RUNTIME_DIRECTORY, else /tmp), to the socket at `serverPath`. Nothing is
// made unless an lstat finds a socket there first.
ControlOpen OpenControlSocket(const char* serverPath, ControlSocket& socket);

// Sends `request` and takes its reply into `reply`, skipping unsolicited
// event messages ("<N>..."), until `deadline` (ControlNow()). 0, -ETIMEDOUT,
// -EMSGSIZE for a reply longer than kControlReplyLimit, or another negative
// errno. Throws std::bad_alloc.
int RequestControl(ControlSocket& socket, std::string_view request, std::uint64_t deadline,
                   std::string& reply);

}  // namespace wlanlinux
