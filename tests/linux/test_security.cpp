#include <gtest/gtest.h>

#include "test_builders.h"
#include "wlan/linux/ieee80211/information_elements.h"
#include "wlan/linux/ieee80211/security_suites.h"
#include "wlan/linux/ieee80211/suite_selectors.h"

using namespace testing_support;
using wlanlinux::DecideSecurity;
using wlanlinux::SecuritySettings;

namespace {

SecuritySettings Decide(bool privacy, const Bytes& bytes, bool sae) {
    const auto exact = ExactCopy(bytes);
    return DecideSecurity(privacy, wlanlinux::SummarizeElements(exact.get(), bytes.size()), sae);
}

}  // namespace

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
        // Each AKM alone.
        {"802.1X", true, rsnAkm(kAkm8021X), true, true, DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_CCMP},
        {"PSK", true, rsnAkm(kAkmPsk), true, true, DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP},
        {"FT-802.1X", true, rsnAkm(kAkmFt8021X), true, true, DOT11_AUTH_ALGO_RSNA,
         DOT11_CIPHER_ALGO_CCMP},
        {"FT-PSK", true, rsnAkm(kAkmFtPsk), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_CCMP},
        {"802.1X-SHA256", true, rsnAkm(kAkm8021XSha256), true, true, DOT11_AUTH_ALGO_RSNA,
         DOT11_CIPHER_ALGO_CCMP},
        {"PSK-SHA256", true, rsnAkm(kAkmPskSha256), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_CCMP},
        {"SAE", true, rsnAkm(kAkmSae), true, true, DOT11_AUTH_ALGO_WPA3_SAE, DOT11_CIPHER_ALGO_CCMP},
        {"Suite-B-192", true, rsnAkm(kAkmSuiteB192), true, true, DOT11_AUTH_ALGO_WPA3,
         DOT11_CIPHER_ALGO_CCMP},
        {"OWE", true, rsnAkm(kAkmOwe), true, true, DOT11_AUTH_ALGO_OWE, DOT11_CIPHER_ALGO_CCMP},
        {"SAE-EXT-KEY", true, rsnAkm(kAkmSaeExtKey), true, true, DOT11_AUTH_ALGO_WPA3_SAE,
         DOT11_CIPHER_ALGO_CCMP},
        {"WPA 802.1X", true, Wpa(kCipherTkip, {kCipherTkip}, {kAkm8021X}), true, true,
         DOT11_AUTH_ALGO_WPA, DOT11_CIPHER_ALGO_TKIP},
        {"WPA PSK", true, Wpa(kCipherTkip, {kCipherTkip}, {kAkmPsk}), true, true,
         DOT11_AUTH_ALGO_WPA_PSK, DOT11_CIPHER_ALGO_TKIP},
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
        // The strongest pairwise cipher.
        {"GCMP-256", true, rsnPsk({kCipherGcmp256}), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_GCMP_256},
        {"CCMP-256", true, rsnPsk({kCipherCcmp256}), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_CCMP_256},
        {"GCMP", true, rsnPsk({kCipherGcmp}), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_GCMP},
        {"WEP-104", true, rsnPsk({kCipherWep104}), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_WEP104},
        {"WEP-40", true, rsnPsk({kCipherWep40}), true, true, DOT11_AUTH_ALGO_RSNA_PSK,
         DOT11_CIPHER_ALGO_WEP40},
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
        // Without suite elements.
        {"WEP", true, Ssid("wep"), true, true, kOpenAuth, DOT11_CIPHER_ALGO_WEP},
        {"open", false, Ssid("open"), true, false, kOpenAuth, DOT11_CIPHER_ALGO_NONE},
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

TEST(ParseSuites, DefaultsMalformedBodiesAndOtherOuis) {
    struct Case {
        const char* name;
        Bytes body;
        bool rsn;
        bool parsed;
        std::uint32_t pairwise = 0;
        std::uint32_t akms = 0;
    };
    const Case cases[] = {
        // Absent trailing parts take their defaults.
        {"RSN version only", {1, 0}, true, true, 1u << 4, 1u << 1},
        {"RSN group only", {1, 0, 0x00, 0x0f, 0xac, 2}, true, true, 1u << 4, 1u << 1},
        {"WPA version only", {1, 0}, false, true, 1u << 2, 1u << 1},
        {"WPA group only", {1, 0, 0x00, 0x50, 0xf2, 4}, false, true, 1u << 2, 1u << 1},
        // A vendor cipher and a vendor AKM next to standard ones are not counted.
        {"other OUIs",
         {1, 0, 0x00, 0x0f, 0xac, 4, 2, 0, 0x00, 0x0f, 0xac, 4, 0x00, 0x10, 0x18, 9, 1, 0, 0x00, 0x10, 0x18, 2},
         true, true, 1u << 4, 0},
        {"empty", {}, true, false},
        {"half a version", {1}, true, false},
        {"version 2", {2, 0}, true, false},
        {"partial group suite", {1, 0, 0x00, 0x0f}, true, false},
        {"half a pairwise count", {1, 0, 0x00, 0x0f, 0xac, 4, 1}, true, false},
        {"pairwise count past the end", {1, 0, 0x00, 0x0f, 0xac, 4, 2, 0, 0x00, 0x0f, 0xac, 4}, true, false},
        {"huge pairwise count", {1, 0, 0x00, 0x0f, 0xac, 4, 0xff, 0xff, 0x00, 0x0f, 0xac, 4}, true, false},
        {"AKM count past the end",
         {1, 0, 0x00, 0x0f, 0xac, 4, 1, 0, 0x00, 0x0f, 0xac, 4, 3, 0, 0x00, 0x0f, 0xac, 2}, true, false},
    };
    for (const Case& c : cases) {
        const auto exact = ExactCopy(c.body);
        const auto sets = c.rsn ? wlanlinux::ParseRsnBody(exact.get(), c.body.size())
                                : wlanlinux::ParseWpaBody(exact.get(), c.body.size());
        ASSERT_EQ(sets.has_value(), c.parsed) << c.name;
        if (!sets) continue;
        EXPECT_EQ(sets->pairwise, c.pairwise) << c.name;
        EXPECT_EQ(sets->akms, c.akms) << c.name;
    }
}
