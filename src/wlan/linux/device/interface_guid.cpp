#include "wlan/linux/device/interface_guid.h"

#include <uuid/uuid.h>

#include <cstring>

namespace wlanlinux {

// Chosen once for this program; changing it changes every interface's GUID.
const std::uint8_t kInterfaceGuidNamespace[16] = {0x5b, 0x1e, 0x7a, 0x90, 0x3c, 0x4d, 0x4e, 0x21,
                                                  0x9a, 0x6f, 0x0d, 0x82, 0xe4, 0x17, 0xc3, 0x58};

GUID NameBasedGuid(const std::uint8_t (&nameSpace)[16], const void* name, std::size_t length) {
    uuid_t uuid;
    uuid_generate_sha1(uuid, nameSpace, static_cast<const char*>(name), length);
    // The UUID's bytes are in network order; GUID fields hold numbers.
    GUID guid{};
    guid.Data1 = (std::uint32_t{uuid[0]} << 24) | (std::uint32_t{uuid[1]} << 16) |
                 (std::uint32_t{uuid[2]} << 8) | uuid[3];
    guid.Data2 = static_cast<std::uint16_t>((uuid[4] << 8) | uuid[5]);
    guid.Data3 = static_cast<std::uint16_t>((uuid[6] << 8) | uuid[7]);
    std::memcpy(guid.Data4, uuid + 8, sizeof guid.Data4);
    return guid;
}

GUID InterfaceGuidFromMac(const std::uint8_t (&mac)[6]) {
    return NameBasedGuid(kInterfaceGuidNamespace, mac, sizeof mac);
}

bool SameGuid(const GUID& a, const GUID& b) {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

}  // namespace wlanlinux
