// The six operations as the report calls them, on this machine's own stack
// (with or without Wi-Fi: nothing here assumes either).
#include <gtest/gtest.h>

#include <cstring>

#include "wlan/wlan_client.h"

namespace {

HANDLE Open() {
    DWORD negotiated = 0;
    HANDLE handle = nullptr;
    EXPECT_EQ(WlanOpenHandle(2, nullptr, &negotiated, &handle), ERROR_SUCCESS);
    return handle;
}

}  // namespace

TEST(WlanOpenHandle, NegotiatesVersionsOneAndTwo) {
    struct Case {
        DWORD version;
        DWORD result;
    };
    const Case cases[] = {{1, ERROR_SUCCESS}, {2, ERROR_SUCCESS}, {0, ERROR_NOT_SUPPORTED},
                          {3, ERROR_NOT_SUPPORTED}, {0xffffffff, ERROR_NOT_SUPPORTED}};
    for (const Case& c : cases) {
        DWORD negotiated = 77;
        HANDLE handle = nullptr;
        EXPECT_EQ(WlanOpenHandle(c.version, nullptr, &negotiated, &handle), c.result) << c.version;
        if (c.result != ERROR_SUCCESS) {
            EXPECT_EQ(negotiated, 77u);
            EXPECT_EQ(handle, nullptr);
            continue;
        }
        EXPECT_EQ(negotiated, c.version);
        EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
    }
}

TEST(WlanOpenHandle, NullPointersAndReserved) {
    DWORD negotiated = 0;
    HANDLE handle = nullptr;
    int reserved = 0;
    EXPECT_EQ(WlanOpenHandle(2, nullptr, nullptr, &handle), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WlanOpenHandle(2, nullptr, &negotiated, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WlanOpenHandle(2, &reserved, &negotiated, &handle), ERROR_INVALID_PARAMETER);
}

TEST(WlanCloseHandle, OnlyOpenHandlesClose) {
    HANDLE handle = Open();
    HANDLE other = Open();
    EXPECT_NE(handle, other);
    EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(WlanCloseHandle(nullptr, nullptr), ERROR_INVALID_HANDLE);
    int notAHandle = 0;
    EXPECT_EQ(WlanCloseHandle(&notAHandle, nullptr), ERROR_INVALID_HANDLE);
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    EXPECT_EQ(WlanEnumInterfaces(handle, nullptr, &list), ERROR_INVALID_HANDLE);
    EXPECT_EQ(list, nullptr);
    // The other handle is unaffected.
    EXPECT_EQ(WlanEnumInterfaces(other, nullptr, &list), ERROR_SUCCESS);
    WlanFreeMemory(list);
    EXPECT_EQ(WlanCloseHandle(other, nullptr), ERROR_SUCCESS);
}

TEST(WlanEnumInterfaces, ListsWhatTheMachineHas) {
    HANDLE handle = Open();
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    EXPECT_EQ(WlanEnumInterfaces(handle, nullptr, nullptr), ERROR_INVALID_PARAMETER);
    ASSERT_EQ(WlanEnumInterfaces(handle, nullptr, &list), ERROR_SUCCESS);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->dwIndex, 0u);
    for (DWORD i = 0; i != list->dwNumberOfItems; ++i) {
        const WLAN_INTERFACE_INFO& entry = (&list->InterfaceInfo[0])[i];
        EXPECT_NE(entry.strInterfaceDescription[0], 0);
        PWLAN_AVAILABLE_NETWORK_LIST networks = nullptr;
        EXPECT_EQ(WlanGetAvailableNetworkList(handle, &entry.InterfaceGuid, 0, nullptr, &networks),
                  ERROR_SUCCESS);
        WlanFreeMemory(networks);
    }
    WlanFreeMemory(list);
    EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
}

TEST(WlanGetAvailableNetworkList, UnknownGuidAndBadArguments) {
    HANDLE handle = Open();
    const GUID unknown = {0x01234567, 0x89ab, 0x5def, {0x80, 1, 2, 3, 4, 5, 6, 7}};
    PWLAN_AVAILABLE_NETWORK_LIST list = nullptr;
    EXPECT_EQ(WlanGetAvailableNetworkList(handle, &unknown, 0, nullptr, &list), ERROR_NOT_FOUND);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(WlanGetAvailableNetworkList(handle, nullptr, 0, nullptr, &list),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WlanGetAvailableNetworkList(handle, &unknown, 0, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WlanGetAvailableNetworkList(handle, &unknown, 0x10, nullptr, &list),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(WlanGetAvailableNetworkList(handle, &unknown, 0, nullptr, &list),
              ERROR_INVALID_HANDLE);
}

TEST(WlanReasonCodeToString, WritesWithinTheBuffer) {
    struct Case {
        DWORD code;
        DWORD size;
        DWORD result;
        std::size_t written;  // units before the terminator
    };
    const Case cases[] = {
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, 128, ERROR_SUCCESS, 24},
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, 5, ERROR_SUCCESS, 4},
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, 1, ERROR_SUCCESS, 0},
        {WLAN_REASON_CODE_SUCCESS, 128, ERROR_SUCCESS, 24},
        {WLAN_REASON_CODE_UNKNOWN, 128, ERROR_SUCCESS, 22},
        {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, 128, ERROR_SUCCESS, 48},
    };
    for (const Case& c : cases) {
        WCHAR buffer[130];
        std::fill(std::begin(buffer), std::end(buffer), WCHAR{0x6161});
        EXPECT_EQ(WlanReasonCodeToString(c.code, c.size, buffer, nullptr), c.result) << c.code;
        EXPECT_EQ(std::char_traits<char16_t>::length(buffer), c.written) << c.code;
        for (std::size_t i = c.written + 1; i != std::size(buffer); ++i)
            ASSERT_EQ(buffer[i], 0x6161) << c.code << " unit " << i;
    }
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), WCHAR{0x6161});
    EXPECT_EQ(WlanReasonCodeToString(0x00020002, 8, buffer, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 0, buffer, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 8, nullptr, nullptr),
              ERROR_INVALID_PARAMETER);
    for (const WCHAR unit : buffer) EXPECT_EQ(unit, 0x6161);
}

TEST(WlanFreeMemory, AcceptsNull) { WlanFreeMemory(nullptr); }
