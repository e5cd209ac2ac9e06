#include "wlan/linux/platform/connman_matching.h"

#include <cstdint>

namespace wlanlinux {
namespace {

constexpr std::uint32_t Bit(unsigned type) { return 1u << type; }

// The AKM suites ConnMan 1.41 tells apart, as bits of their types. Of the
// names wpa_supplicant gives a BSS's suites its supplicant layer knows
// 802.1X, FT-802.1X and 802.1X-SHA256 ("ieee8021x"), and PSK, FT-PSK,
// PSK-SHA256 and SAE ("psk"); FT-SAE, OWE, Suite B, FILS and the SAE-EXT-KEY
// suites it does not know, so a BSS offering only those is "wep" (it sets the
// privacy bit).
constexpr std::uint32_t kRsnEap = Bit(1) | Bit(3) | Bit(5);
constexpr std::uint32_t kRsnPsk = Bit(2) | Bit(4) | Bit(6) | Bit(8);
// The WPA element's: 802.1X and PSK (00-50-F2 types 1 and 2).
constexpr std::uint32_t kWpaEap = Bit(1);
constexpr std::uint32_t kWpaPsk = Bit(2);

// A BSS's security as ConnMan reads it: both elements' suites together,
// 802.1X before PSK; without either, WEP when the privacy bit is set.
ProfileKeyMgmt SecurityOf(const BssMatchFacts& bss) {
    const std::uint32_t rsn = bss.rsn ? bss.rsn->akms : 0;
    const std::uint32_t wpa = bss.wpa ? bss.wpa->akms : 0;
    if ((rsn & kRsnEap) != 0 || (wpa & kWpaEap) != 0) return ProfileKeyMgmt::ConnMan8021x;
    if ((rsn & kRsnPsk) != 0 || (wpa & kWpaPsk) != 0) return ProfileKeyMgmt::ConnManPsk;
    return bss.privacy ? ProfileKeyMgmt::ConnManWep : ProfileKeyMgmt::ConnManNone;
}

}  // namespace

bool ConnManProfileFits(const SavedProfile& profile, const BssMatchFacts& bss) {
    // ConnMan takes a BSS whose SSID starts with a NUL byte for a hidden one.
    if (bss.ssid == nullptr || bss.ssidLength == 0 || bss.ssid[0] == 0) return false;
    const ProfileMode mode = bss.adhoc ? ProfileMode::AdHoc : ProfileMode::Infrastructure;
    return profile.mode == mode && profile.keyMgmt == SecurityOf(bss);
}

}  // namespace wlanlinux
