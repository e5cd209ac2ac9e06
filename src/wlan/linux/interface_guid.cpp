#include "wlan/linux/interface_guid.h"

#include <cstring>

#include "wlan/linux/sha1.h"

namespace wlanlinux {

// Chosen once for this program; changing it changes every interface's GUID.
const std::uint8_t kInterfaceGuidNamespace[16] = {0x5b, 0x1e, 0x7a, 0x90, 0x3c, 0x4d, 0x4e, 0x21,
                                                  0x9a, 0x6f, 0x0d, 0x82, 0xe4, 0x17, 0xc3, 0x58};

GUID NameBasedGuid(const std::uint8_t (&nameSpace)[16], const void* name, std::size_t length) {
    Sha1 hash;
    hash.Update(nameSpace, sizeof nameSpace);
    hash.Update(name, length);
    std::array<std::uint8_t, 20> digest = hash.Finish();
    digest[6] = static_cast<std::uint8_t>((digest[6] & 0x0f) | 0x50);  // version 5
    digest[8] = static_cast<std::uint8_t>((digest[8] & 0x3f) | 0x80);  // RFC 4122 variant
    GUID guid{};
    guid.Data1 = (std::uint32_t{digest[0]} << 24) | (std::uint32_t{digest[1]} << 16) |
                 (std::uint32_t{digest[2]} << 8) | digest[3];
    guid.Data2 = static_cast<std::uint16_t>((digest[4] << 8) | digest[5]);
    guid.Data3 = static_cast<std::uint16_t>((digest[6] << 8) | digest[7]);
    std::memcpy(guid.Data4, digest.data() + 8, sizeof guid.Data4);
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
