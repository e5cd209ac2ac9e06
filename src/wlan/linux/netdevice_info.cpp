#include "wlan/linux/netdevice_info.h"

#include <linux/ethtool.h>
#include <linux/sockios.h>
#include <net/if.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace wlanlinux {
namespace {

bool SetName(ifreq& request, const char* name) {
    const std::size_t length = std::strlen(name);
    if (length == 0 || length >= sizeof request.ifr_name) return false;
    std::memcpy(request.ifr_name, name, length + 1);
    return true;
}

}  // namespace

bool DeviceIsUp(int socketFd, const char* name) {
    ifreq request{};
    if (!SetName(request, name)) return false;
    if (ioctl(socketFd, SIOCGIFFLAGS, &request) != 0) return false;
    return (request.ifr_flags & IFF_UP) != 0;
}

bool PermanentAddress(int socketFd, const char* name, std::uint8_t (&mac)[6]) {
    // The reply's address follows the header; room for the longest address.
    constexpr std::size_t kMaxAddressLength = 32;
    alignas(ethtool_perm_addr) std::uint8_t buffer[sizeof(ethtool_perm_addr) + kMaxAddressLength]{};
    auto* header = reinterpret_cast<ethtool_perm_addr*>(buffer);
    header->cmd = ETHTOOL_GPERMADDR;
    header->size = kMaxAddressLength;
    ifreq request{};
    if (!SetName(request, name)) return false;
    request.ifr_data = reinterpret_cast<char*>(buffer);
    if (ioctl(socketFd, SIOCETHTOOL, &request) != 0 || header->size != sizeof mac) return false;
    std::memcpy(mac, buffer + sizeof(ethtool_perm_addr), sizeof mac);
    for (const std::uint8_t byte : mac)
        if (byte != 0) return true;
    return false;
}

bool DriverName(const char* name, char* driver, std::size_t capacity) {
    if (capacity == 0 || std::strchr(name, '/') != nullptr) return false;
    char path[96];
    const int written = std::snprintf(path, sizeof path, "/sys/class/net/%s/device/driver", name);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof path) return false;
    char target[256];
    const ssize_t length = readlink(path, target, sizeof target - 1);
    if (length <= 0) return false;
    target[length] = 0;
    const char* base = std::strrchr(target, '/');
    base = base != nullptr ? base + 1 : target;
    const std::size_t baseLength = std::strlen(base);
    if (baseLength == 0 || baseLength >= capacity) return false;
    std::memcpy(driver, base, baseLength + 1);
    return true;
}

}  // namespace wlanlinux
