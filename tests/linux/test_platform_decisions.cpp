// What the platform reports of a BSS, decided from its elements: the default
// authentication and cipher, and the PHY types.
#include <gtest/gtest.h>

#include <vector>

#include "test_builders.h"
#include "wlan/linux/ieee80211/information_elements.h"
#include "wlan/linux/ieee80211/suite_selectors.h"
#include "wlan/linux/platform/phy_types.h"
#include "wlan/linux/platform/security_decision.h"

using namespace testing_support;
using wlanlinux::DecideSecurity;
using wlanlinux::ElementSummary;
using wlanlinux::SecuritySettings;

namespace {

ElementSummary Summarize(const Bytes& bytes) {
    const auto exact = ExactCopy(bytes);
    return wlanlinux::SummarizeElements(exact.get(), bytes.size());
}

SecuritySettings Decide(bool privacy, const Bytes& bytes, bool sae) {
    return DecideSecurity(privacy, Summarize(bytes), sae);
}

}  // namespace

// Open and WEP networks, without suite elements: the scripted kernel's report.
TEST(DecideSecurity, FromPrivacyAndSuiteElements) {
    using namespace wlanlinux;
    // An RSN element of a version no one knows.
    const Bytes brokenRsn = Ie(48, {2, 0, 0x00, 0x0f, 0xac, kCipherCcmp});
    constexpr auto kOpenAuth = DOT11_AUTH_ALGO_80211_OPEN;
    struct Case {
        const char* name;
        bool privacy;
        Bytes ies;
        bool sae;  // the adapter can authenticate with SAE
        bool enabled;
        DOT11_AUTH_ALGORITHM auth;
        DOT11_CIPHER_ALGORITHM cipher;
    };
    const auto rsnAkm = [](std::uint8_t akm) { return Rsn(kCipherCcmp, {kCipherCcmp}, {akm}); };
    const auto rsnAkms = [](const Bytes& akms) { return Rsn(kCipherCcmp, {kCipherCcmp}, akms); };
    const auto rsnPsk = [](const Bytes& pairwise) { return Rsn(kCipherCcmp, pairwise, {kAkmPsk}); };
    const Case cases[] = {
        // AKMs alone that no row below implies.
        {"FT-802.1X", true, rsnAkm(kAkmFt8021X), true, true, DOT11_AUTH_ALGO_RSNA,
         DOT11_CIPHER_ALGO_CCMP},
        {"FT-PSK", true, rsnAkm(kAkmFtPsk), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_CCMP},
        {"802.1X-SHA256", true, rsnAkm(kAkm8021XSha256), true, true, DOT11_AUTH_ALGO_RSNA,
         DOT11_CIPHER_ALGO_CCMP},
        {"PSK-SHA256", true, rsnAkm(kAkmPskSha256), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_CCMP},
        {"WPA 802.1X", true, Wpa(kCipherTkip, {kCipherTkip}, {kAkm8021X}), true, true,
         DOT11_AUTH_ALGO_WPA, DOT11_CIPHER_ALGO_TKIP},
        // Several AKMs: what a first connection uses.
        {"transition, adapter with SAE", true, rsnAkms({kAkmPsk, kAkmSae}), true, true,
         DOT11_AUTH_ALGO_WPA3_SAE, DOT11_CIPHER_ALGO_CCMP},
        {"transition, adapter without SAE", true, rsnAkms({kAkmPsk, kAkmSae}), false, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP},
        {"SAE only, adapter without SAE", true, rsnAkms({kAkmSae}), false, true,
         DOT11_AUTH_ALGO_WPA3_SAE, DOT11_CIPHER_ALGO_CCMP},
        {"SAE and 802.1X, adapter without SAE", true, rsnAkms({kAkmSae, kAkm8021X}), false, true,
         DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_CCMP},
        {"OWE before PSK", true, rsnAkms({kAkmPsk, kAkmOwe}), true, true, DOT11_AUTH_ALGO_OWE,
         DOT11_CIPHER_ALGO_CCMP},
        {"802.1X before PSK", true, rsnAkms({kAkmPsk, kAkm8021X}), true, true,
         DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_CCMP},
        {"192-bit before plain 802.1X", true, rsnAkms({kAkm8021X, kAkmSuiteB192}), true, true,
         DOT11_AUTH_ALGO_WPA3, DOT11_CIPHER_ALGO_CCMP},
        {"SAE before OWE", true, rsnAkms({kAkmOwe, kAkmSaeExtKey}), true, true,
         DOT11_AUTH_ALGO_WPA3_SAE, DOT11_CIPHER_ALGO_CCMP},
        {"unknown AKMs only", true, rsnAkms({7, 30}), true, true, DOT11_AUTH_ALGO_RSNA,
         DOT11_CIPHER_ALGO_CCMP},
        // The strongest pairwise cipher: each over the next weaker one.
        {"GCMP-256 over CCMP", true, rsnPsk({kCipherCcmp, kCipherGcmp256}), true, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_GCMP_256},
        {"CCMP-256 over GCMP", true, rsnPsk({kCipherGcmp, kCipherCcmp256}), true, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP_256},
        {"GCMP over CCMP", true, rsnPsk({kCipherCcmp, kCipherGcmp}), true, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_GCMP},
        {"CCMP over TKIP", true, rsnPsk({kCipherTkip, kCipherCcmp}), true, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP},
        {"TKIP over WEP-40", true, rsnPsk({kCipherWep40, kCipherTkip}), true, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_TKIP},
        {"WEP-104 over WEP-40", true, rsnPsk({kCipherWep40, kCipherWep104}), true, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_WEP104},
        {"use the group cipher", true, Rsn(kCipherTkip, {kCipherUseGroup}, {kAkmPsk}), true, true,
         DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_TKIP},
        // RSN before WPA; WPA/WPA2 mixed: WPA offers TKIP and CCMP, RSN offers CCMP.
        {"mixed", true,
         Join({Wpa(kCipherTkip, {kCipherTkip, kCipherCcmp}, {kAkmPsk}),
               Rsn(kCipherTkip, {kCipherCcmp}, {kAkmPsk})}),
         true, true, DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP},
        {"broken RSN leaves WPA to decide", true,
         Join({brokenRsn, Wpa(kCipherTkip, {kCipherTkip}, {kAkmPsk})}), true, true,
         DOT11_AUTH_ALGO_WPA_PSK, DOT11_CIPHER_ALGO_TKIP},
        {"broken RSN alone still secures", false, brokenRsn, true, true, kOpenAuth,
         DOT11_CIPHER_ALGO_NONE},
    };
    for (const Case& c : cases) {
        const SecuritySettings settings = Decide(c.privacy, c.ies, c.sae);
        EXPECT_EQ(settings.enabled, c.enabled) << c.name;
        EXPECT_EQ(settings.auth, c.auth) << c.name;
        EXPECT_EQ(settings.cipher, c.cipher) << c.name;
    }
    EXPECT_EQ(Decide(false, Ssid("open"), true).pairwiseCiphers, 0u);
}

// 11b and 11g with 11n at 2.4 GHz: the scripted kernel's report.
TEST(ListPhyTypes, ByBandRatesAndCapabilities) {
    struct Case {
        const char* name;
        std::uint32_t mhz;
        Bytes bytes;
        std::vector<DOT11_PHY_TYPE> types;
    };
    const Case cases[] = {
        {"OFDM only at 2.4 GHz", 2484, OfdmRates(), {dot11_phy_type_erp}},
        {"11ax at 5 GHz", 5200,
         Join({OfdmRates(), HtCapabilities(), VhtCapabilities(), HeCapabilities()}),
         {dot11_phy_type_ofdm, dot11_phy_type_ht, dot11_phy_type_vht, dot11_phy_type_he}},
        {"6 GHz implies HE", 5955, OfdmRates(), {dot11_phy_type_ofdm, dot11_phy_type_he}},
        {"11be at 6 GHz", 6115, Join({OfdmRates(), HeCapabilities(), EhtCapabilities()}),
         {dot11_phy_type_ofdm, dot11_phy_type_he, dot11_phy_type_eht}},
        {"60 GHz", 58320, {}, {dot11_phy_type_dmg}},
        {"no rates at 2.4 GHz", 2412, HtCapabilities(), {dot11_phy_type_ht}},
        {"unknown band", 0, HtCapabilities(), {dot11_phy_type_ht}},
    };
    for (const Case& c : cases) {
        const ElementSummary summary = Summarize(c.bytes);
        DOT11_PHY_TYPE types[WLAN_MAX_PHY_TYPE_NUMBER] = {};
        const std::size_t count = wlanlinux::ListPhyTypes(c.mhz, summary, types);
        EXPECT_EQ(std::vector<DOT11_PHY_TYPE>(types, types + count), c.types) << c.name;
    }
}
