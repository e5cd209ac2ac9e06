#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
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

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields(1);
    for (const char c : line) {
        if (c == '\t') fields.emplace_back();
        else fields.back().push_back(c);
    }
    return fields;
}

// A dissector's suite list ("000FAC:4,000FAC:2"; "none": empty; "-": the
// field is absent and takes `fallback`) as bits of the types of `oui`.
std::uint32_t SuiteBits(const std::string& list, unsigned oui, std::uint32_t fallback) {
    if (list == "-") return fallback;
    std::uint32_t bits = 0;
    unsigned listed = 0, type = 0;
    for (const char* at = list.c_str(); std::sscanf(at, "%6X:%u", &listed, &type) == 2;
         at = std::strchr(at, ',') != nullptr ? std::strchr(at, ',') + 1 : "")
        if (listed == oui && type < 32) bits |= 1u << type;
    return bits;
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
        {"HT short", Ie(45, Bytes(25, 0)), false, false, false, false},
        {"VHT short", Ie(191, Bytes(11, 0)), false, false, false, false},
        {"HE", HeCapabilities(), false, false, true, false},
        {"HE short", Extension(35, Bytes(20, 0)), false, false, false, false},
        {"EHT", EhtCapabilities(), false, false, false, true},
        {"HE operation is not HE capabilities", Extension(36, Bytes(21, 0)), false, false, false,
         false},
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

TEST(SummarizeElements, OweTransitionElement) {
    // 50-6F-9A type 0x1C: BSSID, SSID length, SSID, optionally band and channel.
    struct Case {
        const char* name;
        const char* hex;
        bool present, wellFormed;
    };
    const Case cases[] = {
        {"SSID of 4", "dd0f506f9a1c0200000000010474776f31", true, true},
        {"with band and channel", "dd11506f9a1c0200000000010474776f315106", true, true},
        {"empty SSID", "dd0b506f9a1c02000000000100", true, true},
        {"SSID length past the end", "dd0f506f9a1c0200000000010574776f31", true, false},
        {"one byte after the SSID", "dd10506f9a1c0200000000010474776f3151", true, false},
        {"no SSID length", "dd0a506f9a1c020000000001", true, false},
        {"another type of that OUI", "dd0f506f9a1b0200000000010474776f31", false, false},
    };
    for (const Case& c : cases) {
        std::unique_ptr<std::uint8_t[]> keep;
        const ElementSummary summary = Summarize(FromHex(c.hex), keep);
        EXPECT_EQ(summary.hasOweTransition, c.present) << c.name;
        EXPECT_EQ(summary.oweTransitionWellFormed, c.wellFormed) << c.name;
    }
}

// Element sets real access points sent (data/real_beacons_sources.tsv names
// the capture of each id), each read as an independent dissector read it.
TEST(SummarizeElements, RealAccessPointsAsADissectorReadsThem) {
    std::ifstream file(WLANREPORT_TEST_DATA "/real_beacons.tsv");
    std::string line;
    ASSERT_TRUE(std::getline(file, line)) << "real_beacons.tsv";
    std::map<std::string, std::size_t> column;
    for (const std::string& name : SplitTabs(line)) column.emplace(name, column.size());
    int rows = 0;
    for (; std::getline(file, line); ++rows) {
        const std::vector<std::string> row = SplitTabs(line);
        const auto at = [&](const std::string& name) { return row.at(column.at(name)); };
        const std::string id = at("id");
        std::unique_ptr<std::uint8_t[]> keep;
        const ElementSummary summary = Summarize(FromHex(at("elements")), keep);
        EXPECT_EQ(summary.ssid.present, at("ssid_hex") != "-") << id;
        if (summary.ssid.present) {
            EXPECT_EQ(Bytes(summary.ssid.data, summary.ssid.data + summary.ssid.length),
                      FromHex(at("ssid_hex"))) << id;
        }
        for (const auto& [name, present] : {std::pair{"ht", summary.hasHt}, {"vht", summary.hasVht},
                                            {"he", summary.hasHe}, {"eht", summary.hasEht}})
            EXPECT_EQ(present, at(name) == "1") << id << " " << name;
        const struct {
            const char* name;
            bool present;
            const std::optional<wlanlinux::SuiteSets>& sets;
            unsigned oui;
            std::uint32_t defaultCipher;
        } elements[] = {{"rsn", summary.hasRsn, summary.rsn, 0x000fac, 1u << wlanlinux::kCipherCcmp},
                        {"wpa", summary.hasWpa, summary.wpa, 0x0050f2, 1u << wlanlinux::kCipherTkip}};
        for (const auto& e : elements) {
            const std::string prefix = std::string(e.name) + "_";
            EXPECT_EQ(e.present, at(prefix + "version") != "absent") << id << " " << e.name;
            if (!e.present) continue;
            ASSERT_TRUE(e.sets.has_value()) << id << " " << e.name;
            EXPECT_EQ(e.sets->group, SuiteBits(at(prefix + "group"), e.oui, e.defaultCipher)) << id;
            EXPECT_EQ(e.sets->pairwise, SuiteBits(at(prefix + "pairwise"), e.oui, e.defaultCipher))
                << id;
            EXPECT_EQ(e.sets->akms, SuiteBits(at(prefix + "akms"), e.oui, 1u << wlanlinux::kAkm8021X))
                << id;
        }
    }
    EXPECT_EQ(rows, 22);
}
