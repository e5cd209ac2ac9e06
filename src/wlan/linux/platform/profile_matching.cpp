#include "wlan/linux/platform/profile_matching.h"

#include <algorithm>
#include <cstring>

#include "wlan/linux/platform/connman_matching.h"
#include "wlan/linux/platform/supplicant_matching.h"

namespace wlanlinux {
namespace {

// The kinds of key management a manager tells apart in a BSS's AKM suites.
enum AkmKind : unsigned {
    kAkmKindPsk = 1,
    kAkmKindEap = 2,
    kAkmKindSae = 4,
    kAkmKindOwe = 8,
    kAkmKindSuiteB192 = 16,
};

struct AkmRow {
    unsigned type;          // 00-0F-AC AKM suite type
    unsigned networkManager;
    unsigned iwd;           // iwd's network types: Psk, Eap (8021x), Owe (open)
};

// How each manager reads an AKM suite type. NetworkManager reads the names
// wpa_supplicant gives a BSS's suites: it takes FT and SHA-256 PSK as PSK,
// FILS as 802.1X and FT-SAE as SAE; it never sees Suite B (11), FT-802.1X-SHA384
// (13), FT-FILS (16, 17, whose names it misspells) or the SHA-384 and SAE-EXT-KEY
// suites. iwd takes SAE as PSK and OWE as open, and knows nothing else.
constexpr AkmRow kAkmKinds[] = {
    {1, kAkmKindEap, kAkmKindEap},   // 802.1X
    {2, kAkmKindPsk, kAkmKindPsk},   // PSK
    {3, kAkmKindEap, kAkmKindEap},   // FT-802.1X
    {4, kAkmKindPsk, kAkmKindPsk},   // FT-PSK
    {5, kAkmKindEap, kAkmKindEap},   // 802.1X-SHA256
    {6, kAkmKindPsk, kAkmKindPsk},   // PSK-SHA256
    {8, kAkmKindSae, kAkmKindPsk},   // SAE
    {9, kAkmKindSae, kAkmKindPsk},   // FT-SAE
    {12, kAkmKindSuiteB192, 0},      // Suite B 192
    {14, kAkmKindEap, 0},            // FILS-SHA256
    {15, kAkmKindEap, 0},            // FILS-SHA384
    {18, kAkmKindOwe, kAkmKindOwe},  // OWE
};

// The WPA element's AKM suites: 802.1X and PSK (00-50-F2 types 1 and 2).
constexpr std::uint32_t kWpaAkms = (1u << 1) | (1u << 2);

unsigned KindsOf(std::uint32_t akms, unsigned AkmRow::*manager) {
    unsigned kinds = 0;
    for (const AkmRow& row : kAkmKinds)
        if ((akms >> row.type) & 1u) kinds |= row.*manager;
    return kinds;
}

// A security element as NetworkManager reads it: its key management kinds and
// the ciphers it knows (pairwise TKIP and CCMP; group WEP, TKIP and CCMP).
struct NmElement {
    bool present = false;
    unsigned kinds = 0;
    std::uint32_t pairwise = 0;
    std::uint32_t group = 0;
};

NmElement NmRead(const std::optional<SuiteSets>& element, std::uint32_t akmMask) {
    NmElement read;
    if (!element) return read;
    read.present = true;
    read.kinds = KindsOf(element->akms & akmMask, &AkmRow::networkManager);
    read.pairwise = element->pairwise & (kProfileCipherTkip | kProfileCipherCcmp);
    read.group = element->group &
                 (kProfileCipherWep40 | kProfileCipherWep104 | kProfileCipherTkip | kProfileCipherCcmp);
    return read;
}

// Whether a profile that lists ciphers (none listed: any) shares one with the
// network's, of those NetworkManager reads.
bool CiphersFit(std::uint32_t listed, std::uint32_t offered) {
    return listed == 0 || (listed & offered) != 0;
}

// NetworkManager's security check. Where its own check is loose we are
// stricter: a profile restricted to WPA or to RSN reads that element only
// (NetworkManager reads both, as its own comment says it should not); dynamic
// WEP takes no network with an RSN element (NetworkManager reads the WPA
// element only); and open and WEP profiles look at the elements present, not
// at the flags NetworkManager can read from them (it takes a network offering
// only suites it cannot read, such as SAE-EXT-KEY, for WEP).
bool NmSecurityFits(const SavedProfile& profile, const BssMatchFacts& bss) {
    const bool useWpa = profile.protos == 0 || (profile.protos & kProtoWpa) != 0;
    const bool useRsn = profile.protos == 0 || (profile.protos & kProtoRsn) != 0;
    const NmElement wpa = NmRead(bss.wpa, kWpaAkms);
    const NmElement rsn = NmRead(bss.rsn, ~0u);
    // NetworkManager marks an open BSS that names its OWE twin as RSN "OWE transition".
    const bool anyElement = wpa.present || rsn.present || bss.oweTransition;
    switch (profile.keyMgmt) {
    case ProfileKeyMgmt::None:
        if (bss.oweTransition && !bss.privacy && !wpa.present && !rsn.present) return true;
        return !bss.privacy && !anyElement;
    case ProfileKeyMgmt::StaticWep: return bss.privacy && !anyElement;
    case ProfileKeyMgmt::DynamicWep: return !bss.adhoc && bss.privacy && !anyElement;
    default: break;
    }
    unsigned kinds = (useWpa ? wpa.kinds : 0) | (useRsn ? rsn.kinds : 0);
    const std::uint32_t pairwise = (useWpa ? wpa.pairwise : 0) | (useRsn ? rsn.pairwise : 0);
    const std::uint32_t group = (useWpa ? wpa.group : 0) | (useRsn ? rsn.group : 0);
    if (bss.adhoc) {
        // In an IBSS only WPA2-PSK: the RSN element must offer PSK.
        if (profile.keyMgmt != ProfileKeyMgmt::WpaPsk) return false;
        if (!useRsn || (rsn.kinds & kAkmKindPsk) == 0) return false;
    }
    switch (profile.keyMgmt) {
    case ProfileKeyMgmt::WpaPsk: kinds &= kAkmKindPsk; break;
    case ProfileKeyMgmt::Sae: kinds &= kAkmKindSae; break;
    case ProfileKeyMgmt::WpaEap: kinds &= kAkmKindEap; break;
    case ProfileKeyMgmt::Owe:
        kinds &= kAkmKindOwe;
        if (bss.oweTransition && useRsn) kinds |= kAkmKindOwe;
        break;
    // Suite B 192 needs the RSN element; NetworkManager does not check its ciphers.
    case ProfileKeyMgmt::WpaEapSuiteB192:
        return useRsn && (rsn.kinds & kAkmKindSuiteB192) != 0;
    default: return false;
    }
    return kinds != 0 && CiphersFit(profile.pairwise, pairwise) && CiphersFit(profile.group, group);
}

// iwd's security of a BSS: from its RSN element, else its WPA element; without
// either, WEP when the privacy bit is set (iwd lists no WEP network), else open.
unsigned IwdKindOf(const BssMatchFacts& bss) {
    const std::optional<SuiteSets>& element = bss.rsn ? bss.rsn : bss.wpa;
    const unsigned kinds =
        element ? KindsOf(element->akms & (bss.rsn ? ~0u : kWpaAkms), &AkmRow::iwd) : 0;
    if (kinds & kAkmKindPsk) return kAkmKindPsk;
    if (kinds & kAkmKindEap) return kAkmKindEap;
    if ((kinds & kAkmKindOwe) || !bss.privacy) return kAkmKindOwe;
    return 0;
}

bool IwdSecurityFits(ProfileKeyMgmt type, const BssMatchFacts& bss) {
    switch (type) {
    case ProfileKeyMgmt::IwdOpen: return IwdKindOf(bss) == kAkmKindOwe;
    case ProfileKeyMgmt::IwdPsk: return IwdKindOf(bss) == kAkmKindPsk;
    case ProfileKeyMgmt::Iwd8021x: return IwdKindOf(bss) == kAkmKindEap;
    default: return false;
    }
}

bool IsIwdProfile(ProfileKeyMgmt keyMgmt) {
    return keyMgmt == ProfileKeyMgmt::IwdOpen || keyMgmt == ProfileKeyMgmt::IwdPsk ||
           keyMgmt == ProfileKeyMgmt::Iwd8021x;
}

bool IsConnManProfile(ProfileKeyMgmt keyMgmt) {
    return keyMgmt == ProfileKeyMgmt::ConnManNone || keyMgmt == ProfileKeyMgmt::ConnManWep ||
           keyMgmt == ProfileKeyMgmt::ConnManPsk || keyMgmt == ProfileKeyMgmt::ConnMan8021x;
}

bool ModeFits(ProfileMode mode, bool adhoc) {
    switch (mode) {
    case ProfileMode::Unspecified: return true;
    case ProfileMode::Infrastructure: return !adhoc;
    case ProfileMode::AdHoc: return adhoc;
    case ProfileMode::Other: return false;  // an access point or mesh of our own
    }
    return false;
}

// NetworkManager's channel of a frequency above 4900 MHz: its own table, which
// stops at channel 165 and puts channel 188 at 4945 MHz.
struct ChannelRow {
    std::uint16_t mhz;
    std::uint8_t channel;
};
constexpr ChannelRow kNmChannelsAbove4900[] = {
    {5035, 7},   {5040, 8},   {5045, 9},   {5055, 11},  {5060, 12},  {5080, 16},  {5170, 34},
    {5180, 36},  {5190, 38},  {5200, 40},  {5210, 42},  {5220, 44},  {5230, 46},  {5240, 48},
    {5250, 50},  {5260, 52},  {5280, 56},  {5290, 58},  {5300, 60},  {5320, 64},  {5500, 100},
    {5520, 104}, {5540, 108}, {5560, 112}, {5580, 116}, {5600, 120}, {5620, 124}, {5640, 128},
    {5660, 132}, {5680, 136}, {5700, 140}, {5745, 149}, {5760, 152}, {5765, 153}, {5785, 157},
    {5800, 160}, {5805, 161}, {5825, 165}, {4915, 183}, {4920, 184}, {4925, 185}, {4935, 187},
    {4945, 188}, {4960, 192}, {4980, 196},
};

// 0 for a frequency NetworkManager knows no channel of.
std::uint32_t NmChannelOf(std::uint32_t mhz) {
    if (mhz > 4900) {
        for (const ChannelRow& row : kNmChannelsAbove4900)
            if (row.mhz == mhz) return row.channel;
        return 0;
    }
    if (mhz == 2484) return 14;
    if (mhz >= 2412 && mhz <= 2472 && (mhz - 2407) % 5 == 0) return (mhz - 2407) / 5;
    return 0;
}

bool BandFits(ProfileBand band, std::uint32_t mhz) {
    switch (band) {
    case ProfileBand::Any: return true;
    case ProfileBand::A: return mhz >= 4915 && mhz <= 5825;
    case ProfileBand::Bg: return mhz >= 2412 && mhz <= 2484;
    }
    return false;
}

bool SameAddress(const std::string& address, const std::uint8_t* other) {
    return other != nullptr && address.size() == 6 && std::memcmp(address.data(), other, 6) == 0;
}

// The adapter checks: the profile's interface name, and (against the adapter's
// permanent address) its locked address and denied addresses. Without a
// permanent address a locked profile fits no adapter and denials are moot.
bool AdapterFits(const SavedProfile& profile, const ProfileInterface& target) {
    if (!profile.interfaceName.empty() &&
        (target.name == nullptr || profile.interfaceName != target.name))
        return false;
    if (!profile.lockedAddress.empty() && !SameAddress(profile.lockedAddress, target.permanentAddress))
        return false;
    for (const std::string& denied : profile.deniedAddresses)
        if (SameAddress(denied, target.permanentAddress)) return false;
    return true;
}

}  // namespace

bool ProfileMatchesBss(const SavedProfile& profile, const BssMatchFacts& bss,
                       const ProfileInterface& target) {
    // A hidden network (no SSID, or only NUL bytes) is no profile's.
    const std::size_t ssidLength = bss.ssid != nullptr ? bss.ssidLength : 0;
    if (std::all_of(bss.ssid, bss.ssid + ssidLength, [](std::uint8_t b) { return b == 0; }) ||
        profile.ssid.size() != ssidLength ||
        std::memcmp(profile.ssid.data(), bss.ssid, ssidLength) != 0)
        return false;
    if (!AdapterFits(profile, target)) return false;
    // iwd's known networks are joined by a station: infrastructure only.
    if (IsIwdProfile(profile.keyMgmt)) return !bss.adhoc && IwdSecurityFits(profile.keyMgmt, bss);
    if (profile.keyMgmt == ProfileKeyMgmt::Supplicant) return SupplicantProfileFits(profile, bss);
    if (IsConnManProfile(profile.keyMgmt)) return ConnManProfileFits(profile, bss);
    if (!profile.bssid.empty() && !SameAddress(profile.bssid, bss.bssid)) return false;
    if (!ModeFits(profile.mode, bss.adhoc)) return false;
    if (!BandFits(profile.band, bss.frequencyMhz)) return false;
    if (profile.channel != 0 && profile.channel != NmChannelOf(bss.frequencyMhz)) return false;
    return NmSecurityFits(profile, bss);
}

}  // namespace wlanlinux
