#include <gtest/gtest.h>

#include <string>

#include "wlan/linux/api/reason_text.h"

TEST(ReasonCodeText, KnownCodesOnly) {
    struct Case {
        DWORD code;
        const char16_t* text;  // null: not known
    };
    const Case cases[] = {
        {WLAN_REASON_CODE_SUCCESS, u"The operation succeeded."},
        {WLAN_REASON_CODE_UNKNOWN, u"The reason is unknown."},
        {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, u"The network is not compatible with this adapter."},
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, u"The PHY type is invalid."},
        {0x00020002, nullptr},
        {0xffffffff, nullptr},
    };
    for (const Case& c : cases) {
        const char16_t* text = wlanlinux::ReasonCodeText(c.code);
        EXPECT_EQ(text != nullptr ? std::u16string(text) : u"(none)", c.text != nullptr ? c.text : u"(none)")
            << c.code;
    }
}
