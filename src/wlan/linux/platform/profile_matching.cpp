#include "wlan/linux/platform/profile_matching.h"

#include <cstring>

#include "wlan/linux/platform/security_decision.h"

namespace wlanlinux {
namespace {

bool ModeMatches(ProfileMode mode, bool adhoc) {
    switch (mode) {
    case ProfileMode::Infrastructure: return !adhoc;
    case ProfileMode::AdHoc: return adhoc;
    case ProfileMode::Other: return false;
    case ProfileMode::Unspecified: return true;
    }
    return false;
}

// The security of a BSS, in the kinds a profile is saved for.
enum NetworkKind : unsigned {
    kOpenNetwork = 1,
    kOweNetwork = 2,
    kWepNetwork = 4,
    kPersonalNetwork = 8,
    kEnterpriseNetwork = 16,
};

// From the default authentication the platform would report for the BSS.
unsigned KindOf(const BssMatchFacts& bss) {
    ElementSummary elements;
    elements.hasRsn = bss.rsn.has_value();
    elements.rsn = bss.rsn;
    elements.hasWpa = bss.wpa.has_value();
    elements.wpa = bss.wpa;
    const SecuritySettings security = DecideSecurity(bss.privacy, elements, true);
    if (!security.enabled) return kOpenNetwork;
    switch (security.auth) {
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

bool SecurityMatches(ProfileSecurity security, const BssMatchFacts& bss) {
    for (const SecurityRow& row : kSecurityMatches)
        if (row.security == security) return (row.networks & KindOf(bss)) != 0;
    return false;
}

bool AdapterMatches(const std::string& locked, const std::uint8_t* permanentAddress) {
    if (locked.empty()) return true;
    return permanentAddress != nullptr && locked.size() == 6 &&
           std::memcmp(locked.data(), permanentAddress, 6) == 0;
}

}  // namespace

bool ProfileMatchesBss(const SavedProfile& profile, const BssMatchFacts& bss,
                       const ProfileInterface& target) {
    if (profile.ssid.size() != bss.ssidLength ||
        (bss.ssidLength != 0 && std::memcmp(profile.ssid.data(), bss.ssid, bss.ssidLength) != 0))
        return false;
    if (!ModeMatches(profile.mode, bss.adhoc)) return false;
    if (!profile.interfaceName.empty() && profile.interfaceName != target.name) return false;
    return AdapterMatches(profile.lockedAddress, target.permanentAddress) &&
           SecurityMatches(profile.security, bss);
}

}  // namespace wlanlinux
