#include <gtest/gtest.h>

#include "test_builders.h"
#include "wlan/linux/information_elements.h"
#include "wlan/linux/security_suites.h"

using namespace testing_support;
using wlanlinux::DecideSecurity;
using wlanlinux::SecuritySettings;
using wlanlinux::SuiteError;

namespace {

SecuritySettings Decide(bool privacy, const Bytes& bytes, bool sae = true) {
    const auto exact = ExactCopy(bytes);
    return DecideSecurity(privacy, wlanlinux::SummarizeElements(exact.get(), bytes.size()), sae);
}

constexpr std::uint8_t kCcmp = 4;
constexpr std::uint8_t kTkip = 2;

}  // namespace

TEST(DecideSecurity, EachRsnAkm) {
    struct Case {
        std::uint8_t akm;
        DOT11_AUTH_ALGORITHM auth;
    };
    const Case cases[] = {
        {1, DOT11_AUTH_ALGO_RSNA},      {2, DOT11_AUTH_ALGO_RSNA_PSK}, {3, DOT11_AUTH_ALGO_RSNA},
        {4, DOT11_AUTH_ALGO_RSNA_PSK},  {5, DOT11_AUTH_ALGO_RSNA},     {6, DOT11_AUTH_ALGO_RSNA_PSK},
        {8, DOT11_AUTH_ALGO_WPA3_SAE},  {12, DOT11_AUTH_ALGO_WPA3},    {18, DOT11_AUTH_ALGO_OWE},
        {24, DOT11_AUTH_ALGO_WPA3_SAE},
    };
    for (const Case& c : cases) {
        const SecuritySettings settings = Decide(true, Rsn(kCcmp, {kCcmp}, {c.akm}));
        EXPECT_TRUE(settings.enabled) << int{c.akm};
        EXPECT_EQ(settings.auth, c.auth) << int{c.akm};
        EXPECT_EQ(settings.cipher, DOT11_CIPHER_ALGO_CCMP) << int{c.akm};
    }
}

TEST(DecideSecurity, EachWpaAkm) {
    EXPECT_EQ(Decide(true, Wpa(kTkip, {kTkip}, {1})).auth, DOT11_AUTH_ALGO_WPA);
    EXPECT_EQ(Decide(true, Wpa(kTkip, {kTkip}, {2})).auth, DOT11_AUTH_ALGO_WPA_PSK);
    EXPECT_EQ(Decide(true, Wpa(kTkip, {kTkip}, {2})).cipher, DOT11_CIPHER_ALGO_TKIP);
}

TEST(DecideSecurity, StrongestPairwiseCipher) {
    struct Case {
        Bytes pairwise;
        DOT11_CIPHER_ALGORITHM cipher;
    };
    const Case cases[] = {
        {{9}, DOT11_CIPHER_ALGO_GCMP_256}, {{10}, DOT11_CIPHER_ALGO_CCMP_256},
        {{8}, DOT11_CIPHER_ALGO_GCMP},     {{4}, DOT11_CIPHER_ALGO_CCMP},
        {{2}, DOT11_CIPHER_ALGO_TKIP},     {{5}, DOT11_CIPHER_ALGO_WEP104},
        {{1}, DOT11_CIPHER_ALGO_WEP40},    {{4, 9}, DOT11_CIPHER_ALGO_GCMP_256},
        {{8, 10}, DOT11_CIPHER_ALGO_CCMP_256}, {{4, 8}, DOT11_CIPHER_ALGO_GCMP},
        {{2, 4}, DOT11_CIPHER_ALGO_CCMP},  {{1, 2}, DOT11_CIPHER_ALGO_TKIP},
        {{1, 5}, DOT11_CIPHER_ALGO_WEP104},
        {{0}, DOT11_CIPHER_ALGO_CCMP},  // use the group cipher (CCMP here)
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decide(true, Rsn(kCcmp, c.pairwise, {2})).cipher, c.cipher)
            << int{c.pairwise[0]};
}

TEST(DecideSecurity, SeveralAkmsTakeWhatAFirstConnectionUses) {
    struct Case {
        const char* name;
        Bytes akms;
        bool sae;
        DOT11_AUTH_ALGORITHM auth;
    };
    const Case cases[] = {
        {"transition, adapter with SAE", {2, 8}, true, DOT11_AUTH_ALGO_WPA3_SAE},
        {"transition, adapter without SAE", {2, 8}, false, DOT11_AUTH_ALGO_RSNA_PSK},
        {"SAE only, adapter without SAE", {8}, false, DOT11_AUTH_ALGO_WPA3_SAE},
        {"SAE and 802.1X, adapter without SAE", {8, 1}, false, DOT11_AUTH_ALGO_RSNA},
        {"OWE before PSK", {2, 18}, true, DOT11_AUTH_ALGO_OWE},
        {"802.1X before PSK", {2, 1}, true, DOT11_AUTH_ALGO_RSNA},
        {"192-bit before plain 802.1X", {1, 12}, true, DOT11_AUTH_ALGO_WPA3},
        {"SAE before OWE", {18, 24}, true, DOT11_AUTH_ALGO_WPA3_SAE},
        {"unknown suites only", {7, 30}, true, DOT11_AUTH_ALGO_RSNA},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Decide(true, Rsn(kCcmp, {kCcmp}, c.akms), c.sae).auth, c.auth) << c.name;
}

TEST(DecideSecurity, WithoutSuiteElements) {
    const SecuritySettings wep = Decide(true, Ssid("wep"));
    EXPECT_TRUE(wep.enabled);
    EXPECT_EQ(wep.auth, DOT11_AUTH_ALGO_80211_OPEN);
    EXPECT_EQ(wep.cipher, DOT11_CIPHER_ALGO_WEP);

    const SecuritySettings open = Decide(false, Ssid("open"));
    EXPECT_FALSE(open.enabled);
    EXPECT_EQ(open.auth, DOT11_AUTH_ALGO_80211_OPEN);
    EXPECT_EQ(open.cipher, DOT11_CIPHER_ALGO_NONE);
    EXPECT_EQ(open.pairwiseCiphers, 0u);
}

TEST(DecideSecurity, RsnIsPreferredOverWpa) {
    // WPA/WPA2 mixed: WPA offers TKIP and CCMP, RSN offers CCMP.
    const SecuritySettings mixed =
        Decide(true, Join({Wpa(kTkip, {kTkip, kCcmp}, {2}), Rsn(kTkip, {kCcmp}, {2})}));
    EXPECT_EQ(mixed.auth, DOT11_AUTH_ALGO_RSNA_PSK);
    EXPECT_EQ(mixed.cipher, DOT11_CIPHER_ALGO_CCMP);

    // A broken RSN element leaves the WPA element to decide.
    const Bytes brokenRsn = Ie(48, {2, 0, 0x00, 0x0f, 0xac, 4});
    const SecuritySettings fallback = Decide(true, Join({brokenRsn, Wpa(kTkip, {kTkip}, {2})}));
    EXPECT_EQ(fallback.auth, DOT11_AUTH_ALGO_WPA_PSK);
    EXPECT_EQ(fallback.cipher, DOT11_CIPHER_ALGO_TKIP);

    // Broken alone, it still marks the network as secured.
    EXPECT_TRUE(Decide(false, brokenRsn).enabled);
}

TEST(ParseSuites, AbsentTrailingPartsTakeDefaults) {
    struct Case {
        const char* name;
        Bytes body;
        bool rsn;
        std::uint32_t pairwise;
        std::uint32_t akms;
    };
    const Bytes rsnGroup = {1, 0, 0x00, 0x0f, 0xac, 2};
    const Bytes wpaGroup = {1, 0, 0x00, 0x50, 0xf2, 4};
    const Case cases[] = {
        {"RSN version only", {1, 0}, true, 1u << 4, 1u << 1},
        {"RSN group only", rsnGroup, true, 1u << 4, 1u << 1},
        {"WPA version only", {1, 0}, false, 1u << 2, 1u << 1},
        {"WPA group only", wpaGroup, false, 1u << 2, 1u << 1},
    };
    for (const Case& c : cases) {
        const auto exact = ExactCopy(c.body);
        const auto sets = c.rsn ? wlanlinux::ParseRsnBody(exact.get(), c.body.size())
                                : wlanlinux::ParseWpaBody(exact.get(), c.body.size());
        ASSERT_TRUE(sets.has_value()) << c.name;
        EXPECT_EQ(sets->pairwise, c.pairwise) << c.name;
        EXPECT_EQ(sets->akms, c.akms) << c.name;
    }
}

TEST(ParseSuites, MalformedBodiesAreRejected) {
    struct Case {
        const char* name;
        Bytes body;
        SuiteError error;
    };
    const Case cases[] = {
        {"empty", {}, SuiteError::TooShort},
        {"half a version", {1}, SuiteError::TooShort},
        {"version 2", {2, 0}, SuiteError::BadVersion},
        {"partial group suite", {1, 0, 0x00, 0x0f}, SuiteError::TooShort},
        {"half a pairwise count", {1, 0, 0x00, 0x0f, 0xac, 4, 1}, SuiteError::CountOverrun},
        {"pairwise count past the end", {1, 0, 0x00, 0x0f, 0xac, 4, 2, 0, 0x00, 0x0f, 0xac, 4},
         SuiteError::CountOverrun},
        {"huge pairwise count", {1, 0, 0x00, 0x0f, 0xac, 4, 0xff, 0xff, 0x00, 0x0f, 0xac, 4},
         SuiteError::CountOverrun},
        {"AKM count past the end",
         {1, 0, 0x00, 0x0f, 0xac, 4, 1, 0, 0x00, 0x0f, 0xac, 4, 3, 0, 0x00, 0x0f, 0xac, 2},
         SuiteError::CountOverrun},
    };
    for (const Case& c : cases) {
        const auto exact = ExactCopy(c.body);
        SuiteError error = SuiteError::None;
        EXPECT_FALSE(wlanlinux::ParseRsnBody(exact.get(), c.body.size(), &error).has_value())
            << c.name;
        EXPECT_EQ(error, c.error) << c.name;
    }
}

TEST(ParseSuites, OtherOuisAreNotCounted) {
    // A vendor cipher and a vendor AKM next to standard ones.
    const Bytes body = {1, 0, 0x00, 0x0f, 0xac, 4, 2, 0, 0x00, 0x0f, 0xac, 4, 0x00, 0x10, 0x18, 9,
                        1, 0, 0x00, 0x10, 0x18, 2};
    const auto exact = ExactCopy(body);
    const auto sets = wlanlinux::ParseRsnBody(exact.get(), body.size());
    ASSERT_TRUE(sets.has_value());
    EXPECT_EQ(sets->pairwise, 1u << 4);
    EXPECT_EQ(sets->akms, 0u);
    EXPECT_TRUE(sets->akmListed);
}
