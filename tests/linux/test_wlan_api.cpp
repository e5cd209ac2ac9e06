// The six operations as the report calls them, over the scripted kernel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "allocation_faults.h"
#include "scripted_kernel.h"
#include "wlan/linux/api/client_handle.h"
#include "wlan/wlan_client.h"

namespace {

HANDLE Open(DWORD version = 2) {
    DWORD negotiated = 0;
    HANDLE handle = nullptr;
    EXPECT_EQ(WlanOpenHandle(version, nullptr, &negotiated, &handle), ERROR_SUCCESS);
    EXPECT_EQ(negotiated, version);
    return handle;
}

// Lists the interfaces and gives the list back.
DWORD Enumerate(HANDLE handle) {
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    const DWORD result = WlanEnumInterfaces(handle, nullptr, &list);
    WlanFreeMemory(list);
    return result;
}

}  // namespace

// Every operation refuses what it cannot use, and writes nothing then.
TEST(Operations, RefuseBadArguments) {
    HANDLE handle = Open();
    HANDLE closed = Open(1);
    EXPECT_NE(handle, closed);
    EXPECT_EQ(WlanCloseHandle(closed, nullptr), ERROR_SUCCESS);
    HANDLE reopened = Open();  // never the value of the closed one
    DWORD negotiated = 77;
    HANDLE opened = nullptr;
    int reserved = 0;
    int notAHandle = 0;
    const GUID unknown = {0x01234567, 0x89ab, 0x5def, {0x80, 1, 2, 3, 4, 5, 6, 7}};
    PWLAN_INTERFACE_INFO_LIST interfaces = nullptr;
    PWLAN_AVAILABLE_NETWORK_LIST networks = nullptr;
    WCHAR text[8];
    std::fill(std::begin(text), std::end(text), WCHAR{0x6161});

    // Each call is made as its row is built, in the table's order.
    constexpr DWORD kInvalid = ERROR_INVALID_PARAMETER;
    constexpr DWORD kBadHandle = ERROR_INVALID_HANDLE;
    struct Case {
        const char* name;
        DWORD result;
        DWORD expected;
    };
    const Case cases[] = {
        {"open: no version out", WlanOpenHandle(2, nullptr, nullptr, &opened), kInvalid},
        {"open: no handle out", WlanOpenHandle(2, nullptr, &negotiated, nullptr), kInvalid},
        {"open: reserved", WlanOpenHandle(2, &reserved, &negotiated, &opened), kInvalid},
        {"close: closed handle", WlanCloseHandle(closed, nullptr), kBadHandle},
        {"close: null", WlanCloseHandle(nullptr, nullptr), kBadHandle},
        {"close: made-up handle", WlanCloseHandle(&notAHandle, nullptr), kBadHandle},
        {"close: reserved", WlanCloseHandle(handle, &reserved), kInvalid},
        {"enum: no list out", WlanEnumInterfaces(handle, nullptr, nullptr), kInvalid},
        {"enum: reserved", WlanEnumInterfaces(handle, &reserved, &interfaces), kInvalid},
        {"enum: closed handle", WlanEnumInterfaces(closed, nullptr, &interfaces), kBadHandle},
        {"networks: unknown GUID", WlanGetAvailableNetworkList(handle, &unknown, 0, nullptr, &networks),
         ERROR_NOT_FOUND},
        {"networks: no GUID", WlanGetAvailableNetworkList(handle, nullptr, 0, nullptr, &networks), kInvalid},
        {"networks: no list out", WlanGetAvailableNetworkList(handle, &unknown, 0, nullptr, nullptr), kInvalid},
        {"networks: unknown flag", WlanGetAvailableNetworkList(handle, &unknown, 0x10, nullptr, &networks), kInvalid},
        {"networks: reserved", WlanGetAvailableNetworkList(handle, &unknown, 0, &reserved, &networks), kInvalid},
        {"networks: closed handle", WlanGetAvailableNetworkList(closed, &unknown, 0, nullptr, &networks), kBadHandle},
        {"reason: unknown code", WlanReasonCodeToString(0x00020002, 8, text, nullptr), kInvalid},
        {"reason: no room", WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 0, text, nullptr), kInvalid},
        {"reason: no buffer", WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 8, nullptr, nullptr), kInvalid},
        {"reason: reserved", WlanReasonCodeToString(WLAN_REASON_CODE_SUCCESS, 8, text, &reserved), kInvalid},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
    for (const DWORD version : {0u, 3u, 0xffffffffu})
        EXPECT_EQ(WlanOpenHandle(version, nullptr, &negotiated, &opened), ERROR_NOT_SUPPORTED) << version;
    EXPECT_EQ(negotiated, 77u);
    EXPECT_EQ(opened, nullptr);
    EXPECT_EQ(interfaces, nullptr);
    EXPECT_EQ(networks, nullptr);
    for (const WCHAR unit : text) EXPECT_EQ(unit, 0x6161);

    // The open handles are unaffected by all of it.
    EXPECT_EQ(Enumerate(handle), ERROR_SUCCESS);
    EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(WlanCloseHandle(reopened, nullptr), ERROR_SUCCESS);
}

// An operation in progress on one handle, and another waiting behind it,
// delay neither the operations nor the close of another handle.
TEST(WlanCloseHandle, ABusyHandleDelaysNoOther) {
    HANDLE busy = Open();
    HANDLE other = Open();
    auto inProgress = std::make_unique<wlanlinux::ClientLease>(busy);
    std::thread waiting([busy] { EXPECT_EQ(Enumerate(busy), ERROR_SUCCESS); });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    auto otherDone = std::async(std::launch::async, [other] {
        return Enumerate(other) == ERROR_SUCCESS && WlanCloseHandle(other, nullptr) == ERROR_SUCCESS;
    });
    // Not a timing: without the fault this never waits, with it, for ever.
    const bool finished = otherDone.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    inProgress.reset();
    waiting.join();
    EXPECT_TRUE(finished);
    EXPECT_TRUE(otherDone.get());
    EXPECT_EQ(WlanCloseHandle(busy, nullptr), ERROR_SUCCESS);
}

namespace {

// Every listed interface: its state and the access points of its network list.
// Each list is one block, and WlanFreeMemory gives it back; null is no list.
std::vector<std::pair<WLAN_INTERFACE_STATE, DWORD>> ListMachine() {
    const std::size_t before = allocation_faults::LiveCBlocks();
    HANDLE handle = Open();
    PWLAN_INTERFACE_INFO_LIST list = nullptr;
    EXPECT_EQ(WlanEnumInterfaces(handle, nullptr, &list), ERROR_SUCCESS);
    std::vector<PWLAN_AVAILABLE_NETWORK_LIST> networks(list != nullptr ? list->dwNumberOfItems : 0);
    std::vector<std::pair<WLAN_INTERFACE_STATE, DWORD>> listed;
    for (std::size_t i = 0; i != networks.size(); ++i) {
        const WLAN_INTERFACE_INFO& entry = (&list->InterfaceInfo[0])[i];
        EXPECT_EQ(WlanGetAvailableNetworkList(handle, &entry.InterfaceGuid, 0, nullptr, &networks[i]), ERROR_SUCCESS);
        DWORD bssids = 0;
        for (DWORD j = 0; networks[i] != nullptr && j != networks[i]->dwNumberOfItems; ++j)
            bssids += (&networks[i]->Network[0])[j].uNumberOfBssids;
        listed.emplace_back(entry.isState, bssids);
    }
    EXPECT_EQ(allocation_faults::LiveCBlocks(), before + 1 + networks.size());
    WlanFreeMemory(nullptr);
    WlanFreeMemory(list);
    for (PWLAN_AVAILABLE_NETWORK_LIST each : networks) WlanFreeMemory(each);
    EXPECT_EQ(allocation_faults::LiveCBlocks(), before);
    EXPECT_EQ(WlanCloseHandle(handle, nullptr), ERROR_SUCCESS);
    return listed;
}

}  // namespace

// What the kernel says of each interface, read by its index.
TEST(WlanEnumInterfaces, ListsWhatTheKernelHas) {
    using scripted_kernel::Machine;
    constexpr auto kConnected = wlan_interface_state_connected;
    constexpr auto kNotReady = wlan_interface_state_not_ready;
    struct Case {
        const char* name;
        std::function<void(Machine&)> change;
        std::vector<std::pair<WLAN_INTERFACE_STATE, DWORD>> listed;  // state, BSSIDs
    };
    const Case cases[] = {
        {"second down", [](Machine& m) { m.interfaces[2].up = false; }, {{kConnected, 8}, {kNotReady, 3}}},
        // By the time it is read, the dump's name belongs to a device that
        // is up (this machine's loopback); the interface itself is down.
        {"second's name taken by another device",
         [](Machine& m) {
             m.interfaces[2].name = "lo";
             m.interfaces[2].linkName = "wlan9";
             m.interfaces[2].up = false;
         },
         {{kConnected, 8}, {kNotReady, 3}}},
        {"first gone from its scan dump halfway, then back", [](Machine& m) { m.interfaces[0].scanDumpsCutShort = 1; },
         {{kConnected, 8}, {wlan_interface_state_authenticating, 3}}},
        {"no nl80211", [](Machine& m) { m.nl80211 = false; }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.change(scripted_kernel::ResetMachine());
        EXPECT_EQ(ListMachine(), c.listed);
    }
    scripted_kernel::ResetMachine();
}

// Each text says what its code means, so a text moved to another code fails.
TEST(WlanReasonCodeToString, WritesWithinTheBuffer) {
    struct Case {
        DWORD code;
        DWORD size;
        std::size_t written;  // units before the terminator
        std::u16string_view words = u"";
    };
    const Case cases[] = {
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, 128, 24, u"PHY type is invalid"},
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, 5, 4},
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, 1, 0},
        {WLAN_REASON_CODE_SUCCESS, 128, 24, u"succeeded"},
        {WLAN_REASON_CODE_UNKNOWN, 128, 22, u"unknown"},
        {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, 128, 48, u"not compatible"},
    };
    for (const Case& c : cases) {
        WCHAR buffer[130];
        std::fill(std::begin(buffer), std::end(buffer), WCHAR{0x6161});
        EXPECT_EQ(WlanReasonCodeToString(c.code, c.size, buffer, nullptr), ERROR_SUCCESS) << c.code;
        EXPECT_EQ(std::char_traits<char16_t>::length(buffer), c.written) << c.code;
        EXPECT_NE(std::u16string_view(buffer).find(c.words), std::u16string_view::npos) << c.code;
        for (std::size_t i = c.written + 1; i != std::size(buffer); ++i)
            ASSERT_EQ(buffer[i], 0x6161) << c.code << " unit " << i;
    }
}
