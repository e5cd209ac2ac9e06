#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "wlan/linux/platform/utf16_text.h"

TEST(AppendUtf8, DecodesReplacesAndStaysWithinCapacity) {
    struct Case {
        const char* name;
        std::string input;
        std::u16string output;
        std::size_t capacity = 16;
    };
    const Case cases[] = {
        {"three bytes", "\xe2\x82\xac", u"\u20ac"},
        {"four bytes", "\xf0\x9f\x98\x80", u"\U0001F600"},
        {"invalid byte", "a\xff" "b", u"a\ufffdb"},
        {"lone continuation", "\x80", u"\ufffd"},
        {"truncated at the end", "a\xe2\x82", u"a\ufffd\ufffd"},
        {"overlong", "\xc0\x80", u"\ufffd\ufffd"},
        {"overlong three bytes", "\xe0\x9f\xbf", u"\ufffd\ufffd\ufffd"},  // U+07FF
        {"surrogate", "\xed\xa0\x80", u"\ufffd\ufffd\ufffd"},
        {"beyond U+10FFFF", "\xf4\x90\x80\x80", u"\ufffd\ufffd\ufffd\ufffd"},
        {"embedded NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        // One unit is kept for the terminator, and a pair that does not fit
        // whole is left out.
        {"cut to the capacity", "abcdef", u"abc", 4},
        {"pair left out", "a\xf0\x9f\x98\x80", u"a", 3},
        {"room for the terminator only", "abc", u"", 1},
    };
    for (const Case& c : cases) {
        char16_t out[17];  // one past the largest capacity
        std::fill(std::begin(out), std::end(out), u'x');
        const std::size_t used = wlanlinux::AppendUtf8(out, c.capacity, 0, c.input.data(), c.input.size());
        EXPECT_EQ(std::u16string(out, used), c.output) << c.name;
        EXPECT_EQ(out[used], 0) << c.name;
        EXPECT_EQ(out[c.capacity], u'x') << c.name;  // nothing written past the capacity
    }
}
