#include <gtest/gtest.h>
#include <linux/nl80211.h>

#include <optional>

#include "test_builders.h"
#include "wlan/linux/nl80211_interfaces.h"
#include "wlan/linux/nl80211_scan.h"
#include "wlan/linux/wiphy_capabilities.h"

using namespace testing_support;
using wlanlinux::AdapterCapabilities;
using wlanlinux::BssRecord;
using wlanlinux::ParseScanMessage;
using wlanlinux::StationProgress;

namespace {

constexpr std::uint16_t kOpen = 0x0401;     // ESS, short slot time
constexpr std::uint16_t kSecured = 0x0411;  // and privacy
constexpr std::uint16_t kAdHoc = 0x0002;

struct Bss {
    std::uint16_t capability = kOpen;
    Bytes ies = Ssid("net");
    std::uint32_t frequency = 2412;
    std::optional<std::int32_t> mbm = -5000;
    std::optional<std::uint8_t> unspec;
    std::optional<std::uint32_t> status;
    bool beaconOnly = false;  // elements only in NL80211_BSS_BEACON_IES
};

Bytes ScanMessage(const Bss& bss) {
    GenlMessage message(NL80211_CMD_NEW_SCAN_RESULTS);
    nlmsghdr* header = message.get();
    mnl_attr_put_u32(header, NL80211_ATTR_IFINDEX, 3);
    nlattr* nest = mnl_attr_nest_start(header, NL80211_ATTR_BSS);
    const std::uint8_t bssid[6] = {2, 0, 0, 0, 1, 0};
    mnl_attr_put(header, NL80211_BSS_BSSID, sizeof bssid, bssid);
    mnl_attr_put_u32(header, NL80211_BSS_FREQUENCY, bss.frequency);
    mnl_attr_put_u16(header, NL80211_BSS_CAPABILITY, bss.capability);
    mnl_attr_put(header, bss.beaconOnly ? NL80211_BSS_BEACON_IES : NL80211_BSS_INFORMATION_ELEMENTS,
                 bss.ies.size(), bss.ies.data());
    if (bss.mbm) mnl_attr_put_u32(header, NL80211_BSS_SIGNAL_MBM, static_cast<std::uint32_t>(*bss.mbm));
    if (bss.unspec) mnl_attr_put_u8(header, NL80211_BSS_SIGNAL_UNSPEC, *bss.unspec);
    if (bss.status) mnl_attr_put_u32(header, NL80211_BSS_STATUS, *bss.status);
    mnl_attr_nest_end(header, nest);
    return message.Raw();
}

std::optional<BssRecord> Parse(const Bytes& raw, const AdapterCapabilities* adapter = nullptr) {
    const auto exact = ExactCopy(raw);
    return ParseScanMessage(AsMessage(exact), adapter);
}

std::optional<BssRecord> Parse(const Bss& bss, const AdapterCapabilities* adapter = nullptr) {
    return Parse(ScanMessage(bss), adapter);
}

}  // namespace

TEST(ScanMessage, SignalQuality) {
    struct Case {
        std::optional<std::int32_t> mbm;
        std::optional<std::uint8_t> unspec;
        WLAN_SIGNAL_QUALITY quality;
    };
    const Case cases[] = {
        {-11000, {}, 0}, {-10000, {}, 0}, {-7500, {}, 50}, {-5000, {}, 100}, {-2000, {}, 100},
        {-9999, {}, 0},  {-9950, {}, 1}, {INT32_MIN, {}, 0}, {INT32_MAX, {}, 100},
        {{}, 60, 60},    {{}, 200, 100}, {{}, {}, 0},
        {-7500, 10, 50},  // the dBm value wins
    };
    for (const Case& c : cases) {
        Bss bss;
        bss.mbm = c.mbm;
        bss.unspec = c.unspec;
        const auto record = Parse(bss);
        ASSERT_TRUE(record.has_value());
        EXPECT_EQ(record->quality, c.quality) << c.mbm.value_or(0) << " " << int{c.unspec.value_or(0)};
    }
}

TEST(ScanMessage, BssTypeFromTheCapabilityField) {
    struct Case {
        std::uint16_t capability;
        std::optional<DOT11_BSS_TYPE> type;
    };
    const Case cases[] = {
        {kOpen, dot11_BSS_type_infrastructure},
        {kAdHoc, dot11_BSS_type_independent},
        {0x0003, dot11_BSS_type_infrastructure},
        {0x0400, std::nullopt},  // neither: a mesh or PBSS
    };
    for (const Case& c : cases) {
        Bss bss;
        bss.capability = c.capability;
        const auto record = Parse(bss);
        ASSERT_EQ(record.has_value(), c.type.has_value()) << c.capability;
        if (record) {
            EXPECT_EQ(record->type, *c.type) << c.capability;
        }
    }
}

TEST(ScanMessage, SsidAsTheAirGivesIt) {
    struct Case {
        const char* name;
        Bytes ies;
        bool beaconOnly;
        Bytes ssid;
    };
    const Case cases[] = {
        {"named", Join({Ssid("café"), DsssRates()}), false, Bytes{'c', 'a', 'f', 0xc3, 0xa9}},
        {"hidden, empty", Ie(0, {}), false, {}},
        {"hidden, zeros", Ie(0, Bytes(9, 0)), false, Bytes(9, 0)},
        {"no elements", {}, false, {}},
        {"beacon elements only", Ssid("b"), true, Bytes{'b'}},
        {"oversized SSID element", Ie(0, Bytes(40, 'x')), false, {}},
    };
    for (const Case& c : cases) {
        Bss bss;
        bss.ies = c.ies;
        bss.beaconOnly = c.beaconOnly;
        const auto record = Parse(bss);
        ASSERT_TRUE(record.has_value()) << c.name;
        EXPECT_EQ(Bytes(record->ssid.ucSSID, record->ssid.ucSSID + record->ssid.uSSIDLength), c.ssid)
            << c.name;
    }
}

TEST(ScanMessage, ConnectedFromTheBssStatus) {
    struct Case {
        std::optional<std::uint32_t> status;
        bool connected;
    };
    const Case cases[] = {
        {std::nullopt, false},
        {NL80211_BSS_STATUS_AUTHENTICATED, false},
        {NL80211_BSS_STATUS_ASSOCIATED, true},
        {NL80211_BSS_STATUS_IBSS_JOINED, true},
    };
    for (const Case& c : cases) {
        Bss bss;
        bss.status = c.status;
        EXPECT_EQ(Parse(bss)->connected, c.connected) << c.status.value_or(99);
    }
}

TEST(ScanMessage, SecurityAndPhyTypes) {
    Bss bss;
    bss.capability = kSecured;
    bss.frequency = 5180;
    bss.ies = Join({Ssid("five"), OfdmRates(), HtCapabilities(), Rsn(4, {4}, {2, 8}),
                    VhtCapabilities(), HeCapabilities()});
    AdapterCapabilities adapter;
    adapter.sae = true;
    const auto record = Parse(bss, &adapter);
    ASSERT_TRUE(record.has_value());
    EXPECT_TRUE(record->security.enabled);
    EXPECT_EQ(record->security.auth, DOT11_AUTH_ALGO_WPA3_SAE);
    EXPECT_EQ(record->security.cipher, DOT11_CIPHER_ALGO_CCMP);
    const std::vector<DOT11_PHY_TYPE> expected = {dot11_phy_type_ofdm, dot11_phy_type_ht,
                                                  dot11_phy_type_vht, dot11_phy_type_he};
    EXPECT_EQ(std::vector<DOT11_PHY_TYPE>(record->phyTypes, record->phyTypes + record->phyTypeCount),
              expected);
    adapter.sae = false;
    EXPECT_EQ(Parse(bss, &adapter)->security.auth, DOT11_AUTH_ALGO_RSNA_PSK);
}

TEST(ScanMessage, ConnectableWhenTheAdapterCanJoin) {
    AdapterCapabilities ccmpOnly;
    ccmpOnly.cipherListKnown = true;
    ccmpOnly.ciphers = 1u << 4;
    AdapterCapabilities withWep = ccmpOnly;
    withWep.ciphers |= 1u << 1;
    AdapterCapabilities withIbss = ccmpOnly;
    withIbss.ibss = true;
    AdapterCapabilities unknownCiphers;
    unknownCiphers.ibss = true;

    struct Case {
        const char* name;
        std::uint16_t capability;
        Bytes ies;
        const AdapterCapabilities* adapter;
        bool connectable;
    };
    const Case cases[] = {
        {"CCMP network, CCMP adapter", kSecured, Rsn(4, {4}, {2}), &ccmpOnly, true},
        {"TKIP network, CCMP adapter", kSecured, Wpa(2, {2}, {2}), &ccmpOnly, false},
        {"TKIP or CCMP, CCMP adapter", kSecured, Wpa(2, {2, 4}, {2}), &ccmpOnly, true},
        {"GCMP-256 network, CCMP adapter", kSecured, Rsn(9, {9}, {8}), &ccmpOnly, false},
        {"WEP network, CCMP adapter", kSecured, {}, &ccmpOnly, false},
        {"WEP network, WEP adapter", kSecured, {}, &withWep, true},
        {"open network", kOpen, {}, &ccmpOnly, true},
        {"ad hoc, adapter without IBSS", kAdHoc, {}, &ccmpOnly, false},
        {"ad hoc, adapter with IBSS", kAdHoc, {}, &withIbss, true},
        {"cipher list unknown", kSecured, Rsn(9, {9}, {8}), &unknownCiphers, true},
        {"adapter unknown", kAdHoc | 0x10, Rsn(9, {9}, {8}), nullptr, true},
    };
    for (const Case& c : cases) {
        Bss bss;
        bss.capability = c.capability;
        bss.ies = c.ies;
        EXPECT_EQ(Parse(bss, c.adapter)->connectable, c.connectable) << c.name;
    }
}

TEST(ScanMessage, MalformedAttributesAreIgnored) {
    // A capability of the wrong size leaves the BSS without a type.
    GenlMessage badCapability(NL80211_CMD_NEW_SCAN_RESULTS);
    nlattr* nest = mnl_attr_nest_start(badCapability.get(), NL80211_ATTR_BSS);
    mnl_attr_put_u8(badCapability.get(), NL80211_BSS_CAPABILITY, 1);
    mnl_attr_nest_end(badCapability.get(), nest);
    EXPECT_FALSE(Parse(badCapability.Raw()).has_value());

    // A signal of the wrong size is no signal.
    GenlMessage badSignal(NL80211_CMD_NEW_SCAN_RESULTS);
    nest = mnl_attr_nest_start(badSignal.get(), NL80211_ATTR_BSS);
    mnl_attr_put_u16(badSignal.get(), NL80211_BSS_CAPABILITY, kOpen);
    mnl_attr_put_u16(badSignal.get(), NL80211_BSS_SIGNAL_MBM, 0xec78);
    mnl_attr_nest_end(badSignal.get(), nest);
    const auto record = Parse(badSignal.Raw());
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->quality, 0u);

    // No BSS nest at all.
    GenlMessage empty(NL80211_CMD_NEW_SCAN_RESULTS);
    mnl_attr_put_u32(empty.get(), NL80211_ATTR_IFINDEX, 3);
    EXPECT_FALSE(Parse(empty.Raw()).has_value());
}

TEST(ScanMessage, TruncationNeverReadsPastTheMessage) {
    // Every prefix of a real message, with nlmsg_len and the nest's length
    // still claiming the whole: parsing must stay inside the prefix.
    Bss bss;
    bss.capability = kSecured;
    bss.ies = Join({Ssid("truncate"), MixedRates(), HtCapabilities(), Rsn(4, {4}, {2})});
    const Bytes full = ScanMessage(bss);
    for (std::size_t length = 0; length < full.size(); ++length) {
        Bytes prefix(full.begin(), full.begin() + length);
        if (length >= sizeof(nlmsghdr)) {
            const auto claimed = static_cast<std::uint32_t>(length);
            std::memcpy(prefix.data(), &claimed, sizeof claimed);  // nlmsg_len fits the prefix
        }
        if (length < NLMSG_HDRLEN) continue;
        const auto exact = ExactCopy(prefix);
        (void)ParseScanMessage(AsMessage(exact), nullptr);
    }
    // The element list cut inside the RSN element: the RSN element is dropped.
    Bss cut = bss;
    cut.ies.resize(cut.ies.size() - 3);
    const auto record = Parse(cut);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->security.auth, DOT11_AUTH_ALGO_80211_OPEN);
    EXPECT_EQ(record->security.cipher, DOT11_CIPHER_ALGO_WEP);
}

namespace {

struct Netdev {
    std::optional<std::uint32_t> ifindex = 3;
    const char* name = "wlan0";
    std::optional<std::uint32_t> iftype = NL80211_IFTYPE_STATION;
    bool ssid = false;
};

std::optional<wlanlinux::WirelessInterface> ParseInterface(const Netdev& netdev) {
    GenlMessage message(NL80211_CMD_NEW_INTERFACE);
    nlmsghdr* header = message.get();
    mnl_attr_put_u32(header, NL80211_ATTR_WIPHY, 1);
    if (netdev.ifindex) mnl_attr_put_u32(header, NL80211_ATTR_IFINDEX, *netdev.ifindex);
    if (netdev.name) mnl_attr_put_strz(header, NL80211_ATTR_IFNAME, netdev.name);
    if (netdev.iftype) mnl_attr_put_u32(header, NL80211_ATTR_IFTYPE, *netdev.iftype);
    const std::uint8_t mac[6] = {2, 0, 0, 0, 0, 9};
    mnl_attr_put(header, NL80211_ATTR_MAC, sizeof mac, mac);
    mnl_attr_put_u64(header, NL80211_ATTR_WDEV, 1);
    if (netdev.ssid) mnl_attr_put(header, NL80211_ATTR_SSID, 3, "net");
    const auto exact = message.Exact();
    return wlanlinux::ParseInterfaceMessage(AsMessage(exact));
}

}  // namespace

TEST(InterfaceMessage, ListsStationAndAdHocInterfacesOnly) {
    struct Case {
        const char* name;
        Netdev netdev;
        bool listed;
    };
    const Case cases[] = {
        {"station", {}, true},
        {"ad hoc", {3, "wlan1", NL80211_IFTYPE_ADHOC}, true},
        {"access point", {3, "wlan2", NL80211_IFTYPE_AP}, false},
        {"monitor", {3, "mon0", NL80211_IFTYPE_MONITOR}, false},
        {"P2P device without index or name", {std::nullopt, nullptr, NL80211_IFTYPE_P2P_DEVICE},
         false},
        {"station without index", {std::nullopt, "wlan0"}, false},
        {"station without name", {3, nullptr}, false},
        {"station without type", {3, "wlan0", std::nullopt}, false},
        {"name longer than a device name", {3, "a-very-long-interface-name"}, false},
        {"empty name", {3, ""}, false},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseInterface(c.netdev).has_value(), c.listed) << c.name;

    const auto station = ParseInterface({3, "wlan0", NL80211_IFTYPE_STATION, true});
    ASSERT_TRUE(station.has_value());
    EXPECT_STREQ(station->name, "wlan0");
    EXPECT_EQ(station->ifindex, 3u);
    EXPECT_TRUE(station->hasWiphy);
    EXPECT_TRUE(station->hasMac);
    EXPECT_EQ(station->mac[5], 9);
    EXPECT_TRUE(station->hasSsid);
    EXPECT_FALSE(ParseInterface({})->hasSsid);
}

TEST(InterfaceState, FromTheFacts) {
    using wlanlinux::StateFacts;
    struct Case {
        const char* name;
        StateFacts facts;
        WLAN_INTERFACE_STATE state;
    };
    const Case cases[] = {
        {"down", {false, NL80211_IFTYPE_STATION, false, StationProgress::None},
         wlan_interface_state_not_ready},
        {"down though associated", {false, NL80211_IFTYPE_STATION, true, StationProgress::None},
         wlan_interface_state_not_ready},
        {"up, idle", {true, NL80211_IFTYPE_STATION, false, StationProgress::None},
         wlan_interface_state_disconnected},
        {"associated", {true, NL80211_IFTYPE_STATION, true, StationProgress::None},
         wlan_interface_state_connected},
        {"station associated, SSID not yet shown",
         {true, NL80211_IFTYPE_STATION, false, StationProgress::Associated},
         wlan_interface_state_connected},
        {"authenticating", {true, NL80211_IFTYPE_STATION, false, StationProgress::Authenticating},
         wlan_interface_state_authenticating},
        {"ad hoc joined", {true, NL80211_IFTYPE_ADHOC, true, StationProgress::None},
         wlan_interface_state_ad_hoc_network_formed},
        {"ad hoc idle", {true, NL80211_IFTYPE_ADHOC, false, StationProgress::None},
         wlan_interface_state_disconnected},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wlanlinux::DecideInterfaceState(c.facts), c.state) << c.name;
}

TEST(StationMessage, ProgressFromTheStationFlags) {
    const auto parse = [](std::optional<nl80211_sta_flag_update> flags, bool withInfo) {
        GenlMessage message(NL80211_CMD_NEW_STATION);
        mnl_attr_put_u32(message.get(), NL80211_ATTR_IFINDEX, 3);
        if (withInfo) {
            nlattr* nest = mnl_attr_nest_start(message.get(), NL80211_ATTR_STA_INFO);
            if (flags) mnl_attr_put(message.get(), NL80211_STA_INFO_STA_FLAGS, sizeof *flags, &*flags);
            mnl_attr_nest_end(message.get(), nest);
        }
        const auto exact = message.Exact();
        return wlanlinux::ParseStationMessage(AsMessage(exact));
    };
    const std::uint32_t associated = 1u << NL80211_STA_FLAG_ASSOCIATED;
    const std::uint32_t authenticated = 1u << NL80211_STA_FLAG_AUTHENTICATED;
    EXPECT_EQ(parse(std::nullopt, false), StationProgress::None);
    EXPECT_EQ(parse(std::nullopt, true), StationProgress::Authenticating);
    EXPECT_EQ(parse(nl80211_sta_flag_update{associated | authenticated, associated | authenticated}, true),
              StationProgress::Associated);
    EXPECT_EQ(parse(nl80211_sta_flag_update{associated | authenticated, authenticated}, true),
              StationProgress::Authenticating);
    EXPECT_EQ(parse(nl80211_sta_flag_update{authenticated, associated}, true),
              StationProgress::Authenticating);  // a set bit outside the mask means nothing
}

TEST(WiphyMessages, SplitMessagesMergePerWiphy) {
    std::vector<AdapterCapabilities> adapters;
    const auto merge = [&adapters](std::uint32_t wiphy, auto&& fill) {
        GenlMessage message(NL80211_CMD_NEW_WIPHY);
        mnl_attr_put_u32(message.get(), NL80211_ATTR_WIPHY, wiphy);
        fill(message.get());
        const auto exact = message.Exact();
        wlanlinux::MergeWiphyMessage(AsMessage(exact), adapters);
    };
    const std::uint32_t ciphers[] = {0x000fac01, 0x000fac05, 0x000fac02, 0x000fac04, 0x00147201};
    merge(0, [&](nlmsghdr* m) { mnl_attr_put(m, NL80211_ATTR_CIPHER_SUITES, sizeof ciphers, ciphers); });
    merge(0, [](nlmsghdr* m) {
        nlattr* nest = mnl_attr_nest_start(m, NL80211_ATTR_SUPPORTED_IFTYPES);
        mnl_attr_put(m, NL80211_IFTYPE_STATION, 0, nullptr);
        mnl_attr_put(m, NL80211_IFTYPE_ADHOC, 0, nullptr);
        mnl_attr_nest_end(m, nest);
    });
    merge(0, [](nlmsghdr* m) { mnl_attr_put_u32(m, NL80211_ATTR_FEATURE_FLAGS, NL80211_FEATURE_SAE); });
    // A second wiphy: SAE only as an extended feature, no IBSS, a broken cipher list.
    merge(1, [](nlmsghdr* m) {
        std::uint8_t extended[NL80211_EXT_FEATURE_SAE_OFFLOAD / 8 + 1] = {};
        extended[NL80211_EXT_FEATURE_SAE_OFFLOAD / 8] = 1u << (NL80211_EXT_FEATURE_SAE_OFFLOAD % 8);
        mnl_attr_put(m, NL80211_ATTR_EXT_FEATURES, sizeof extended, extended);
        const std::uint8_t broken[6] = {4, 0xac, 0x0f, 0, 1, 2};
        mnl_attr_put(m, NL80211_ATTR_CIPHER_SUITES, sizeof broken, broken);
        nlattr* nest = mnl_attr_nest_start(m, NL80211_ATTR_SUPPORTED_IFTYPES);
        mnl_attr_put(m, NL80211_IFTYPE_STATION, 0, nullptr);
        mnl_attr_nest_end(m, nest);
    });
    // Without a wiphy index a message is not merged anywhere.
    GenlMessage orphan(NL80211_CMD_NEW_WIPHY);
    mnl_attr_put_u32(orphan.get(), NL80211_ATTR_FEATURE_FLAGS, NL80211_FEATURE_SAE);
    const auto exact = orphan.Exact();
    wlanlinux::MergeWiphyMessage(AsMessage(exact), adapters);

    ASSERT_EQ(adapters.size(), 2u);
    const AdapterCapabilities* first = wlanlinux::FindAdapter(adapters, 0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->sae);
    EXPECT_TRUE(first->ibss);
    EXPECT_TRUE(first->cipherListKnown);
    EXPECT_EQ(first->ciphers, (1u << 1) | (1u << 5) | (1u << 2) | (1u << 4));
    const AdapterCapabilities* second = wlanlinux::FindAdapter(adapters, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->sae);
    EXPECT_FALSE(second->ibss);
    EXPECT_FALSE(second->cipherListKnown);
    EXPECT_EQ(wlanlinux::FindAdapter(adapters, 7), nullptr);
}
