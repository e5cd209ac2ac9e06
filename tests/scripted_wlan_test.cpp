// The scripted service must catch the faults the report tests rely on it to
// catch: a double that misses them would let a leaking report pass.
#include <gtest/gtest.h>

#include <string>

#include "scripted_wlan.h"

namespace {

bool Mentions(const WlanCallLog& log, const std::string& text) {
    for (const std::string& problem : log.problems)
        if (problem.find(text) != std::string::npos) return true;
    return false;
}

struct OpenedService {
    WlanScript script;
    HANDLE client = nullptr;
    PWLAN_INTERFACE_INFO_LIST interfaces = nullptr;
    PWLAN_AVAILABLE_NETWORK_LIST networks = nullptr;

    OpenedService() {
        ScriptedInterface entry;
        entry.guid.Data1 = 7;
        entry.networks = {MakeNetwork("a"), MakeNetwork("b")};
        script.interfaces = {entry};
        InstallWlanScript(script);
        DWORD version = 0;
        EXPECT_EQ(WlanOpenHandle(2, nullptr, &version, &client), 0u);
        EXPECT_EQ(WlanEnumInterfaces(client, nullptr, &interfaces), 0u);
        EXPECT_EQ(WlanGetAvailableNetworkList(client, &entry.guid, 0, nullptr, &networks), 0u);
    }
};

TEST(ScriptedWlan, ListsCarryTheirEntries) {
    OpenedService service;
    ASSERT_EQ(service.networks->dwNumberOfItems, 2u);
    EXPECT_EQ(service.networks->Network[0].dot11Ssid.ucSSID[0], 'a');
    EXPECT_EQ(service.interfaces->InterfaceInfo[0].InterfaceGuid.Data1, 7u);
    WlanFreeMemory(service.networks);
    WlanFreeMemory(service.interfaces);
    EXPECT_EQ(WlanCloseHandle(service.client, nullptr), 0u);
    EXPECT_TRUE(FinishWlanScript().problems.empty());
}

TEST(ScriptedWlan, CatchesListsFreedOutOfOrderOrTwice) {
    OpenedService service;
    WlanFreeMemory(service.interfaces);  // the network list is still held
    WlanFreeMemory(service.networks);
    WlanFreeMemory(service.networks);
    const WlanCallLog log = FinishWlanScript();
    EXPECT_TRUE(Mentions(log, "interface list freed out of order"));
    EXPECT_TRUE(Mentions(log, "freed twice"));
}

TEST(ScriptedWlan, CatchesListsNeverFreedAndCallsAfterClose) {
    OpenedService service;
    EXPECT_EQ(WlanCloseHandle(service.client, nullptr), 0u);
    WLAN_INTERFACE_INFO_LIST* again = nullptr;
    WlanEnumInterfaces(service.client, nullptr, &again);
    const WlanCallLog log = FinishWlanScript();
    EXPECT_TRUE(Mentions(log, "still held at close"));
    EXPECT_TRUE(Mentions(log, "interface list never freed"));
    EXPECT_TRUE(Mentions(log, "network list 0 never freed"));
    EXPECT_TRUE(Mentions(log, "enum: called after close"));
}

}  // namespace
