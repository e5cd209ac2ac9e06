#include <gtest/gtest.h>

#include <string_view>

#include "wlan/linux/api/reason_text.h"

// Each code's text says what the code's name says, so a text moved to another
// code fails, and fits the report's 128-unit reason buffer with its terminator.
// (Buffers and unknown codes: test_wlan_api.cpp.)
TEST(ReasonCodeText, EachTextSaysWhatItsCodeMeans) {
    struct Case {
        DWORD code;
        std::u16string_view words;
    };
    const Case cases[] = {
        {WLAN_REASON_CODE_SUCCESS, u"succeeded"},
        {WLAN_REASON_CODE_UNKNOWN, u"unknown"},
        {WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE, u"not compatible"},
        {WLAN_REASON_CODE_INVALID_PHY_TYPE, u"PHY type is invalid"},
    };
    for (const Case& c : cases) {
        const char16_t* text = wlanlinux::ReasonCodeText(c.code);
        ASSERT_NE(text, nullptr) << c.code;
        const std::u16string_view view(text);
        EXPECT_NE(view.find(c.words), std::u16string_view::npos) << c.code;
        EXPECT_LT(view.size(), 128u) << c.code;
    }
}
