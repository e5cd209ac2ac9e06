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
    }
    return false;
}

// The kind of security iwd would save for the network; Any when it has none
// of iwd's kinds (WEP, for example), which then matches no iwd profile.
ProfileSecurity SecurityKind(const WLAN_AVAILABLE_NETWORK& network) {
    if (network.bSecurityEnabled == 0) return ProfileSecurity::Open;
    switch (network.dot11DefaultAuthAlgorithm) {
    case DOT11_AUTH_ALGO_OWE: return ProfileSecurity::Open;
    case DOT11_AUTH_ALGO_WPA_PSK:
    case DOT11_AUTH_ALGO_RSNA_PSK:
    case DOT11_AUTH_ALGO_WPA3_SAE: return ProfileSecurity::Psk;
    case DOT11_AUTH_ALGO_WPA:
    case DOT11_AUTH_ALGO_RSNA:
    case DOT11_AUTH_ALGO_WPA3:
    case DOT11_AUTH_ALGO_WPA3_ENT: return ProfileSecurity::Enterprise;
    default: return ProfileSecurity::Any;
    }
}

}  // namespace

bool ProfileMatches(const SavedProfile& profile, const WLAN_AVAILABLE_NETWORK& network,
                    const char* interfaceName) {
    const DOT11_SSID& ssid = network.dot11Ssid;
    if (ssid.uSSIDLength > sizeof ssid.ucSSID || profile.ssid.size() != ssid.uSSIDLength ||
        std::memcmp(profile.ssid.data(), ssid.ucSSID, ssid.uSSIDLength) != 0)
        return false;
    if (!ModeMatches(profile.mode, network.dot11BssType)) return false;
    if (!profile.interfaceName.empty() && profile.interfaceName != interfaceName) return false;
    return profile.security == ProfileSecurity::Any || profile.security == SecurityKind(network);
}

std::vector<WLAN_AVAILABLE_NETWORK> WithProfileEntries(
    const std::vector<WLAN_AVAILABLE_NETWORK>& networks, const ProfileSet& profiles,
    const char* interfaceName) {
    std::vector<WLAN_AVAILABLE_NETWORK> entries;
    entries.reserve(networks.size());
    for (const WLAN_AVAILABLE_NETWORK& network : networks) {
        const bool connected = (network.dwFlags & WLAN_AVAILABLE_NETWORK_CONNECTED) != 0;
        bool connectedMoved = false;
        for (std::size_t i = 0; i != profiles.profiles.size(); ++i) {
            const SavedProfile& profile = profiles.profiles[i];
            if (!ProfileMatches(profile, network, interfaceName)) continue;
            WLAN_AVAILABLE_NETWORK entry = network;
            AppendUtf8(entry.strProfileName, WLAN_MAX_NAME_LENGTH, 0, profile.name.data(),
                       profile.name.size());
            entry.dwFlags = (network.dwFlags & ~WLAN_AVAILABLE_NETWORK_CONNECTED) |
                            WLAN_AVAILABLE_NETWORK_HAS_PROFILE;
            if (connected && i == profiles.inUse) {
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
