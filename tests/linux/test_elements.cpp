#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "test_builders.h"
#include "wlan/linux/ieee80211/information_elements.h"

using namespace testing_support;
using wlanlinux::Element;
using wlanlinux::ElementCursor;
using wlanlinux::ElementSummary;

namespace {

// The elements a cursor finds: each ID (an extension's with its own after a
// slash) and its body's bytes.
std::string Walk(const Bytes& bytes) {
    const auto exact = ExactCopy(bytes);
    ElementCursor cursor(exact.get(), bytes.size());
    std::string out;
    Element e;
    while (cursor.Next(e)) {
        out += "[" + std::to_string(e.id) + (e.id == 255 ? "/" + std::to_string(e.extension) : "") + ":";
        for (const std::uint8_t byte : Bytes(e.body, e.body + e.length)) out += " " + std::to_string(byte);
        out += "]";
    }
    return out;
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
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

// The summary in short: the SSID's bytes in brackets when there is one, then
// the capabilities and the OWE transition element found.
std::string Short(const Bytes& bytes) {
    const ElementSummary s = Summarize(bytes);
    std::string out = s.ssid.present ? "[" + std::string(s.ssid.data, s.ssid.data + s.ssid.length) + "]" : "";
    for (const auto& [found, name] : {std::pair{s.hasHt, " ht"}, {s.hasVht, " vht"}, {s.hasHe, " he"},
                                      {s.hasEht, " eht"}, {s.hasOweTransition, " owe"},
                                      {s.oweTransitionWellFormed, " well-formed"}})
        if (found) out += name;
    return out;
}

}  // namespace

TEST(ElementCursor, StopsAtAnElementThatRunsPastTheBuffer) {
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"empty", {}, ""},
        {"one byte", {0}, ""},
        {"length one past the end", {0, 2, 'a'}, ""},
        {"second element truncated", Join({Ie(0, {'x'}), Bytes{48, 20, 1, 0}}), "[0: 120]"},
        {"header only at the end", Join({Ie(3, {6}), Bytes{45}}), "[3: 6]"},
        {"extension without its ID", Join({Ie(1, {2}), Bytes{255, 0}, Ie(3, {1})}), "[1: 2]"},
        {"extension, then another element", Join({Extension(35, {9, 8}), Ie(3, {1})}), "[255/35: 9 8][3: 1]"},
    };
    for (const auto& [name, bytes, elements] : cases) EXPECT_EQ(Walk(bytes), elements) << name;
}

TEST(SummarizeElements, SsidCapabilitiesAndOweTransition) {
    const std::tuple<const char*, Bytes, std::string> cases[] = {
        {"hidden, zeros kept", Ie(0, Bytes(6, 0)), "[" + std::string(6, '\0') + "]"},
        {"32 bytes", Ie(0, Bytes(32, 'a')), "[" + std::string(32, 'a') + "]"},
        {"33 bytes is not an SSID", Ie(0, Bytes(33, 'a')), ""},
        {"first SSID counts", Join({Ssid("one"), Ssid("two")}), "[one]"},
        {"SSID truncated", Bytes{0, 5, 'a', 'b'}, ""},
        {"no SSID", DsssRates(), ""},
        // Capability elements need their minimum length.
        {"HT short", Ie(45, Bytes(25, 0)), ""},
        {"VHT short", Ie(191, Bytes(11, 0)), ""},
        {"HE", HeCapabilities(), " he"},
        {"HE short", Extension(35, Bytes(20, 0)), ""},
        {"EHT", EhtCapabilities(), " eht"},
        {"HE operation is not HE capabilities", Extension(36, Bytes(21, 0)), ""},
        // OWE transition, 50-6F-9A type 0x1C: BSSID, SSID length, SSID,
        // optionally band and channel.
        {"OWE: SSID of 4", FromHex("dd0f506f9a1c0200000000010474776f31"), " owe well-formed"},
        {"OWE: with band and channel", FromHex("dd11506f9a1c0200000000010474776f315106"), " owe well-formed"},
        {"OWE: empty SSID", FromHex("dd0b506f9a1c02000000000100"), " owe well-formed"},
        {"OWE: SSID length past the end", FromHex("dd0f506f9a1c0200000000010574776f31"), " owe"},
        {"OWE: one byte after the SSID", FromHex("dd10506f9a1c0200000000010474776f3151"), " owe"},
        {"OWE: no SSID length", FromHex("dd0a506f9a1c020000000001"), " owe"},
        {"another type of that OUI", FromHex("dd0f506f9a1b0200000000010474776f31"), ""},
    };
    for (const auto& [name, bytes, summary] : cases) EXPECT_EQ(Short(bytes), summary) << name;
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
        const Bytes bytes = FromHex(at("elements")), ssid = FromHex(at("ssid_hex"));
        std::string expected = at("ssid_hex") != "-" ? "[" + std::string(ssid.begin(), ssid.end()) + "]" : "";
        for (const std::string name : {"ht", "vht", "he", "eht"})
            if (at(name) == "1") expected += " " + name;
        EXPECT_EQ(Short(bytes), expected) << id;
        const ElementSummary summary = Summarize(bytes);
        // Each suite element: whether present, its suites, its OUI and its default cipher.
        const std::tuple<const char*, bool, const std::optional<wlanlinux::SuiteSets>&, unsigned, std::uint32_t>
            elements[] = {{"rsn", summary.hasRsn, summary.rsn, 0x000fac, 1u << wlanlinux::kCipherCcmp},
                          {"wpa", summary.hasWpa, summary.wpa, 0x0050f2, 1u << wlanlinux::kCipherTkip}};
        for (const auto& [name, present, sets, oui, defaultCipher] : elements) {
            const std::string prefix = std::string(name) + "_";
            EXPECT_EQ(present, at(prefix + "version") != "absent") << id << " " << name;
            if (!present) continue;
            ASSERT_TRUE(sets.has_value()) << id << " " << name;
            EXPECT_EQ(sets->group, SuiteBits(at(prefix + "group"), oui, defaultCipher)) << id;
            EXPECT_EQ(sets->pairwise, SuiteBits(at(prefix + "pairwise"), oui, defaultCipher)) << id;
            EXPECT_EQ(sets->akms, SuiteBits(at(prefix + "akms"), oui, 1u << wlanlinux::kAkm8021X)) << id;
        }
    }
    EXPECT_EQ(rows, 22);
}
