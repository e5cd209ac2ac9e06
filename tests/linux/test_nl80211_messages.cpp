#include <gtest/gtest.h>
#include <linux/nl80211.h>

#include <iomanip>
#include <optional>
#include <sstream>
#include <string>

#include "scripted_kernel.h"
#include "test_builders.h"
#include "wlan/linux/nl80211/nl80211_interfaces.h"
#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/linux/platform/network_grouping.h"

using namespace testing_support;
using wlanlinux::AdapterCapabilities;
using wlanlinux::ParseScanMessage;
using wlanlinux::StationProgress;

namespace {

constexpr std::uint16_t kOpen = 0x0401;     // ESS, short slot time
constexpr std::uint16_t kSecured = 0x0411;  // and privacy
constexpr std::uint16_t kAdHoc = 0x0002;

using scripted_kernel::Bss;

// One scan dump message, as the kernel would build it for this BSS.
Bytes ScanMessage(const Bss& bss, bool withBssNest = true) {
    GenlMessage message(NL80211_CMD_NEW_SCAN_RESULTS);
    mnl_attr_put_u32(message.get(), NL80211_ATTR_IFINDEX, 3);
    if (withBssNest) scripted_kernel::PutBss(message.get(), bss);
    return message.Raw();
}

void PutHex(std::ostream& out, const std::uint8_t* bytes, std::size_t size) {
    for (std::size_t i = 0; i != size; ++i) out << std::hex << std::setw(2) << std::setfill('0') << +bytes[i];
    out << std::dec;
}

// The BSS as the platform reports it, in words "field=value" (SSID and BSSID
// in hex), with whether `adapter` can join it; "unlisted" when it is not listed.
std::string Describe(const Bss& bss, const AdapterCapabilities* adapter = nullptr) {
    const auto exact = ExactCopy(ScanMessage(bss));
    const auto facts = ParseScanMessage(AsMessage(exact));
    if (!facts) return "unlisted";
    const auto record = wlanlinux::DecideBss(*facts, adapter);
    std::ostringstream out;
    out << std::boolalpha << "bssid=";
    PutHex(out, facts->bssid, 6);
    out << " quality=" << record.quality << " type=" << record.type << " ssid=";
    PutHex(out, record.ssid.ucSSID, record.ssid.uSSIDLength);
    out << " connected=" << record.connected
        << " connectable=" << wlanlinux::CanJoin(adapter, record.type, record.security)
        << " auth=" << record.security.auth << " cipher=" << record.security.cipher << " phy=";
    for (std::size_t i = 0; i != record.phyTypeCount; ++i) out << (i == 0 ? "" : ",") << record.phyTypes[i];
    return out.str();
}

}  // namespace

// The edges; the plain cases (ESS and IBSS, 60 GHz access points, named SSIDs,
// the associated BSS, adapters that can or cannot join) are in the scripted
// kernel's report, golden/scripted_kernel_report.txt.
TEST(ScanMessage, RecordFromTheBss) {
    using namespace wlanlinux;
    const AdapterCapabilities ccmpOnly{.cipherListKnown = true, .ciphers = 1u << kCipherCcmp};
    const AdapterCapabilities withWep{.cipherListKnown = true, .ciphers = (1u << kCipherCcmp) | (1u << kCipherWep40)};
    const AdapterCapabilities unknownCiphers{.ibss = true};
    const AdapterCapabilities withSae{.sae = true};
    const AdapterCapabilities withoutSae;

    const Bytes fiveGhz = Join({Ssid("five"), OfdmRates(), HtCapabilities(),
                                Rsn(kCipherCcmp, {kCipherCcmp}, {kAkmPsk, kAkmSae}), VhtCapabilities(),
                                HeCapabilities()});
    const Bytes gcmp256 = Rsn(kCipherGcmp256, {kCipherGcmp256}, {kAkmSae});
    const Bytes tkip = Wpa(kCipherTkip, {kCipherTkip}, {kAkmPsk});
    const Bytes tkipOrCcmp = Wpa(kCipherTkip, {kCipherTkip, kCipherCcmp}, {kAkmPsk});
    Bytes rsnCut = Join({Ssid("cut"), MixedRates(), Rsn(4, {4}, {2})});
    rsnCut.resize(rsnCut.size() - 3);

    struct Case {
        const char* name;
        Bss bss;
        const AdapterCapabilities* adapter;
        const char* expected;  // words the description has
    };
    const Case cases[] = {
        // Signal quality: linear from -100 dBm (0) to -50 dBm (100), else the
        // driver's own 0..100, the dBm value first.
        {"-99.99 dBm", {.mbm = -9999}, nullptr, "quality=0"},
        {"-99.5 dBm", {.mbm = -9950}, nullptr, "quality=1"},
        {"-50 dBm", {.mbm = -5000}, nullptr, "quality=100"},
        {"lowest mBm", {.mbm = INT32_MIN}, nullptr, "quality=0"},
        {"highest mBm", {.mbm = INT32_MAX}, nullptr, "quality=100"},
        {"unspecified 60", {.mbm = {}, .unspec = 60}, nullptr, "quality=60"},
        {"unspecified 200", {.mbm = {}, .unspec = 200}, nullptr, "quality=100"},
        {"no signal", {.mbm = {}}, nullptr, "quality=0"},
        {"dBm wins", {.mbm = -7500, .unspec = 10}, nullptr, "quality=50"},
        // The BSS type from the capability field (1 infrastructure, 2 independent).
        {"ESS and IBSS", {.capability = 0x0003}, nullptr, "type=1"},
        {"neither: mesh", {.capability = 0x0400}, nullptr, "unlisted"},
        // On 60 GHz bits 0-1 are one type field: 1 IBSS, 2 PBSS, 3 AP or PCP.
        {"60 GHz IBSS", {.capability = 0x0001, .frequency = 58320}, nullptr, "type=2"},
        {"60 GHz type 0", {.capability = 0x0010, .frequency = 62640}, nullptr, "unlisted"},
        // The SSID as the air gives it; hidden as empty or only NUL bytes.
        {"hidden, empty", {.ies = Ie(0, {})}, nullptr, "ssid="},
        {"hidden, zeros", {.ies = Ie(0, Bytes(9, 0))}, nullptr, "ssid="},
        {"zeros within", {.ies = Ie(0, {0, 'a', 0})}, nullptr, "ssid=006100"},
        {"no elements", {.ies = {}}, nullptr, "ssid="},
        {"beacon elements only", {.ies = Ssid("b"), .beaconOnly = true}, nullptr, "ssid=62"},
        {"the BSSID as given", {.bssid = {2, 0, 0, 0, 1, 0x7f}}, nullptr, "bssid=02000000017f"},
        // Connected from the BSS status.
        {"authenticated", {.status = NL80211_BSS_STATUS_AUTHENTICATED}, nullptr, "connected=false"},
        {"IBSS joined", {.status = NL80211_BSS_STATUS_IBSS_JOINED}, nullptr, "connected=true"},
        // Security as the adapter would connect (9 WPA3-SAE, 7 RSNA-PSK, 1
        // open; cipher 4 CCMP, 257 WEP), and the PHY types (4 OFDM, 7 HT,
        // 8 VHT, 10 HE). An element list cut inside the RSN element drops it.
        {"5 GHz, adapter with SAE", {.ies = fiveGhz, .capability = kSecured, .frequency = 5180}, &withSae,
         "auth=9 cipher=4 phy=4,7,8,10"},
        {"5 GHz, adapter without SAE", {.ies = fiveGhz, .capability = kSecured, .frequency = 5180}, &withoutSae,
         "auth=7 cipher=4"},
        {"RSN element cut short", {.ies = rsnCut, .capability = kSecured}, nullptr, "auth=1 cipher=257"},
        // Connectable when the adapter can join.
        {"TKIP network, CCMP adapter", {.ies = tkip, .capability = kSecured}, &ccmpOnly, "connectable=false"},
        {"TKIP or CCMP, CCMP adapter", {.ies = tkipOrCcmp, .capability = kSecured}, &ccmpOnly, "connectable=true"},
        {"WEP network, CCMP adapter", {.capability = kSecured}, &ccmpOnly, "connectable=false"},
        {"WEP network, WEP adapter", {.capability = kSecured}, &withWep, "connectable=true"},
        {"open network", {.capability = kOpen}, &ccmpOnly, "connectable=true"},
        {"ad hoc, adapter without IBSS", {.capability = kAdHoc}, &ccmpOnly, "connectable=false"},
        {"cipher list unknown", {.ies = gcmp256, .capability = kSecured}, &unknownCiphers, "connectable=true"},
        {"adapter unknown", {.ies = gcmp256, .capability = kAdHoc | 0x10}, nullptr, "connectable=true"},
        // Malformed attributes are ignored: a capability of the wrong size
        // leaves the BSS without a type, a signal of the wrong size is none.
        {"short capability", {.shortCapability = true}, nullptr, "unlisted"},
        {"short signal", {.shortSignal = true}, nullptr, "quality=0"},
    };
    const auto withoutBss = ExactCopy(ScanMessage({}, false));
    EXPECT_FALSE(ParseScanMessage(AsMessage(withoutBss)).has_value()) << "no BSS nest";
    for (const Case& c : cases) {
        const std::string described = " " + Describe(c.bss, c.adapter) + " ";
        std::istringstream words(c.expected);
        for (std::string word; words >> word;)
            EXPECT_NE(described.find(" " + word + " "), std::string::npos) << c.name << ":" << described;
    }
}

TEST(ScanMessage, TruncationNeverReadsPastTheMessage) {
    // Every prefix of a real message, with nlmsg_len fitting the prefix and
    // the nest's length still claiming the whole: parsing stays inside the
    // prefix, and a BSS nest cut short is no BSS.
    const Bytes ies = Join({Ssid("truncate"), MixedRates(), HtCapabilities(), Rsn(4, {4}, {2})});
    const Bytes full = ScanMessage({.ies = ies, .capability = kSecured});
    for (std::size_t length = NLMSG_HDRLEN; length < full.size(); ++length) {
        Bytes prefix(full.begin(), full.begin() + length);
        reinterpret_cast<nlmsghdr*>(prefix.data())->nlmsg_len = static_cast<std::uint32_t>(length);
        const auto exact = ExactCopy(prefix);
        EXPECT_FALSE(ParseScanMessage(AsMessage(exact)).has_value()) << length;
    }
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
        {"P2P device without index or name", {std::nullopt, nullptr, NL80211_IFTYPE_P2P_DEVICE}, false},
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
    using enum StationProgress;
    struct Case {
        const char* name;
        bool withInfo;
        std::optional<Flags> flags;
        StationProgress progress;
    };
    const Case cases[] = {
        {"no station info", false, std::nullopt, None},
        {"associated", true, Flags{associated | authenticated, associated | authenticated}, Associated},
        {"authenticated only", true, Flags{associated | authenticated, authenticated}, Authenticating},
        {"set outside the mask", true, Flags{authenticated, associated}, Authenticating},
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
    const auto merge = [&adapters](std::optional<std::uint32_t> wiphy, auto&& fill) {
        GenlMessage message(NL80211_CMD_NEW_WIPHY);
        if (wiphy) mnl_attr_put_u32(message.get(), NL80211_ATTR_WIPHY, *wiphy);
        fill(message.get());
        const auto exact = message.Exact();
        wlanlinux::MergeWiphyMessage(AsMessage(exact), adapters);
    };
    const std::uint32_t ciphers[] = {0x000fac01, 0x000fac05, 0x000fac02, 0x000fac04, 0x00147201};
    merge(0, [&](nlmsghdr* m) { mnl_attr_put(m, NL80211_ATTR_CIPHER_SUITES, sizeof ciphers, ciphers); });
    merge(0, [](nlmsghdr* m) { scripted_kernel::PutIftypes(m, {NL80211_IFTYPE_STATION, NL80211_IFTYPE_ADHOC}); });
    merge(0, [](nlmsghdr* m) { mnl_attr_put_u32(m, NL80211_ATTR_FEATURE_FLAGS, NL80211_FEATURE_SAE); });
    // A second wiphy: SAE only as an extended feature, no IBSS, a broken cipher list.
    merge(1, [](nlmsghdr* m) {
        std::uint8_t extended[NL80211_EXT_FEATURE_SAE_OFFLOAD / 8 + 1] = {};
        extended[NL80211_EXT_FEATURE_SAE_OFFLOAD / 8] = 1u << (NL80211_EXT_FEATURE_SAE_OFFLOAD % 8);
        mnl_attr_put(m, NL80211_ATTR_EXT_FEATURES, sizeof extended, extended);
        const std::uint8_t broken[6] = {4, 0xac, 0x0f, 0, 1, 2};
        mnl_attr_put(m, NL80211_ATTR_CIPHER_SUITES, sizeof broken, broken);
        scripted_kernel::PutIftypes(m, {NL80211_IFTYPE_STATION});
    });
    // Without a wiphy index a message is merged nowhere.
    const std::uint32_t gcmp = 0x000fac08;
    merge(std::nullopt, [&](nlmsghdr* m) { mnl_attr_put(m, NL80211_ATTR_CIPHER_SUITES, sizeof gcmp, &gcmp); });

    const auto describe = [&adapters](std::uint32_t wiphy) {
        const AdapterCapabilities* found = wlanlinux::FindAdapter(adapters, wiphy);
        if (found == nullptr) return std::string("none");
        std::ostringstream out;
        out << std::boolalpha << "sae=" << found->sae << " ibss=" << found->ibss << " ciphers=";
        if (found->cipherListKnown) out << std::hex << found->ciphers;
        else out << "unknown";
        return out.str();
    };
    EXPECT_EQ(adapters.size(), 2u);
    EXPECT_EQ(describe(0), "sae=true ibss=true ciphers=36");  // 00-0F-AC types 1, 2, 4, 5
    EXPECT_EQ(describe(1), "sae=true ibss=false ciphers=unknown");
    EXPECT_EQ(describe(7), "none");
}
