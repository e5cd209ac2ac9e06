#include <gtest/gtest.h>

#include <vector>

#include "test_builders.h"
#include "wlan/linux/ieee80211/information_elements.h"

using namespace testing_support;
using wlanlinux::Element;
using wlanlinux::ElementCursor;
using wlanlinux::ElementSummary;
using wlanlinux::SummarizeElements;

namespace {

ElementSummary Summarize(const Bytes& bytes, std::unique_ptr<std::uint8_t[]>& keep) {
    keep = ExactCopy(bytes);
    return SummarizeElements(keep.get(), bytes.size());
}

std::vector<std::uint8_t> WalkIds(const Bytes& bytes) {
    const auto exact = ExactCopy(bytes);
    ElementCursor cursor(exact.get(), bytes.size());
    std::vector<std::uint8_t> ids;
    Element element;
    while (cursor.Next(element)) ids.push_back(element.id);
    return ids;
}

}  // namespace

TEST(ElementCursor, StopsAtAnElementThatRunsPastTheBuffer) {
    struct Case {
        const char* name;
        Bytes bytes;
        std::vector<std::uint8_t> ids;
    };
    const Case cases[] = {
        {"empty", {}, {}},
        {"one byte", {0}, {}},
        {"exact fit", Join({Ie(0, {}), Ie(1, {2, 4})}), {0, 1}},
        {"length one past the end", {0, 2, 'a'}, {}},
        {"second element truncated", Join({Ie(0, {'x'}), Bytes{48, 20, 1, 0}}), {0}},
        {"header only at the end", Join({Ie(3, {6}), Bytes{45}}), {3}},
        {"extension without its ID", Join({Ie(1, {2}), Bytes{255, 0}, Ie(3, {1})}), {1}},
    };
    for (const Case& c : cases) EXPECT_EQ(WalkIds(c.bytes), c.ids) << c.name;
}

TEST(ElementCursor, ExtensionElementsExposeTheirExtensionId) {
    const auto exact = ExactCopy(Extension(35, {9, 8}));
    ElementCursor cursor(exact.get(), 5);
    Element element;
    ASSERT_TRUE(cursor.Next(element));
    EXPECT_EQ(element.id, 255);
    EXPECT_EQ(element.extension, 35);
    EXPECT_EQ(element.length, 2u);
    EXPECT_EQ(element.body[0], 9);
}

TEST(SummarizeElements, Ssid) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool present;
        Bytes ssid;
    };
    const Case cases[] = {
        {"plain", Ssid("home"), true, {'h', 'o', 'm', 'e'}},
        {"hidden, empty", Ie(0, {}), true, {}},
        {"hidden, zeros kept", Ie(0, Bytes(6, 0)), true, Bytes(6, 0)},
        {"32 bytes", Ie(0, Bytes(32, 'a')), true, Bytes(32, 'a')},
        {"33 bytes is not an SSID", Ie(0, Bytes(33, 'a')), false, {}},
        {"first one counts", Join({Ssid("one"), Ssid("two")}), true, {'o', 'n', 'e'}},
        {"truncated", Bytes{0, 5, 'a', 'b'}, false, {}},
        {"absent", DsssRates(), false, {}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<std::uint8_t[]> keep;
        const ElementSummary summary = Summarize(c.bytes, keep);
        EXPECT_EQ(summary.ssid.present, c.present) << c.name;
        EXPECT_EQ(Bytes(summary.ssid.data, summary.ssid.data + summary.ssid.length), c.ssid)
            << c.name;
    }
}

TEST(SummarizeElements, CapabilityElementsNeedTheirMinimumLength) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool ht, vht, he, eht;
    };
    const Case cases[] = {
        {"HT", HtCapabilities(), true, false, false, false},
        {"HT short", Ie(45, Bytes(25, 0)), false, false, false, false},
        {"VHT", VhtCapabilities(), false, true, false, false},
        {"VHT short", Ie(191, Bytes(11, 0)), false, false, false, false},
        {"HE", HeCapabilities(), false, false, true, false},
        {"HE short", Extension(35, Bytes(20, 0)), false, false, false, false},
        {"EHT", EhtCapabilities(), false, false, false, true},
        {"HE operation is not HE capabilities", Extension(36, Bytes(21, 0)), false, false, false,
         false},
        {"all", Join({HtCapabilities(), VhtCapabilities(), HeCapabilities(), EhtCapabilities()}),
         true, true, true, true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<std::uint8_t[]> keep;
        const ElementSummary summary = Summarize(c.bytes, keep);
        EXPECT_EQ(summary.hasHt, c.ht) << c.name;
        EXPECT_EQ(summary.hasVht, c.vht) << c.name;
        EXPECT_EQ(summary.hasHe, c.he) << c.name;
        EXPECT_EQ(summary.hasEht, c.eht) << c.name;
    }
}

TEST(SummarizeElements, FindsRsnAndOnlyTheWpaVendorElement) {
    const Bytes wmm = Ie(221, {0x00, 0x50, 0xf2, 0x02, 0x01, 0x01});
    const Bytes otherOui = Ie(221, {0x00, 0x10, 0x18, 0x01, 0x01, 0x00});
    const Bytes shortVendor = Ie(221, {0x00, 0x50, 0xf2});
    std::unique_ptr<std::uint8_t[]> keep;
    ElementSummary summary = Summarize(Join({wmm, otherOui, shortVendor}), keep);
    EXPECT_FALSE(summary.wpa.present);
    EXPECT_FALSE(summary.rsn.present);

    summary = Summarize(Join({wmm, Wpa(2, {2}, {2}), Rsn(4, {4}, {2})}), keep);
    ASSERT_TRUE(summary.wpa.present);
    EXPECT_EQ(summary.wpa.data[0], 1);  // the body starts at the version
    ASSERT_TRUE(summary.rsn.present);
    EXPECT_EQ(summary.rsn.length, 20u);
}

TEST(ListPhyTypes, ByBandRatesAndCapabilities) {
    struct Case {
        const char* name;
        std::uint32_t mhz;
        Bytes bytes;
        std::vector<DOT11_PHY_TYPE> types;
    };
    const Case cases[] = {
        {"11b only", 2412, DsssRates(), {dot11_phy_type_hrdsss}},
        {"11g", 2437, MixedRates(), {dot11_phy_type_erp}},
        {"11n at 2.4 GHz", 2462, Join({MixedRates(), HtCapabilities()}),
         {dot11_phy_type_erp, dot11_phy_type_ht}},
        {"OFDM only at 2.4 GHz", 2484, OfdmRates(), {dot11_phy_type_erp}},
        {"11a", 5180, OfdmRates(), {dot11_phy_type_ofdm}},
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
        std::unique_ptr<std::uint8_t[]> keep;
        const ElementSummary summary = Summarize(c.bytes, keep);
        DOT11_PHY_TYPE types[WLAN_MAX_PHY_TYPE_NUMBER] = {};
        const std::size_t count = wlanlinux::ListPhyTypes(c.mhz, summary, types);
        EXPECT_EQ(std::vector<DOT11_PHY_TYPE>(types, types + count), c.types) << c.name;
    }
}
