#include "wlan/linux/device/adapter_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "wlan/linux/device/netdevice_info.h"

namespace wlanlinux {
namespace {

// Longer than any modalias the kernel writes (a USB interface's is about 60
// bytes); a longer file is not one.
constexpr std::size_t kModaliasCapacity = 256;

bool Printable(const char* text, std::size_t length) {
    for (std::size_t i = 0; i != length; ++i)
        if (static_cast<unsigned char>(text[i]) <= 0x20 || static_cast<unsigned char>(text[i]) >= 0x7f)
            return false;
    return true;
}

template <std::size_t N>
void CopyCut(const char* text, char (&field)[N]) {
    const std::size_t length = strnlen(text, N - 1);
    std::memcpy(field, text, length);
    field[length] = 0;
}

}  // namespace

bool LookUpProduct(sd_hwdb* hwdb, const char* modalias, ProductName& product) {
    const char* vendor = nullptr;
    const char* model = nullptr;
    if (hwdb == nullptr || modalias[0] == 0 ||
        sd_hwdb_get(hwdb, modalias, "ID_MODEL_FROM_DATABASE", &model) < 0 || model == nullptr ||
        model[0] == 0)
        return false;
    if (sd_hwdb_get(hwdb, modalias, "ID_VENDOR_FROM_DATABASE", &vendor) < 0 || vendor == nullptr)
        vendor = "";
    CopyCut(vendor, product.vendor);
    CopyCut(model, product.model);
    return true;
}

bool ReadModalias(std::uint32_t ifindex, const char* interfaceName, char* modalias,
                  std::size_t capacity) {
    if (capacity == 0) return false;
    const int folder = OpenDeviceFolder(ifindex, interfaceName);
    if (folder < 0) return false;
    const int fd = openat(folder, "device/modalias", O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    close(folder);
    if (fd < 0) return false;
    // A file that fills the whole buffer is longer than any modalias.
    std::size_t length = 0;
    bool complete = false;
    while (length < capacity) {
        const ssize_t got = read(fd, modalias + length, capacity - length);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            complete = got == 0;
            break;
        }
        length += static_cast<std::size_t>(got);
    }
    close(fd);
    if (!complete) return false;
    if (length != 0 && modalias[length - 1] == '\n') --length;
    modalias[length] = 0;
    return length != 0 && Printable(modalias, length);
}

bool ReadProductName(std::uint32_t ifindex, const char* sysfsName, ProductName& product) noexcept {
    char modalias[kModaliasCapacity];
    if (!ReadModalias(ifindex, sysfsName, modalias, sizeof modalias)) return false;
    sd_hwdb* hwdb = nullptr;
    if (sd_hwdb_new(&hwdb) < 0) return false;
    const bool named = LookUpProduct(hwdb, modalias, product);
    sd_hwdb_unref(hwdb);
    return named;
}

}  // namespace wlanlinux
