#include "wlan/linux/api/profile_entries.h"

#include <cstring>

#include "wlan/linux/api/utf16_text.h"

namespace wlanlinux {
namespace {

bool ModeMatches(ProfileMode mode, DOT11_BSS_TYPE type) {
    switch (mode) {
    case ProfileMode::Infrastructure: return type == dot11_BSS_type_infrastructure;
    case ProfileMode::AdHoc: return type == dot11_BSS_type_independent;
    case ProfileMode::Other: return false;
    case ProfileMode::Unspecified: return true;
    }
    return false;
}

// The security of a visible network, in the kinds a profile is saved for.
enum NetworkKind : unsigned {
    kOpenNetwork = 1,
    kOweNetwork = 2,
    kWepNetwork = 4,
    kPersonalNetwork = 8,
    kEnterpriseNetwork = 16,
};

unsigned KindOf(const WLAN_AVAILABLE_NETWORK& network) {
    if (network.bSecurityEnabled == 0) return kOpenNetwork;
    switch (network.dot11DefaultAuthAlgorithm) {
    case DOT11_AUTH_ALGO_80211_OPEN:
    case DOT11_AUTH_ALGO_80211_SHARED_KEY: return kWepNetwork;
    case DOT11_AUTH_ALGO_OWE: return kOweNetwork;
    // A transition network (PSK and SAE) shows one of the two.
    case DOT11_AUTH_ALGO_WPA_PSK:
    case DOT11_AUTH_ALGO_RSNA_PSK:
    case DOT11_AUTH_ALGO_WPA3_SAE: return kPersonalNetwork;
    case DOT11_AUTH_ALGO_WPA:
    case DOT11_AUTH_ALGO_RSNA:
    case DOT11_AUTH_ALGO_WPA3:
    case DOT11_AUTH_ALGO_WPA3_ENT: return kEnterpriseNetwork;
    default: return 0;
    }
}

struct SecurityRow {
    ProfileSecurity security;
    unsigned networks;
};

// Which networks a profile of each security joins.
constexpr SecurityRow kSecurityMatches[] = {
    {ProfileSecurity::Open, kOpenNetwork},
    {ProfileSecurity::OpenOrOwe, kOpenNetwork | kOweNetwork},
    {ProfileSecurity::Owe, kOweNetwork},
    {ProfileSecurity::Wep, kWepNetwork},
    {ProfileSecurity::Personal, kPersonalNetwork},
    {ProfileSecurity::Enterprise, kEnterpriseNetwork},
};

bool SecurityMatches(ProfileSecurity security, const WLAN_AVAILABLE_NETWORK& network) {
    for (const SecurityRow& row : kSecurityMatches)
        if (row.security == security) return (row.networks & KindOf(network)) != 0;
    return false;
}

bool AdapterMatches(const std::string& locked, const std::uint8_t* permanentAddress) {
    if (locked.empty()) return true;
    return permanentAddress != nullptr && locked.size() == 6 &&
           std::memcmp(locked.data(), permanentAddress, 6) == 0;
}

}  // namespace

bool ProfileMatches(const SavedProfile& profile, const WLAN_AVAILABLE_NETWORK& network,
                    const ProfileInterface& target) {
    const DOT11_SSID& ssid = network.dot11Ssid;
    if (ssid.uSSIDLength > sizeof ssid.ucSSID || profile.ssid.size() != ssid.uSSIDLength ||
        std::memcmp(profile.ssid.data(), ssid.ucSSID, ssid.uSSIDLength) != 0)
        return false;
    if (!ModeMatches(profile.mode, network.dot11BssType)) return false;
    if (!profile.interfaceName.empty() && profile.interfaceName != target.name) return false;
    return AdapterMatches(profile.lockedAddress, target.permanentAddress) &&
           SecurityMatches(profile.security, network);
}

std::vector<WLAN_AVAILABLE_NETWORK> WithProfileEntries(
    const std::vector<WLAN_AVAILABLE_NETWORK>& networks, const std::vector<SavedProfile>& profiles,
    std::size_t inUse, const ProfileInterface& target) {
    std::vector<WLAN_AVAILABLE_NETWORK> entries;
    entries.reserve(networks.size());
    for (const WLAN_AVAILABLE_NETWORK& network : networks) {
        const bool connected = (network.dwFlags & WLAN_AVAILABLE_NETWORK_CONNECTED) != 0;
        bool connectedMoved = false;
        for (std::size_t i = 0; i != profiles.size(); ++i) {
            const SavedProfile& profile = profiles[i];
            if (!ProfileMatches(profile, network, target)) continue;
            WLAN_AVAILABLE_NETWORK entry = network;
            AppendUtf8(entry.strProfileName, WLAN_MAX_NAME_LENGTH, 0, profile.name.data(),
                       profile.name.size());
            entry.dwFlags = (network.dwFlags & ~WLAN_AVAILABLE_NETWORK_CONNECTED) |
                            WLAN_AVAILABLE_NETWORK_HAS_PROFILE;
            if (connected && i == inUse) {
                entry.dwFlags |= WLAN_AVAILABLE_NETWORK_CONNECTED;
                connectedMoved = true;
            }
            entries.push_back(entry);
        }
        entries.push_back(network);
        if (connectedMoved) entries.back().dwFlags &= ~WLAN_AVAILABLE_NETWORK_CONNECTED;
    }
    return entries;
}

}  // namespace wlanlinux
