#include "wlan/linux/platform/profile_entries.h"

#include <algorithm>
#include <cstring>

#include "wlan/linux/platform/utf16_text.h"

namespace wlanlinux {
namespace {

bool MatchesAnyBss(const SavedProfile& profile, const std::vector<BssRecord>& bsses,
                   const ProfileInterface& target) {
    return std::any_of(bsses.begin(), bsses.end(), [&](const BssRecord& record) {
        return ProfileMatchesBss(profile, MatchFactsOf(record), target);
    });
}

}  // namespace

BssMatchFacts MatchFactsOf(const BssRecord& record) {
    BssMatchFacts facts;
    facts.ssid = record.elements.ssid.data;
    facts.ssidLength = ReportedSsidLength(record.elements.ssid);
    std::memcpy(facts.bssid, record.bssid, sizeof facts.bssid);
    facts.adhoc = record.kind == BssKind::Independent;
    facts.frequencyMhz = record.frequencyMhz;
    facts.privacy = record.privacy;
    facts.rsn = record.elements.rsn;
    facts.wpa = record.elements.wpa;
    facts.oweTransition = record.elements.hasOweTransition;
    return facts;
}

std::vector<WLAN_AVAILABLE_NETWORK> WithProfileEntries(const ScannedNetworks& scan,
                                                       const std::vector<SavedProfile>& profiles,
                                                       std::size_t inUse,
                                                       const ProfileInterface& target) {
    std::vector<WLAN_AVAILABLE_NETWORK> entries;
    entries.reserve(scan.networks.size());
    for (std::size_t n = 0; n != scan.networks.size(); ++n) {
        const WLAN_AVAILABLE_NETWORK& network = scan.networks[n];
        const bool connected = (network.dwFlags & WLAN_AVAILABLE_NETWORK_CONNECTED) != 0;
        bool connectedMoved = false;
        for (std::size_t i = 0; i != profiles.size(); ++i) {
            const SavedProfile& profile = profiles[i];
            if (n >= scan.bsses.size() || !MatchesAnyBss(profile, scan.bsses[n], target)) continue;
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
