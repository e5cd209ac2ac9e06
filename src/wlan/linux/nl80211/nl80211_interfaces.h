// The interface records and the pure decisions over them: nl80211 interface
// and station messages parsed, the interface state, the description, the
// GUIDs of interfaces sharing an address. No system calls.
#pragma once

#include <libmnl/libmnl.h>
#include <net/if.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

struct WirelessInterface {
    std::uint32_t ifindex = 0;
    std::uint32_t iftype = 0;
    std::uint32_t wiphy = 0;
    bool hasWiphy = false;
    char name[IFNAMSIZ] = {};
    std::uint8_t mac[6] = {};  // the current address
    bool hasMac = false;
    bool hasSsid = false;  // a station is associated, an ad hoc interface has joined
};

// One NL80211_CMD_NEW_INTERFACE message. Empty for interfaces the API does not
// list: other types (access point, monitor, P2P device, ...) and entries
// without an index, name or type.
std::optional<WirelessInterface> ParseInterfaceMessage(const nlmsghdr* message);

// What a station dump entry says of the link to the access point.
enum class StationProgress { None, Authenticating, Associated };
StationProgress ParseStationMessage(const nlmsghdr* message);

struct StateFacts {
    bool up = false;
    std::uint32_t iftype = 0;
    bool hasSsid = false;
    StationProgress station = StationProgress::None;
};
WLAN_INTERFACE_STATE DecideInterfaceState(const StateFacts& facts);

// An interface as the API lists it.
struct InterfaceRecord {
    WirelessInterface netdev;
    GUID guid{};
    WLAN_INTERFACE_STATE state = wlan_interface_state_not_ready;
    AdapterCapabilities adapter;
    bool adapterKnown = false;
    char16_t description[WLAN_MAX_NAME_LENGTH] = {};
};

// Writes "<maker> <product> (<interface>)" (without the maker when it is
// unknown) as terminated UTF-16, bounded by the field.
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
