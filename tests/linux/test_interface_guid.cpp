#include <gtest/gtest.h>

#include "wlan/linux/device/interface_guid.h"

TEST(InterfaceGuid, PinnedValue) {
    // The DNS namespace and "python.org" give 886313e1-3b8a-5372-9b90-0c9aee199e5d.
    // (The GUIDs of addresses: the scripted kernel's report.)
    const std::uint8_t dns[16] = {0x6b, 0xa7, 0xb8, 0x10, 0x9d, 0xad, 0x11, 0xd1,
                                  0x80, 0xb4, 0x00, 0xc0, 0x4f, 0xd4, 0x30, 0xc8};
    const GUID expected = {0x886313e1, 0x3b8a, 0x5372, {0x9b, 0x90, 0x0c, 0x9a, 0xee, 0x19, 0x9e, 0x5d}};
    EXPECT_TRUE(wlanlinux::SameGuid(wlanlinux::NameBasedGuid(dns, "python.org", 10), expected));
}
