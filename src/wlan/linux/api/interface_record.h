// An interface as the API lists it, and the pure decisions that make it: its
// state from the kernel's facts, its description, the GUIDs of interfaces
// sharing an address. No system calls.
#pragma once

#include <vector>

#include "wlan/linux/nl80211/nl80211_interfaces.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

struct StateFacts {
    bool up = false;
    std::uint32_t iftype = 0;
    bool hasSsid = false;
    StationProgress station = StationProgress::None;
};
WLAN_INTERFACE_STATE DecideInterfaceState(const StateFacts& facts);

struct InterfaceRecord {
    WirelessInterface netdev;
    GUID guid{};
    WLAN_INTERFACE_STATE state = wlan_interface_state_not_ready;
    // The adapter's permanent address (route netlink's IFLA_PERM_ADDRESS,
    // readable by any user), else the current one: what ties a profile to it.
    std::uint8_t adapterAddress[6] = {};
    bool hasAdapterAddress = false;
    AdapterCapabilities adapter;
    bool adapterKnown = false;
    char16_t description[WLAN_MAX_NAME_LENGTH] = {};
};

// Writes "<maker> <product> (<interface>)" (without the maker when it is
// unknown) as terminated UTF-16, bounded by the field. A maker and product
// too long for the field are cut, never the interface's part.
void DescribeAs(const char* maker, const char* product, const char* name,
                char16_t (&description)[WLAN_MAX_NAME_LENGTH]);

// "<driver> Wi-Fi adapter (<interface>)": the description without a product name.
void DescribeInterface(const char* driver, const char* name,
                       char16_t (&description)[WLAN_MAX_NAME_LENGTH]);

// Interfaces of one adapter may share its permanent address (a driver with a
// single address gives it to every interface): each later interface with an
// earlier one's GUID gets one derived from that GUID and its own name.
void SeparateSharedGuids(std::vector<InterfaceRecord>& records);

}  // namespace wlanlinux
