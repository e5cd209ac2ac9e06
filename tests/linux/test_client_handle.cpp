#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "wlan/linux/api/client_handle.h"

TEST(ClientHandle, OnlyAValueHandedOutAndStillOpenIsAHandle) {
    const HANDLE handle = wlanlinux::RegisterClient(std::make_shared<wlanlinux::Client>());
    ASSERT_NE(handle, nullptr);
    const auto value = reinterpret_cast<std::uintptr_t>(handle);
    // On 64-bit machines the generation alone, without the tag, is no handle.
    const std::uintptr_t untagged = sizeof value == 8 ? value & 0xffffffffffffu : value + 1;
    int object = 0;
    for (const HANDLE other : {reinterpret_cast<HANDLE>(untagged), reinterpret_cast<HANDLE>(value + 1),
                               static_cast<HANDLE>(&object), HANDLE{}})
        EXPECT_EQ(wlanlinux::ClientLease(other).get(), nullptr) << other;
    EXPECT_NE(wlanlinux::ClientLease(handle).get(), nullptr);
    EXPECT_TRUE(wlanlinux::UnregisterClient(handle));
    EXPECT_EQ(wlanlinux::ClientLease(handle).get(), nullptr);
    EXPECT_FALSE(wlanlinux::UnregisterClient(handle));
}
