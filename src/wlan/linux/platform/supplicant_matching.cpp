#include "wlan/linux/platform/supplicant_matching.h"

#include <cstdint>
#include <cstring>

#include "wlan/linux/ieee80211/suite_selectors.h"

namespace wlanlinux {
namespace {

constexpr std::uint32_t Bit(unsigned type) { return 1u << type; }

// The AKM suites each key_mgmt name takes, in the RSN element and in the WPA
// element (whose suites are 802.1X and PSK only).
struct KeyAkms {
    std::uint32_t key;
    std::uint32_t rsn;
    std::uint32_t wpa;
};

constexpr KeyAkms kKeyAkms[] = {
    {kSupplicantKeyWpaEap, Bit(kAkm8021X), Bit(kAkm8021X)},
    {kSupplicantKeyWpaPsk, Bit(kAkmPsk), Bit(kAkmPsk)},
    {kSupplicantKeyFtEap, Bit(kAkmFt8021X), 0},
    {kSupplicantKeyFtPsk, Bit(kAkmFtPsk), 0},
    {kSupplicantKeyEapSha256, Bit(kAkm8021XSha256), 0},
    {kSupplicantKeyPskSha256, Bit(kAkmPskSha256), 0},
    {kSupplicantKeySae, Bit(kAkmSae), 0},
    {kSupplicantKeyFtSae, Bit(kAkmFtSae), 0},
    {kSupplicantKeySuiteB, Bit(kAkmSuiteB), 0},
    {kSupplicantKeySuiteB192, Bit(kAkmSuiteB192), 0},
    {kSupplicantKeyOwe, Bit(kAkmOwe), 0},
};

// What a block names nothing for: wpa_supplicant's defaults.
constexpr std::uint32_t kDefaultProtos = kProtoWpa | kProtoRsn;
constexpr std::uint32_t kDefaultCiphers = kProfileCipherCcmp | kProfileCipherTkip;
constexpr std::uint32_t kWepCiphers = kProfileCipherWep40 | kProfileCipherWep104;

// The key managements that need a WPA or RSN element; OWE only alone. A name
// we do not know counts among them: FILS, SAE-EXT-KEY, the SHA-384 suites and
// DPP do, and it takes no suite we can tell, so it fits no network.
constexpr std::uint32_t kNeedWpa = kSupplicantKeyWpaPsk | kSupplicantKeyWpaEap | kSupplicantKeyFtPsk |
                                   kSupplicantKeyFtEap | kSupplicantKeyPskSha256 |
                                   kSupplicantKeyEapSha256 | kSupplicantKeySae | kSupplicantKeyFtSae |
                                   kSupplicantKeySuiteB | kSupplicantKeySuiteB192 | kSupplicantKeyOther;

struct Block {
    std::uint32_t keys;
    std::uint32_t protos;
    std::uint32_t pairwise;
    std::uint32_t group;
    std::uint32_t rsnAkms;
    std::uint32_t wpaAkms;
    bool wpa;       // it needs a WPA or RSN element
    bool wepKeys;   // static WEP keys are set
};

Block BlockOf(const SavedProfile& profile) {
    Block block{};
    block.keys = profile.supplicantKeyMgmt;
    block.protos = profile.protos != 0 ? profile.protos : kDefaultProtos;
    block.pairwise = profile.pairwise != 0 ? profile.pairwise : kDefaultCiphers;
    block.group = profile.group != 0 ? profile.group : kDefaultCiphers;
    for (const KeyAkms& row : kKeyAkms)
        if (block.keys & row.key) {
            block.rsnAkms |= row.rsn;
            block.wpaAkms |= row.wpa;
        }
    block.wpa = (block.keys & kNeedWpa) != 0 || block.keys == kSupplicantKeyOwe;
    return block;
}

bool DynamicWep(const Block& block) { return (block.keys & kSupplicantKeyIeee8021x) != 0; }

// One element against the block: its ciphers and key managements. A block
// for WEP (static or dynamic) also takes a pre-RSNA network whose group
// cipher is WEP.
bool ElementFits(const SuiteSets& element, std::uint32_t akms, const Block& block) {
    const bool wep = !block.wpa && (((block.keys & kSupplicantKeyNone) != 0 && block.wepKeys) || DynamicWep(block));
    if (wep && (element.group & kWepCiphers) != 0) return true;
    return (element.pairwise & block.pairwise) != 0 && (element.group & block.group) != 0 &&
           (element.akms & akms) != 0;
}

// The privacy bit against what the block protects with. dynamic WEP asks
// for keys (eapol_flags is never read; its default does); OWE, which falls
// back to an open network unless owe_only is set (never read: unset), and
// WPS take either.
bool PrivacyFits(const Block& block, const BssMatchFacts& bss) {
    if (block.keys & (kSupplicantKeyOwe | kSupplicantKeyWps)) return true;
    return bss.privacy == (block.wepKeys || DynamicWep(block) || block.wpa);
}

// wpa_supplicant's match of an access point's security: an element the
// block's proto allows that fits it; without one, dynamic WEP and OWE on a
// network with neither element, and any block that needs none. Then the
// checks of the whole scan result: a network without either element takes
// only NONE, IEEE8021X, OWE and WPS; a block with WEP keys takes no network
// with one; and the privacy bit. Management frame protection is not among the
// facts: a block fits whatever the access point asks of it.
bool SecurityFits(const Block& block, const BssMatchFacts& bss) {
    const bool elements = bss.rsn || bss.wpa;
    bool fits = ((block.protos & kProtoRsn) && bss.rsn && ElementFits(*bss.rsn, block.rsnAkms, block)) ||
                ((block.protos & kProtoWpa) && bss.wpa && ElementFits(*bss.wpa, block.wpaAkms, block));
    if (!fits && !elements && (block.keys & (kSupplicantKeyIeee8021x | kSupplicantKeyOwe))) fits = true;
    if (!fits && !block.wpa) fits = true;
    if (!fits) return false;
    constexpr std::uint32_t kWithoutElements =
        kSupplicantKeyNone | kSupplicantKeyIeee8021x | kSupplicantKeyOwe | kSupplicantKeyWps;
    if (!elements && (block.keys & kWithoutElements) == 0) return false;
    if (elements && !block.wpa && block.wepKeys) return false;
    return PrivacyFits(block, bss);
}

// wpa_supplicant selects access points only; it joins an IBSS by its SSID
// through the kernel, which compares the privacy bit.
bool Fits(const Block& block, const BssMatchFacts& bss) {
    return bss.adhoc ? PrivacyFits(block, bss) : SecurityFits(block, bss);
}

}  // namespace

bool SupplicantProfileFits(const SavedProfile& profile, const BssMatchFacts& bss) {
    // An access point, P2P group or mesh of our own, or a P2P group's record
    // (disabled=2), joins nothing seen. A block with mode=1 would make its
    // own IBSS out of an access point's SSID: not that network.
    if (profile.mode == ProfileMode::Other || (profile.mode == ProfileMode::AdHoc) != bss.adhoc) return false;
    if (!profile.bssid.empty() && (profile.bssid.size() != 6 || std::memcmp(profile.bssid.data(), bss.bssid, 6) != 0))
        return false;
    // WPS alone is wpa_supplicant's own record while it enrolls, and takes an
    // access point by its WPS element, which is not among the facts.
    if (profile.supplicantKeyMgmt == kSupplicantKeyWps) return false;
    // disabled=1 is left to fit: the block is saved and a user may select it.
    Block block = BlockOf(profile);
    block.wepKeys = profile.wepKeys;
    if (!profile.wepKeysUnknown || (block.keys & kSupplicantKeyNone) == 0) return Fits(block, bss);
    // Over its bus a NONE block may or may not hold WEP keys: it fits open
    // and WEP networks alike, as a user who saved either expects.
    block.wepKeys = false;
    if (Fits(block, bss)) return true;
    block.wepKeys = true;
    return Fits(block, bss);
}

}  // namespace wlanlinux
