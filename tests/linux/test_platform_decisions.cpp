// What the platform reports of a BSS, decided from its elements: the default
// authentication and cipher, and the PHY types.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "test_builders.h"
#include "wlan/linux/ieee80211/information_elements.h"
#include "wlan/linux/ieee80211/suite_selectors.h"
#include "wlan/linux/platform/phy_types.h"
#include "wlan/linux/platform/security_decision.h"

using namespace testing_support;

// Open and WEP networks, without suite elements: the scripted kernel's report.
TEST(DecideSecurity, FromPrivacyAndSuiteElements) {
    using namespace wlanlinux;
    // An RSN element of a version no one knows.
    const Bytes brokenRsn = Ie(48, {2, 0, 0x00, 0x0f, 0xac, kCipherCcmp});
    struct Case {
        const char* name;
        Bytes ies;
        DOT11_AUTH_ALGORITHM auth;
        DOT11_CIPHER_ALGORITHM cipher;
        bool sae = true;  // the adapter can authenticate with SAE
        bool privacy = true;
    };
    const auto akms = [](const Bytes& list) { return Rsn(kCipherCcmp, {kCipherCcmp}, list); };
    const auto psk = [](const Bytes& pairwise) { return Rsn(kCipherCcmp, pairwise, {kAkmPsk}); };
    const auto rsna = DOT11_AUTH_ALGO_RSNA, rsnaPsk = DOT11_AUTH_ALGO_RSNA_PSK, wpa3Sae = DOT11_AUTH_ALGO_WPA3_SAE;
    const auto ccmp = DOT11_CIPHER_ALGO_CCMP, tkip = DOT11_CIPHER_ALGO_TKIP;
    const Case cases[] = {
        // AKMs alone that no row below implies.
        {"FT-802.1X", akms({kAkmFt8021X}), rsna, ccmp},
        {"FT-PSK", akms({kAkmFtPsk}), rsnaPsk, ccmp},
        {"802.1X-SHA256", akms({kAkm8021XSha256}), rsna, ccmp},
        {"PSK-SHA256", akms({kAkmPskSha256}), rsnaPsk, ccmp},
        {"WPA 802.1X", Wpa(kCipherTkip, {kCipherTkip}, {kAkm8021X}), DOT11_AUTH_ALGO_WPA, tkip},
        // Several AKMs: what a first connection uses.
        {"transition, adapter with SAE", akms({kAkmPsk, kAkmSae}), wpa3Sae, ccmp},
        {"transition, adapter without SAE", akms({kAkmPsk, kAkmSae}), rsnaPsk, ccmp, false},
        {"SAE only, adapter without SAE", akms({kAkmSae}), wpa3Sae, ccmp, false},
        {"SAE and 802.1X, adapter without SAE", akms({kAkmSae, kAkm8021X}), rsna, ccmp, false},
        {"OWE before PSK", akms({kAkmPsk, kAkmOwe}), DOT11_AUTH_ALGO_OWE, ccmp},
        {"802.1X before PSK", akms({kAkmPsk, kAkm8021X}), rsna, ccmp},
        {"192-bit before plain 802.1X", akms({kAkm8021X, kAkmSuiteB192}), DOT11_AUTH_ALGO_WPA3, ccmp},
        {"SAE before OWE", akms({kAkmOwe, kAkmSaeExtKey}), wpa3Sae, ccmp},
        {"unknown AKMs only", akms({7, 30}), rsna, ccmp},
        // The strongest pairwise cipher: each over the next weaker one.
        {"GCMP-256 over CCMP", psk({kCipherCcmp, kCipherGcmp256}), rsnaPsk, DOT11_CIPHER_ALGO_GCMP_256},
        {"CCMP-256 over GCMP", psk({kCipherGcmp, kCipherCcmp256}), rsnaPsk, DOT11_CIPHER_ALGO_CCMP_256},
        {"GCMP over CCMP", psk({kCipherCcmp, kCipherGcmp}), rsnaPsk, DOT11_CIPHER_ALGO_GCMP},
        {"CCMP over TKIP", psk({kCipherTkip, kCipherCcmp}), rsnaPsk, ccmp},
        {"TKIP over WEP-40", psk({kCipherWep40, kCipherTkip}), rsnaPsk, tkip},
        {"WEP-104 over WEP-40", psk({kCipherWep40, kCipherWep104}), rsnaPsk, DOT11_CIPHER_ALGO_WEP104},
        {"use the group cipher", Rsn(kCipherTkip, {kCipherUseGroup}, {kAkmPsk}), rsnaPsk, tkip},
        // RSN before WPA; WPA/WPA2 mixed: WPA offers TKIP and CCMP, RSN offers CCMP.
        {"mixed",
         Join({Wpa(kCipherTkip, {kCipherTkip, kCipherCcmp}, {kAkmPsk}), Rsn(kCipherTkip, {kCipherCcmp}, {kAkmPsk})}),
         rsnaPsk, ccmp},
        {"broken RSN leaves WPA to decide", Join({brokenRsn, Wpa(kCipherTkip, {kCipherTkip}, {kAkmPsk})}),
         DOT11_AUTH_ALGO_WPA_PSK, tkip},
        {"broken RSN alone still secures", brokenRsn, DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE, true, false},
    };
    for (const Case& c : cases) {
        const SecuritySettings s = DecideSecurity(c.privacy, Summarize(c.ies), c.sae);
        EXPECT_EQ(std::tuple(s.enabled, s.auth, s.cipher), std::tuple(true, c.auth, c.cipher)) << c.name;
    }
    EXPECT_EQ(DecideSecurity(false, Summarize(Ssid("open")), true).pairwiseCiphers, 0u);
}

// 11b and 11g with 11n at 2.4 GHz: the scripted kernel's report.
TEST(ListPhyTypes, ByBandRatesAndCapabilities) {
    const std::tuple<const char*, std::uint32_t, Bytes, std::vector<DOT11_PHY_TYPE>> cases[] = {
        {"OFDM only at 2.4 GHz", 2484, OfdmRates(), {dot11_phy_type_erp}},
        {"11ax at 5 GHz", 5200, Join({OfdmRates(), HtCapabilities(), VhtCapabilities(), HeCapabilities()}),
         {dot11_phy_type_ofdm, dot11_phy_type_ht, dot11_phy_type_vht, dot11_phy_type_he}},
        {"6 GHz implies HE", 5955, OfdmRates(), {dot11_phy_type_ofdm, dot11_phy_type_he}},
        {"11be at 6 GHz", 6115, Join({OfdmRates(), HeCapabilities(), EhtCapabilities()}),
         {dot11_phy_type_ofdm, dot11_phy_type_he, dot11_phy_type_eht}},
        {"60 GHz", 58320, {}, {dot11_phy_type_dmg}},
        {"no rates at 2.4 GHz", 2412, HtCapabilities(), {dot11_phy_type_ht}},
        {"unknown band", 0, HtCapabilities(), {dot11_phy_type_ht}},
    };
    for (const auto& [name, mhz, bytes, expected] : cases) {
        DOT11_PHY_TYPE types[WLAN_MAX_PHY_TYPE_NUMBER] = {};
        const std::size_t count = wlanlinux::ListPhyTypes(mhz, Summarize(bytes), types);
        EXPECT_EQ(std::vector<DOT11_PHY_TYPE>(types, types + count), expected) << name;
    }
}
