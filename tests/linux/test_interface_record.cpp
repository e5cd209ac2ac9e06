// The interface record: its state from the kernel's facts, its description,
// and GUIDs made distinct.
#include <gtest/gtest.h>
#include <linux/nl80211.h>

#include <cstring>
#include <string>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/device/interface_guid.h"

// Associated and authenticating stations: the scripted kernel's report.
TEST(InterfaceState, FromTheFacts) {
    using enum wlanlinux::StationProgress;
    constexpr std::uint32_t kStation = NL80211_IFTYPE_STATION;
    constexpr std::uint32_t kAdHoc = NL80211_IFTYPE_ADHOC;
    struct Case {
        const char* name;
        wlanlinux::StateFacts facts;  // up, type, SSID shown, station's progress
        WLAN_INTERFACE_STATE state;
    };
    const Case cases[] = {
        {"down though associated", {false, kStation, true, None}, wlan_interface_state_not_ready},
        {"up, idle", {true, kStation, false, None}, wlan_interface_state_disconnected},
        {"associated, SSID not yet shown", {true, kStation, false, Associated}, wlan_interface_state_connected},
        {"ad hoc joined", {true, kAdHoc, true, None}, wlan_interface_state_ad_hoc_network_formed},
        {"ad hoc idle", {true, kAdHoc, false, None}, wlan_interface_state_disconnected},
    };
    for (const Case& c : cases) EXPECT_EQ(wlanlinux::DecideInterfaceState(c.facts), c.state) << c.name;
}

TEST(SeparateSharedGuids, InterfacesSharingAnAddressGetDistinctGuids) {
    const std::uint8_t shared[6] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x00};
    const std::uint8_t own[6] = {0x02, 0x00, 0x00, 0x00, 0x02, 0x00};
    std::vector<wlanlinux::InterfaceRecord> records(4);
    for (std::size_t i = 0; i != records.size(); ++i) {
        std::strcpy(records[i].netdev.name, ("wlan" + std::to_string(i)).c_str());
        records[i].guid = wlanlinux::InterfaceGuidFromMac(i == 2 ? own : shared);
    }
    wlanlinux::SeparateSharedGuids(records);
    // The first keeps the address's GUID, as does the one with its own address.
    EXPECT_TRUE(wlanlinux::SameGuid(records[0].guid, wlanlinux::InterfaceGuidFromMac(shared)));
    EXPECT_TRUE(wlanlinux::SameGuid(records[2].guid, wlanlinux::InterfaceGuidFromMac(own)));
    for (std::size_t i = 0; i != records.size(); ++i)
        for (std::size_t j = 0; j != i; ++j)
            EXPECT_FALSE(wlanlinux::SameGuid(records[i].guid, records[j].guid)) << i << " " << j;
    // The same machine state gives the same GUIDs again.
    const GUID second = records[1].guid;
    records[1].guid = wlanlinux::InterfaceGuidFromMac(shared);
    wlanlinux::SeparateSharedGuids(records);
    EXPECT_TRUE(wlanlinux::SameGuid(records[1].guid, second));
}

// Without a driver's name: the scripted kernel's report.
TEST(Description, MakerProductAndTheInterfaceWithinTheField) {
    const std::string longName(400, 'd');
    struct Case {
        const char* maker;
        const char* product;  // null: the driver's description
        const char* name;
        std::u16string expected;
    };
    const Case cases[] = {
        {"mac80211_hwsim", nullptr, "wlan0", u"mac80211_hwsim Wi-Fi adapter (wlan0)"},
        {"Maker", "Radio 7", "wlp2s0", u"Maker Radio 7 (wlp2s0)"},
        {"", "Radio 7", "wlp2s0", u"Radio 7 (wlp2s0)"},
        // Too long for the field: the maker and product are cut, the
        // interface's part stays whole.
        {longName.c_str(), nullptr, "wlan0", std::u16string(247, u'd') + u" (wlan0)"},
        {"Maker", longName.c_str(), "wlp2s0", u"Maker " + std::u16string(240, u'd') + u" (wlp2s0)"},
    };
    for (const Case& c : cases) {
        char16_t description[WLAN_MAX_NAME_LENGTH];
        if (c.product == nullptr) wlanlinux::DescribeInterface(c.maker, c.name, description);
        else wlanlinux::DescribeAs(c.maker, c.product, c.name, description);
        EXPECT_EQ(std::u16string(description), c.expected) << c.name;
    }
}
