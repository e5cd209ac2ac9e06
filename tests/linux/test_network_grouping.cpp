#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

#include "wlan/linux/platform/network_grouping.h"

using wlanlinux::AddToNetworks;
using BssRecord = wlanlinux::ReportedBss;

namespace {

BssRecord Bss(const char* ssid, WLAN_SIGNAL_QUALITY quality,
              std::vector<DOT11_PHY_TYPE> phys = {dot11_phy_type_erp, dot11_phy_type_ht}) {
    BssRecord bss;
    bss.ssid.uSSIDLength = static_cast<ULONG>(std::strlen(ssid));
    std::memcpy(bss.ssid.ucSSID, ssid, bss.ssid.uSSIDLength);
    bss.quality = quality;
    bss.phyTypeCount = phys.size();
    for (std::size_t i = 0; i != phys.size(); ++i) bss.phyTypes[i] = phys[i];
    bss.security = {.enabled = true, .auth = DOT11_AUTH_ALGO_RSNA_PSK, .cipher = DOT11_CIPHER_ALGO_CCMP};
    return bss;
}

std::vector<WLAN_AVAILABLE_NETWORK> Group(const std::vector<BssRecord>& entries,
                                          const wlanlinux::AdapterCapabilities* adapter = nullptr) {
    std::vector<WLAN_AVAILABLE_NETWORK> networks;
    for (const BssRecord& bss : entries) AddToNetworks(networks, bss, adapter);
    return networks;
}

}  // namespace

TEST(NetworkGrouping, AccessPointsOfOneNetworkMerge) {
    BssRecord fiveGhz = Bss("home", 40, {dot11_phy_type_ofdm, dot11_phy_type_ht, dot11_phy_type_vht});
    fiveGhz.connected = true;
    const auto networks = Group({Bss("home", 30), fiveGhz, Bss("home", 90)});
    ASSERT_EQ(networks.size(), 1u);
    const WLAN_AVAILABLE_NETWORK& n = networks[0];
    EXPECT_EQ(std::vector(n.dot11PhyTypes, n.dot11PhyTypes + n.uNumberOfPhyTypes),
              (std::vector{dot11_phy_type_erp, dot11_phy_type_ht, dot11_phy_type_ofdm, dot11_phy_type_vht}));
    EXPECT_EQ(std::tuple(n.uNumberOfBssids, n.wlanSignalQuality, n.bMorePhyTypes, n.dwFlags, n.dwReserved,
                         n.strProfileName[0], n.bNetworkConnectable, n.wlanNotConnectableReason),
              std::tuple(3u, 90u, 0, WLAN_AVAILABLE_NETWORK_CONNECTED, 0u, u'\0', 1, WLAN_REASON_CODE_SUCCESS));
}

TEST(NetworkGrouping, DifferentSsidTypeOrSecurityMakeDifferentNetworks) {
    BssRecord otherAuth = Bss("home", 50);
    otherAuth.security.auth = DOT11_AUTH_ALGO_WPA3_SAE;
    BssRecord otherCipher = Bss("home", 50);
    otherCipher.security.cipher = DOT11_CIPHER_ALGO_TKIP;
    BssRecord adHoc = Bss("home", 50);
    adHoc.type = dot11_BSS_type_independent;
    BssRecord open = Bss("home", 50);
    open.security = {};
    wlanlinux::BssRecord nulFacts;  // an SSID element of 12 NUL bytes: hidden as an empty one
    nulFacts.elements.ssid = {{}, 12, true};
    BssRecord zeros = Bss("", 50);
    zeros.ssid = wlanlinux::DecideBss(nulFacts, nullptr).ssid;
    const auto networks = Group({Bss("home", 50), otherAuth, otherCipher, adHoc, open, Bss("", 50), zeros,
                                 Bss("hom", 50), Bss("home", 20), Bss("", 10)});
    ASSERT_EQ(networks.size(), 7u);
    EXPECT_EQ(networks[0].uNumberOfBssids, 2u);  // the two plain "home" entries
    EXPECT_EQ(networks[5].uNumberOfBssids, 3u);  // the three hidden entries
    EXPECT_EQ(networks[5].dot11Ssid.uSSIDLength, 0u);
    EXPECT_EQ(networks[6].dot11Ssid.uSSIDLength, 3u);
    EXPECT_EQ(networks[3].dot11BssType, dot11_BSS_type_independent);
    EXPECT_EQ(networks[4].bSecurityEnabled, 0);
    EXPECT_EQ(networks[4].dot11DefaultCipherAlgorithm, DOT11_CIPHER_ALGO_NONE);
}

// A network whose one access point the adapter cannot join: the scripted kernel's report.
TEST(NetworkGrouping, ConnectableWhenAnyAccessPointIsAndPhyTypesUpToEight) {
    const wlanlinux::AdapterCapabilities ccmpOnly{.cipherListKnown = true, .ciphers = 1u << 4};
    BssRecord blocked = Bss("net", 50);
    blocked.security.pairwiseCiphers = 1u << 2;  // TKIP only
    const BssRecord five = Bss("net", 50, {dot11_phy_type_hrdsss, dot11_phy_type_erp, dot11_phy_type_ofdm,
                                           dot11_phy_type_ht, dot11_phy_type_vht});
    const BssRecord threeNew = Bss("net", 50, {dot11_phy_type_he, dot11_phy_type_eht,
                                               dot11_phy_type_dmg, dot11_phy_type_ht});
    // The BSS entries, then how many PHY types the network lists and whether it has more.
    const std::tuple<const char*, std::vector<BssRecord>, ULONG, BOOL> cases[] = {
        {"blocked, then one to join", {blocked, Bss("net", 40)}, 2, 0},
        {"one to join, then blocked", {Bss("net", 40), blocked}, 2, 0},
        {"eight PHY types", {five, threeNew}, 8, 0},
        {"a ninth", {five, threeNew, Bss("net", 50, {dot11_phy_type_IHV_start})}, 8, 1},
    };
    for (const auto& [name, entries, phyTypes, more] : cases) {
        const auto networks = Group(entries, &ccmpOnly);
        ASSERT_EQ(networks.size(), 1u) << name;
        const WLAN_AVAILABLE_NETWORK& n = networks[0];
        EXPECT_EQ(std::tuple(n.bNetworkConnectable, n.wlanNotConnectableReason, n.uNumberOfPhyTypes, n.bMorePhyTypes),
                  std::tuple(BOOL{1}, WLAN_REASON_CODE{WLAN_REASON_CODE_SUCCESS}, phyTypes, more))
            << name;
    }
}
