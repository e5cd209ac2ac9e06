#include <gtest/gtest.h>
#include <linux/nl80211.h>

#include <optional>

#include "test_builders.h"
#include "wlan/linux/nl80211/nl80211_interfaces.h"
#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/linux/platform/network_grouping.h"

using namespace testing_support;
using wlanlinux::AdapterCapabilities;
using wlanlinux::ParseScanMessage;
using wlanlinux::ReportedBss;
using wlanlinux::StationProgress;

namespace {

constexpr std::uint16_t kOpen = 0x0401;     // ESS, short slot time
constexpr std::uint16_t kSecured = 0x0411;  // and privacy
constexpr std::uint16_t kAdHoc = 0x0002;

// One scan dump message, as the kernel would build it for these values.
struct Bss {
    std::uint16_t capability = kOpen;
    Bytes ies = Ssid("net");
    std::uint32_t frequency = 2412;
    std::optional<std::int32_t> mbm = -5000;
    std::optional<std::uint8_t> unspec = {};
    std::optional<std::uint32_t> status = {};
    bool beaconOnly = false;       // elements only in NL80211_BSS_BEACON_IES
    bool shortCapability = false;  // one byte: a size the parser must refuse
    bool shortSignal = false;      // two bytes, likewise
    bool withBssNest = true;
};

Bytes ScanMessage(const Bss& bss) {
    GenlMessage message(NL80211_CMD_NEW_SCAN_RESULTS);
    nlmsghdr* header = message.get();
    mnl_attr_put_u32(header, NL80211_ATTR_IFINDEX, 3);
    if (!bss.withBssNest) return message.Raw();
    nlattr* nest = mnl_attr_nest_start(header, NL80211_ATTR_BSS);
    const std::uint8_t bssid[6] = {2, 0, 0, 0, 1, 0};
    mnl_attr_put(header, NL80211_BSS_BSSID, sizeof bssid, bssid);
    mnl_attr_put_u32(header, NL80211_BSS_FREQUENCY, bss.frequency);
    if (bss.shortCapability) mnl_attr_put_u8(header, NL80211_BSS_CAPABILITY, 1);
    else mnl_attr_put_u16(header, NL80211_BSS_CAPABILITY, bss.capability);
    mnl_attr_put(header, bss.beaconOnly ? NL80211_BSS_BEACON_IES : NL80211_BSS_INFORMATION_ELEMENTS,
                 bss.ies.size(), bss.ies.data());
    if (bss.shortSignal) mnl_attr_put_u16(header, NL80211_BSS_SIGNAL_MBM, 0xec78);
    else if (bss.mbm) mnl_attr_put_u32(header, NL80211_BSS_SIGNAL_MBM, static_cast<std::uint32_t>(*bss.mbm));
    if (bss.unspec) mnl_attr_put_u8(header, NL80211_BSS_SIGNAL_UNSPEC, *bss.unspec);
    if (bss.status) mnl_attr_put_u32(header, NL80211_BSS_STATUS, *bss.status);
    mnl_attr_nest_end(header, nest);
    return message.Raw();
}

// The BSS as the platform reports it.
std::optional<ReportedBss> Parse(const Bss& bss, const AdapterCapabilities* adapter = nullptr) {
    const auto exact = ExactCopy(ScanMessage(bss));
    const auto record = ParseScanMessage(AsMessage(exact));
    if (!record) return std::nullopt;
    return wlanlinux::DecideBss(*record, adapter);
}

// What a row expects of the record; unset fields are not checked.
struct Expected {
    bool listed = true;
    std::optional<WLAN_SIGNAL_QUALITY> quality = {};
    std::optional<DOT11_BSS_TYPE> type = {};
    std::optional<Bytes> ssid = {};
    std::optional<bool> connected = {};
    std::optional<bool> connectable = {};
    std::optional<DOT11_AUTH_ALGORITHM> auth = {};
    std::optional<DOT11_CIPHER_ALGORITHM> cipher = {};
    std::optional<std::vector<DOT11_PHY_TYPE>> phyTypes = {};
};

// `adapter` is also the one that judges whether the BSS can be joined.
void Check(const char* name, const std::optional<ReportedBss>& record, const Expected& expected,
           const AdapterCapabilities* adapter) {
    ASSERT_EQ(record.has_value(), expected.listed) << name;
    if (!record) return;
    const auto check = [name](const auto& actual, const auto& wanted) {
        if (wanted) {
            EXPECT_EQ(actual, *wanted) << name;
        }
    };
    check(record->quality, expected.quality);
    check(record->type, expected.type);
    check(Bytes(record->ssid.ucSSID, record->ssid.ucSSID + record->ssid.uSSIDLength),
          expected.ssid);
    check(record->connected, expected.connected);
    check(wlanlinux::CanJoin(adapter, record->type, record->security), expected.connectable);
    check(record->security.auth, expected.auth);
    check(record->security.cipher, expected.cipher);
    check(std::vector<DOT11_PHY_TYPE>(record->phyTypes, record->phyTypes + record->phyTypeCount),
          expected.phyTypes);
}

}  // namespace

// The edges; the plain cases (ESS and IBSS, 60 GHz access points, named SSIDs,
// the associated BSS, adapters that can or cannot join) are in the scripted
// kernel's report, golden/scripted_kernel_report.txt.
TEST(ScanMessage, RecordFromTheBss) {
    using namespace wlanlinux;
    AdapterCapabilities ccmpOnly;
    ccmpOnly.cipherListKnown = true;
    ccmpOnly.ciphers = 1u << kCipherCcmp;
    AdapterCapabilities withWep = ccmpOnly;
    withWep.ciphers |= 1u << kCipherWep40;
    AdapterCapabilities unknownCiphers;
    unknownCiphers.ibss = true;
    AdapterCapabilities withSae;
    withSae.sae = true;
    AdapterCapabilities withoutSae;

    const Bytes fiveGhz = Join({Ssid("five"), OfdmRates(), HtCapabilities(),
                                Rsn(kCipherCcmp, {kCipherCcmp}, {kAkmPsk, kAkmSae}),
                                VhtCapabilities(), HeCapabilities()});
    const std::vector<DOT11_PHY_TYPE> fiveGhzPhys = {dot11_phy_type_ofdm, dot11_phy_type_ht,
                                                     dot11_phy_type_vht, dot11_phy_type_he};
    const Bytes gcmp256 = Rsn(kCipherGcmp256, {kCipherGcmp256}, {kAkmSae});
    const Bytes tkip = Wpa(kCipherTkip, {kCipherTkip}, {kAkmPsk});
    const Bytes tkipOrCcmp = Wpa(kCipherTkip, {kCipherTkip, kCipherCcmp}, {kAkmPsk});
    constexpr auto kInfrastructure = dot11_BSS_type_infrastructure;

    struct Case {
        const char* name;
        Bss bss;
        const AdapterCapabilities* adapter;
        Expected expected;
    };
    const Case cases[] = {
        // Signal quality: linear from -100 dBm (0) to -50 dBm (100), else the
        // driver's own 0..100, the dBm value first.
        {"-99.99 dBm", {.mbm = -9999}, nullptr, {.quality = 0}},
        {"-99.5 dBm", {.mbm = -9950}, nullptr, {.quality = 1}},
        {"-50 dBm", {.mbm = -5000}, nullptr, {.quality = 100}},
        {"lowest mBm", {.mbm = INT32_MIN}, nullptr, {.quality = 0}},
        {"highest mBm", {.mbm = INT32_MAX}, nullptr, {.quality = 100}},
        {"unspecified 60", {.mbm = {}, .unspec = 60}, nullptr, {.quality = 60}},
        {"unspecified 200", {.mbm = {}, .unspec = 200}, nullptr, {.quality = 100}},
        {"no signal", {.mbm = {}}, nullptr, {.quality = 0}},
        {"dBm wins", {.mbm = -7500, .unspec = 10}, nullptr, {.quality = 50}},
        // The BSS type from the capability field.
        {"ESS and IBSS", {.capability = 0x0003}, nullptr, {.type = kInfrastructure}},
        {"neither: mesh", {.capability = 0x0400}, nullptr, {.listed = false}},
        // On 60 GHz bits 0-1 are one type field: 1 IBSS, 2 PBSS, 3 AP or PCP.
        {"60 GHz IBSS", {.capability = 0x0001, .frequency = 58320}, nullptr,
         {.type = dot11_BSS_type_independent}},
        {"60 GHz type 0", {.capability = 0x0010, .frequency = 62640}, nullptr, {.listed = false}},
        // The SSID as the air gives it; hidden as empty or only NUL bytes.
        {"hidden, empty", {.ies = Ie(0, {})}, nullptr, {.ssid = Bytes{}}},
        {"hidden, zeros", {.ies = Ie(0, Bytes(9, 0))}, nullptr, {.ssid = Bytes{}}},
        {"zeros within", {.ies = Ie(0, {0, 'a', 0})}, nullptr, {.ssid = Bytes{0, 'a', 0}}},
        {"no elements", {.ies = {}}, nullptr, {.ssid = Bytes{}}},
        {"beacon elements only", {.ies = Ssid("b"), .beaconOnly = true}, nullptr,
         {.ssid = Bytes{'b'}}},
        // Connected from the BSS status.
        {"authenticated", {.status = NL80211_BSS_STATUS_AUTHENTICATED}, nullptr,
         {.connected = false}},
        {"IBSS joined", {.status = NL80211_BSS_STATUS_IBSS_JOINED}, nullptr, {.connected = true}},
        // Security as the adapter would connect, and the PHY types.
        {"5 GHz, adapter with SAE", {.capability = kSecured, .ies = fiveGhz, .frequency = 5180},
         &withSae,
         {.auth = DOT11_AUTH_ALGO_WPA3_SAE, .cipher = DOT11_CIPHER_ALGO_CCMP,
          .phyTypes = fiveGhzPhys}},
        {"5 GHz, adapter without SAE", {.capability = kSecured, .ies = fiveGhz, .frequency = 5180},
         &withoutSae, {.auth = DOT11_AUTH_ALGO_RSNA_PSK, .cipher = DOT11_CIPHER_ALGO_CCMP}},
        // Connectable when the adapter can join.
        {"TKIP network, CCMP adapter", {.capability = kSecured, .ies = tkip}, &ccmpOnly,
         {.connectable = false}},
        {"TKIP or CCMP, CCMP adapter", {.capability = kSecured, .ies = tkipOrCcmp}, &ccmpOnly,
         {.connectable = true}},
        {"WEP network, CCMP adapter", {.capability = kSecured, .ies = {}}, &ccmpOnly,
         {.connectable = false}},
        {"WEP network, WEP adapter", {.capability = kSecured, .ies = {}}, &withWep,
         {.connectable = true}},
        {"open network", {.capability = kOpen, .ies = {}}, &ccmpOnly, {.connectable = true}},
        {"ad hoc, adapter without IBSS", {.capability = kAdHoc, .ies = {}}, &ccmpOnly,
         {.connectable = false}},
        {"cipher list unknown", {.capability = kSecured, .ies = gcmp256}, &unknownCiphers,
         {.connectable = true}},
        {"adapter unknown", {.capability = kAdHoc | 0x10, .ies = gcmp256}, nullptr,
         {.connectable = true}},
        // Malformed attributes are ignored: a capability of the wrong size
        // leaves the BSS without a type, a signal of the wrong size is none.
        {"short capability", {.shortCapability = true}, nullptr, {.listed = false}},
        {"short signal", {.shortSignal = true}, nullptr, {.quality = 0}},
        {"no BSS nest", {.withBssNest = false}, nullptr, {.listed = false}},
    };
    for (const Case& c : cases) Check(c.name, Parse(c.bss, c.adapter), c.expected, c.adapter);
}

TEST(ScanMessage, TruncationNeverReadsPastTheMessage) {
    // Every prefix of a real message, with nlmsg_len fitting the prefix and
    // the nest's length still claiming the whole: parsing stays inside the
    // prefix, and a BSS nest cut short is no BSS.
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
        EXPECT_FALSE(ParseScanMessage(AsMessage(exact)).has_value()) << length;
    }
    // The whole message: the BSSID as the kernel gave it.
    const auto whole = ExactCopy(full);
    const auto facts = ParseScanMessage(AsMessage(whole));
    ASSERT_TRUE(facts.has_value());
    EXPECT_EQ(Bytes(facts->bssid, facts->bssid + 6), (Bytes{2, 0, 0, 0, 1, 0}));
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
    const auto exact = message.Exact();
    return wlanlinux::ParseInterfaceMessage(AsMessage(exact));
}

}  // namespace

// The fields of a listed one: the scripted kernel's report.
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
}

TEST(StationMessage, ProgressFromTheStationFlags) {
    const std::uint32_t associated = 1u << NL80211_STA_FLAG_ASSOCIATED;
    const std::uint32_t authenticated = 1u << NL80211_STA_FLAG_AUTHENTICATED;
    using Flags = nl80211_sta_flag_update;
    struct Case {
        const char* name;
        bool withInfo;
        std::optional<Flags> flags;
        StationProgress progress;
    };
    const Case cases[] = {
        {"no station info", false, std::nullopt, StationProgress::None},
        {"associated", true, Flags{associated | authenticated, associated | authenticated},
         StationProgress::Associated},
        {"authenticated only", true, Flags{associated | authenticated, authenticated},
         StationProgress::Authenticating},
        {"set outside the mask", true, Flags{authenticated, associated}, StationProgress::Authenticating},
    };
    for (const Case& c : cases) {
        GenlMessage message(NL80211_CMD_NEW_STATION);
        mnl_attr_put_u32(message.get(), NL80211_ATTR_IFINDEX, 3);
        if (c.withInfo) {
            nlattr* nest = mnl_attr_nest_start(message.get(), NL80211_ATTR_STA_INFO);
            if (c.flags) mnl_attr_put(message.get(), NL80211_STA_INFO_STA_FLAGS, sizeof *c.flags, &*c.flags);
            mnl_attr_nest_end(message.get(), nest);
        }
        const auto exact = message.Exact();
        EXPECT_EQ(wlanlinux::ParseStationMessage(AsMessage(exact)), c.progress) << c.name;
    }
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
