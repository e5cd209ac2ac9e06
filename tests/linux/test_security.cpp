#include <gtest/gtest.h>

#include <tuple>

#include "test_builders.h"
#include "wlan/linux/ieee80211/security_suites.h"

using namespace testing_support;

TEST(ParseSuites, DefaultsMalformedBodiesAndOtherOuis) {
    struct Case {
        const char* name;
        Bytes body;
        bool rsn, parsed;
        std::uint32_t pairwise = 0, akms = 0, group = 0;  // the group checked when not 0
    };
    const Case cases[] = {
        // Absent trailing parts take their defaults.
        {"RSN version only", {1, 0}, true, true, 1u << 4, 1u << 1},
        {"RSN group only", {1, 0, 0x00, 0x0f, 0xac, 2}, true, true, 1u << 4, 1u << 1, 1u << 2},
        {"WPA version only", {1, 0}, false, true, 1u << 2, 1u << 1},
        // The standard's RSNE examples, their bodies after element ID and length.
        {"example: 802.1X, CCMP-128 pairwise and group",
         FromHex("0100000fac040100000fac040100000fac010000"), true, true, 1u << 4, 1u << 1, 1u << 4},
        {"example: 802.1X, CCMP-128, preauthentication",
         FromHex("0100000fac040100000fac040100000fac010100"), true, true, 1u << 4, 1u << 1, 1u << 4},
        {"example: 802.1X, the group cipher as pairwise, WEP-40 group, no capabilities field",
         FromHex("0100000fac010100000fac000100000fac01"), true, true, 1u << 0, 1u << 1, 1u << 1},
        {"example: 802.1X, CCMP-128, preauthentication, one PMKID",
         FromHex("0100000fac040100000fac040100000fac0101000100"
                 "0102030405060708090a0b0c0d0e0f10"), true, true, 1u << 4, 1u << 1, 1u << 4},
        {"example: 802.1X, CCMP-128, management frame protection with BIP-CMAC-128",
         FromHex("0100000fac040100000fac040100000fac01800000000000fac06"), true, true, 1u << 4,
         1u << 1, 1u << 4},
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
        const wlanlinux::SuiteSets got = sets.value_or(wlanlinux::SuiteSets{});
        EXPECT_EQ(std::tuple(sets.has_value(), got.pairwise, got.akms, c.group != 0 ? got.group : 0u),
                  std::tuple(c.parsed, c.pairwise, c.akms, c.group)) << c.name;
    }
}
