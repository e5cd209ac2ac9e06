// The network list with saved profiles, over data: the shape of the list
// (entries per profile, then one without), the names and the connected flag.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "bss_facts.h"
#include "wlan/linux/platform/manager_states.h"
#include "wlan/linux/platform/profile_entries.h"

using wlanlinux::SavedProfile;

namespace {

constexpr std::size_t kNone = wlanlinux::kNoProfile;
constexpr DWORD C = WLAN_AVAILABLE_NETWORK_CONNECTED;
constexpr DWORD P = WLAN_AVAILABLE_NETWORK_HAS_PROFILE;
constexpr auto notReady = wlan_interface_state_not_ready, disconnected = wlan_interface_state_disconnected,
               connected = wlan_interface_state_connected, adHoc = wlan_interface_state_ad_hoc_network_formed;

struct Net {
    std::string ssid;
    bool connected = false;
};

Net Connected(std::string ssid) { return {std::move(ssid), true}; }

// A WPA2-Personal profile for any interface.
SavedProfile Profile(std::string name, std::string ssid) {
    SavedProfile profile;
    profile.name = std::move(name);
    profile.ssid = std::move(ssid);
    profile.keyMgmt = wlanlinux::ProfileKeyMgmt::WpaPsk;
    return profile;
}

// The permanent address of the interface the lists are made for.
constexpr std::uint8_t kAdapterAddress[6] = {2, 0, 0, 0, 0, 1};

// Each network carries its index in its BSSID count, so an entry shows where
// it was copied from; its one BSS is a WPA2-Personal access point.
void AddNetwork(wlanlinux::ScannedNetworks& scan, const Net& net) {
    WLAN_AVAILABLE_NETWORK network{};
    network.dot11Ssid.uSSIDLength = static_cast<ULONG>(net.ssid.size());
    std::memcpy(network.dot11Ssid.ucSSID, net.ssid.data(), net.ssid.size());
    network.uNumberOfBssids = static_cast<ULONG>(scan.networks.size());
    network.wlanSignalQuality = 77;
    network.bSecurityEnabled = 1;
    network.dot11DefaultAuthAlgorithm = DOT11_AUTH_ALGO_RSNA_PSK;
    network.dwFlags = net.connected ? C : 0;
    scan.networks.push_back(network);
    wlanlinux::BssRecord bss = testing_support::BssFacts(net.ssid);
    bss.connected = net.connected;
    scan.bsses.push_back({bss});
}

// A profile name, the index of the network the entry was copied from, and its flags.
using Entry = std::tuple<std::u16string, std::size_t, DWORD>;

// What a case shows, its networks and profiles, the index of the profile in use, and the entries.
using Case = std::tuple<const char*, std::vector<Net>, std::vector<SavedProfile>, std::size_t, std::vector<Entry>>;

}  // namespace

// A list without profiles, and one profile in use on the connected network:
// the manager tests (test_manager_bus.cpp).
TEST(ProfileEntries, ListShapeNamesAndTheConnectedFlag) {
    const std::string longName(300, 'n');
    const Case cases[] = {
        {"two profiles of one network, the one in use takes the connected flag",
         {{"cafe"}, Connected("home"), {"other"}},
         {Profile("Home", "home"), Profile("Cafe", "cafe"), Profile("Home 2", "home")}, 2,
         {{u"Cafe", 0, P}, {u"", 0, 0}, {u"Home", 1, P}, {u"Home 2", 1, P | C}, {u"", 1, 0}, {u"", 2, 0}}},
        {"connected without a profile in use: the flag stays on the plain entry",
         {Connected("home")}, {Profile("Home", "home")}, kNone, {{u"Home", 0, P}, {u"", 0, C}}},
        {"the profile in use matches a network that is not connected",
         {Connected("home"), {"cafe"}}, {Profile("Home", "home"), Profile("Cafe", "cafe")}, 1,
         {{u"Home", 0, P}, {u"", 0, C}, {u"Cafe", 1, P}, {u"", 1, 0}}},
        {"names: UTF-8 decoded to 16-bit units, at most 255 of them",
         {{"net"}},
         {Profile("Caf\xc3\xa9 \xf0\x9f\x93\xb6", "net"), Profile(longName, "net"), Profile("bad \xff", "net")}, kNone,
         {{u"Caf\u00e9 \U0001F4F6", 0, P}, {std::u16string(255, u'n'), 0, P}, {u"bad \ufffd", 0, P}, {u"", 0, 0}}},
    };
    for (const auto& [what, networks, profiles, inUse, expected] : cases) {
        wlanlinux::ScannedNetworks scan;
        for (const Net& net : networks) AddNetwork(scan, net);
        const auto entries = wlanlinux::WithProfileEntries(scan, profiles, inUse, {"wlan0", kAdapterAddress});
        std::vector<Entry> got;
        for (const WLAN_AVAILABLE_NETWORK& entry : entries) {
            got.push_back({entry.strProfileName, entry.uNumberOfBssids, entry.dwFlags});
            // Apart from its name and flags an entry is its network, byte for byte.
            ASSERT_LT(entry.uNumberOfBssids, scan.networks.size()) << what;
            WLAN_AVAILABLE_NETWORK copy = scan.networks[entry.uNumberOfBssids];
            std::memcpy(copy.strProfileName, entry.strProfileName, sizeof copy.strProfileName);
            copy.dwFlags = entry.dwFlags;
            EXPECT_EQ(std::memcmp(&copy, &entry, sizeof copy), 0) << what;
        }
        EXPECT_EQ(got, expected) << what;
    }
}

TEST(DeviceStateMapping, RefinesWhatNl80211Says) {
    const std::tuple<WLAN_INTERFACE_STATE, std::uint32_t, WLAN_INTERFACE_STATE> cases[] = {
        {disconnected, 0, disconnected},       // unknown
        {disconnected, 10, disconnected},      // unmanaged
        {notReady, 20, notReady},              // unavailable, link down
        {disconnected, 30, disconnected},
        {disconnected, 40, wlan_interface_state_associating},
        {wlan_interface_state_authenticating, 50, wlan_interface_state_associating},
        {disconnected, 60, wlan_interface_state_authenticating},
        {disconnected, 70, connected},
        {connected, 90, connected},
        {connected, 100, connected},
        {connected, 110, wlan_interface_state_disconnecting},
        {disconnected, 120, disconnected},
        {notReady, 110, notReady},             // down is down, whatever the manager says
        {adHoc, 50, adHoc},
        {disconnected, 0xffffffff, disconnected},
    };
    for (const auto& [kernel, device, expected] : cases)
        EXPECT_EQ(wlanlinux::RefineWithDeviceState(kernel, device), expected) << kernel << " with device " << device;
}

// The named states, one table per manager: a name another manager uses, or
// none of the table's, keeps what nl80211 says.
TEST(DeviceStateMapping, RefinesWithNamedStates) {
    using Source = wlanlinux::ProfileSnapshot::Source;
    const std::tuple<Source, WLAN_INTERFACE_STATE, const char*, WLAN_INTERFACE_STATE> cases[] = {
        {Source::WpaSupplicant, connected, "4way_handshake", wlan_interface_state_authenticating},
        {Source::WpaSupplicant, connected, "associated", wlan_interface_state_associating},
        {Source::WpaSupplicant, disconnected, "scanning", wlan_interface_state_discovering},
        {Source::WpaSupplicant, connected, "inactive", disconnected},
        {Source::WpaSupplicant, connected, "interface_disabled", connected},
        {Source::WpaSupplicant, disconnected, "COMPLETED", disconnected},  // names are exact
        {Source::ConnMan, disconnected, "configuration", connected},
        {Source::ConnMan, connected, "disconnect", wlan_interface_state_disconnecting},
        {Source::ConnMan, connected, "failure", connected},
        {Source::ConnMan, disconnected, "associating", disconnected},  // wpa_supplicant's name
        {Source::Iwd, connected, "roaming", connected},
        {Source::NetworkManager, disconnected, "completed", disconnected},
        {Source::WpaSupplicant, notReady, "completed", notReady},
        {Source::WpaSupplicant, adHoc, "scanning", adHoc},
    };
    for (const auto& [source, kernel, state, expected] : cases)
        EXPECT_EQ(wlanlinux::RefineWithManagerState(source, kernel, state), expected)
            << static_cast<int>(source) << " " << state;
}
