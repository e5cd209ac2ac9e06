#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/api/reason_text.h"
#include "wlan/linux/api/utf16_text.h"
#include "wlan/linux/device/interface_guid.h"

TEST(InterfaceGuid, PinnedValues) {
    // The DNS namespace and "python.org" give 886313e1-3b8a-5372-9b90-0c9aee199e5d;
    // the address of the lab's wlan4 gives the GUID its report shows.
    const std::uint8_t dns[16] = {0x6b, 0xa7, 0xb8, 0x10, 0x9d, 0xad, 0x11, 0xd1,
                                  0x80, 0xb4, 0x00, 0xc0, 0x4f, 0xd4, 0x30, 0xc8};
    const std::uint8_t lab[6] = {0x02, 0x00, 0x00, 0x00, 0x04, 0x00};
    struct Case {
        GUID guid;
        GUID expected;
    };
    const Case cases[] = {
        {wlanlinux::NameBasedGuid(dns, "python.org", 10),
         {0x886313e1, 0x3b8a, 0x5372, {0x9b, 0x90, 0x0c, 0x9a, 0xee, 0x19, 0x9e, 0x5d}}},
        {wlanlinux::InterfaceGuidFromMac(lab),
         {0xa9396021, 0xc822, 0x561b, {0xbd, 0x7e, 0x74, 0x1c, 0x0c, 0xc3, 0xd6, 0xef}}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(wlanlinux::SameGuid(c.guid, c.expected)) << std::hex << c.expected.Data1;
}

TEST(InterfaceGuid, StableAndDistinctPerAddress) {
    const std::uint8_t a[6] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x00};
    const std::uint8_t b[6] = {0x02, 0x00, 0x00, 0x00, 0x01, 0x00};
    const GUID first = wlanlinux::InterfaceGuidFromMac(a);
    EXPECT_TRUE(wlanlinux::SameGuid(first, wlanlinux::InterfaceGuidFromMac(a)));
    EXPECT_FALSE(wlanlinux::SameGuid(first, wlanlinux::InterfaceGuidFromMac(b)));
    EXPECT_EQ(first.Data3 >> 12, 5);               // version 5
    EXPECT_EQ(first.Data4[0] & 0xc0, 0x80);        // RFC 4122 variant
}

TEST(InterfaceGuid, InterfacesSharingAnAddressGetDistinctGuids) {
    const std::uint8_t shared[6] = {0x02, 0x00, 0x00, 0x00, 0x00, 0x00};
    const std::uint8_t own[6] = {0x02, 0x00, 0x00, 0x00, 0x02, 0x00};
    std::vector<wlanlinux::InterfaceRecord> records(4);
    const char* names[] = {"wlan0", "wlan1", "wlan2", "wlan3"};
    for (std::size_t i = 0; i != records.size(); ++i) {
        std::strcpy(records[i].netdev.name, names[i]);
        records[i].guid = wlanlinux::InterfaceGuidFromMac(i == 2 ? own : shared);
    }
    wlanlinux::SeparateSharedGuids(records);
    // The first keeps the address's GUID, as does the one with its own address.
    EXPECT_TRUE(wlanlinux::SameGuid(records[0].guid, wlanlinux::InterfaceGuidFromMac(shared)));
    EXPECT_TRUE(wlanlinux::SameGuid(records[2].guid, wlanlinux::InterfaceGuidFromMac(own)));
    for (std::size_t i = 0; i != records.size(); ++i)
        for (std::size_t j = 0; j != i; ++j)
            EXPECT_FALSE(wlanlinux::SameGuid(records[i].guid, records[j].guid)) << i << " " << j;
    // The same machine state gives the same GUIDs again.
    const GUID second = records[1].guid;
    records[1].guid = wlanlinux::InterfaceGuidFromMac(shared);
    wlanlinux::SeparateSharedGuids(records);
    EXPECT_TRUE(wlanlinux::SameGuid(records[1].guid, second));
}

TEST(AppendUtf8, DecodesAndReplaces) {
    struct Case {
        const char* name;
        std::string input;
        std::u16string output;
    };
    const Case cases[] = {
        {"ascii", "wlan0", u"wlan0"},
        {"two bytes", "caf\xc3\xa9", u"caf\u00e9"},
        {"three bytes", "\xe2\x82\xac", u"\u20ac"},
        {"four bytes", "\xf0\x9f\x98\x80", u"\U0001F600"},
        {"invalid byte", "a\xff" "b", u"a\ufffdb"},
        {"lone continuation", "\x80", u"\ufffd"},
        {"truncated at the end", "a\xe2\x82", u"a\ufffd\ufffd"},
        {"overlong", "\xc0\x80", u"\ufffd\ufffd"},
        {"overlong three bytes", "\xe0\x80\xaf", u"\ufffd\ufffd\ufffd"},
        {"surrogate", "\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},
        {"embedded NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const Case& c : cases) {
        char16_t out[16];
        const std::size_t used =
            wlanlinux::AppendUtf8(out, std::size(out), 0, c.input.data(), c.input.size());
        EXPECT_EQ(std::u16string(out, used), c.output) << c.name;
        EXPECT_EQ(out[used], 0) << c.name;
    }
}

TEST(AppendUtf8, StaysWithinCapacity) {
    char16_t out[4] = {1, 1, 1, 1};
    EXPECT_EQ(wlanlinux::AppendUtf8(out, 4, 0, "abcdef", 6), 3u);
    EXPECT_EQ(std::u16string(out), u"abc");

    // A pair that does not fit whole is left out.
    char16_t pair[3] = {1, 1, 1};
    EXPECT_EQ(wlanlinux::AppendUtf8(pair, 3, 0, "a\xf0\x9f\x98\x80", 5), 1u);
    EXPECT_EQ(pair[1], 0);

    char16_t one[1] = {1};
    EXPECT_EQ(wlanlinux::AppendUtf8(one, 1, 0, "abc", 3), 0u);
    EXPECT_EQ(one[0], 0);
}

TEST(DescribeInterface, DriverAndNameBoundedByTheField) {
    char16_t description[WLAN_MAX_NAME_LENGTH];
    wlanlinux::DescribeInterface("mac80211_hwsim", "wlan0", description);
    EXPECT_EQ(std::u16string(description), u"mac80211_hwsim Wi-Fi adapter (wlan0)");
    wlanlinux::DescribeInterface(nullptr, "wlan1", description);
    EXPECT_EQ(std::u16string(description), u"Wi-Fi adapter (wlan1)");

    const std::string longDriver(400, 'd');
    wlanlinux::DescribeInterface(longDriver.c_str(), "wlan0", description);
    EXPECT_EQ(std::u16string(description).size(), WLAN_MAX_NAME_LENGTH - 1);
    EXPECT_EQ(description[WLAN_MAX_NAME_LENGTH - 1], 0);
}

TEST(ReasonText, KnownCodesOnly) {
    for (const DWORD code : {WLAN_REASON_CODE_SUCCESS, WLAN_REASON_CODE_UNKNOWN,
                             WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE,
                             WLAN_REASON_CODE_INVALID_PHY_TYPE}) {
        const char16_t* text = wlanlinux::ReasonCodeText(code);
        ASSERT_NE(text, nullptr) << code;
        EXPECT_NE(text[0], 0) << code;
    }
    EXPECT_EQ(wlanlinux::ReasonCodeText(0x00020002), nullptr);
    EXPECT_EQ(wlanlinux::ReasonCodeText(0xffffffff), nullptr);
}
