#include "wlan/linux/device/netdevice_info.h"

#include <fcntl.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstring>

namespace wlanlinux {
namespace {

// The interface index in the device's sysfs folder; 0 when unreadable.
std::uint32_t IndexIn(int folder) {
    const int file = openat(folder, "ifindex", O_RDONLY | O_CLOEXEC);
    if (file < 0) return 0;
    char text[16];
    const ssize_t length = read(file, text, sizeof text);
    close(file);
    std::uint32_t index = 0;
    if (length <= 0 || std::from_chars(text, text + length, index).ec != std::errc()) return 0;
    return index;
}

}  // namespace

int OpenDeviceFolder(std::uint32_t ifindex, const char* name) {
    if (name[0] == 0 || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 ||
        std::strchr(name, '/') != nullptr)
        return -1;
    char path[64];
    const int written = std::snprintf(path, sizeof path, "/sys/class/net/%s", name);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof path) return -1;
    // The device's own folder, held open: a rename after this cannot swap it
    // for another device's, and the index in it says whose it is.
    const int folder = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0 || IndexIn(folder) == ifindex) return folder;
    close(folder);
    return -1;
}

bool DriverName(std::uint32_t ifindex, const char* name, char* driver, std::size_t capacity) {
    if (capacity == 0) return false;
    const int folder = OpenDeviceFolder(ifindex, name);
    if (folder < 0) return false;
    char target[256];
    const ssize_t length = readlinkat(folder, "device/driver", target, sizeof target - 1);
    close(folder);
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
