// The six operations as the report calls them, on this machine's own stack
// (with or without Wi-Fi: nothing here assumes either).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

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
    for (const DWORD version : {1u, 2u}) {
        DWORD negotiated = 77;
        HANDLE handle = nullptr;
        EXPECT_EQ(WlanOpenHandle(version, nullptr, &negotiated, &handle), ERROR_SUCCESS);
        EXPECT_EQ(negotiated, version);
        EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
    }
}

// Every operation refuses what it cannot use, and writes nothing then.
TEST(Operations, RefuseBadArguments) {
    HANDLE handle = Open();
    HANDLE closed = Open();
    EXPECT_NE(handle, closed);
    EXPECT_EQ(WlanCloseHandle(closed, nullptr), ERROR_SUCCESS);
    DWORD negotiated = 77;
    HANDLE opened = nullptr;
    int reserved = 0;
    int notAHandle = 0;
    const GUID unknown = {0x01234567, 0x89ab, 0x5def, {0x80, 1, 2, 3, 4, 5, 6, 7}};
    PWLAN_INTERFACE_INFO_LIST interfaces = nullptr;
    PWLAN_AVAILABLE_NETWORK_LIST networks = nullptr;
    WCHAR text[8];
    std::fill(std::begin(text), std::end(text), WCHAR{0x6161});

    struct Case {
        const char* name;
        std::function<DWORD()> call;
        DWORD result;
    };
    const Case cases[] = {
        {"open: version 0", [&] { return WlanOpenHandle(0, nullptr, &negotiated, &opened); },
         ERROR_NOT_SUPPORTED},
        {"open: version 3", [&] { return WlanOpenHandle(3, nullptr, &negotiated, &opened); },
         ERROR_NOT_SUPPORTED},
        {"open: version 0xffffffff",
         [&] { return WlanOpenHandle(0xffffffff, nullptr, &negotiated, &opened); },
         ERROR_NOT_SUPPORTED},
        {"open: no version out", [&] { return WlanOpenHandle(2, nullptr, nullptr, &opened); },
         ERROR_INVALID_PARAMETER},
        {"open: no handle out", [&] { return WlanOpenHandle(2, nullptr, &negotiated, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"open: reserved", [&] { return WlanOpenHandle(2, &reserved, &negotiated, &opened); },
         ERROR_INVALID_PARAMETER},
        {"close: closed handle", [&] { return WlanCloseHandle(closed, nullptr); },
         ERROR_INVALID_HANDLE},
        {"close: null", [&] { return WlanCloseHandle(nullptr, nullptr); }, ERROR_INVALID_HANDLE},
        {"close: made-up handle", [&] { return WlanCloseHandle(&notAHandle, nullptr); },
         ERROR_INVALID_HANDLE},
        {"close: reserved", [&] { return WlanCloseHandle(handle, &reserved); },
         ERROR_INVALID_PARAMETER},
        {"enum: no list out", [&] { return WlanEnumInterfaces(handle, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"enum: reserved", [&] { return WlanEnumInterfaces(handle, &reserved, &interfaces); },
         ERROR_INVALID_PARAMETER},
        {"enum: closed handle", [&] { return WlanEnumInterfaces(closed, nullptr, &interfaces); },
         ERROR_INVALID_HANDLE},
        {"networks: unknown GUID",
         [&] { return WlanGetAvailableNetworkList(handle, &unknown, 0, nullptr, &networks); },
         ERROR_NOT_FOUND},
        {"networks: no GUID",
         [&] { return WlanGetAvailableNetworkList(handle, nullptr, 0, nullptr, &networks); },
         ERROR_INVALID_PARAMETER},
        {"networks: no list out",
         [&] { return WlanGetAvailableNetworkList(handle, &unknown, 0, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"networks: unknown flag",
         [&] { return WlanGetAvailableNetworkList(handle, &unknown, 0x10, nullptr, &networks); },
         ERROR_INVALID_PARAMETER},
        {"networks: reserved",
         [&] { return WlanGetAvailableNetworkList(handle, &unknown, 0, &reserved, &networks); },
         ERROR_INVALID_PARAMETER},
        {"networks: closed handle",
         [&] { return WlanGetAvailableNetworkList(closed, &unknown, 0, nullptr, &networks); },
         ERROR_INVALID_HANDLE},
        {"reason: unknown code", [&] { return WlanReasonCodeToString(0x00020002, 8, text, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"reason: no room",
         [&] { return WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 0, text, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"reason: no buffer",
         [&] { return WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 8, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"reason: reserved",
         [&] { return WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 8, text, &reserved); },
         ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) EXPECT_EQ(c.call(), c.result) << c.name;
    EXPECT_EQ(negotiated, 77u);
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(interfaces, nullptr);
    EXPECT_EQ(networks, nullptr);
    for (const WCHAR unit : text) EXPECT_EQ(unit, 0x6161);

    // The open handle is unaffected by all of it.
    EXPECT_EQ(WlanEnumInterfaces(handle, nullptr, &interfaces), ERROR_SUCCESS);
    WlanFreeMemory(interfaces);
    EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
}

TEST(WlanEnumInterfaces, ListsWhatTheMachineHas) {
    HANDLE handle = Open();
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
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
}

TEST(WlanFreeMemory, AcceptsNull) { WlanFreeMemory(nullptr); }
