// The formatter and the byte rules, one print at a time.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "report/report_print.h"

namespace {

void AppendTo(void* context, const char* bytes, std::size_t size) {
    static_cast<std::string*>(context)->append(bytes, size);
}

template <typename... Args>
std::string Print(bool console, ReportFormat<std::type_identity_t<Args>...> format,
                  const Args&... args) {
    std::string out;
    ReportPrintTo(ByteSink{AppendTo, &out}, console, format, args...);
    return out;
}

template <typename... Args>
std::string ToFile(ReportFormat<std::type_identity_t<Args>...> format, const Args&... args) {
    return Print<Args...>(false, format, args...);
}

TEST(Format, NumbersKeepEveryDigit) {
    EXPECT_EQ(ToFile(u"%.2x ,", 0x6161u), "6161 ,");
    EXPECT_EQ(ToFile(u"%.2x ,", 0u), "00 ,");
    EXPECT_EQ(ToFile(u"%.8x", 0x00080005u), "00080005");
    EXPECT_EQ(ToFile(u"%.8X-%.4X-%.2X", 0xDEADBEEFu, 0xAu, 0xFFu), "DEADBEEF-000A-FF");
    EXPECT_EQ(ToFile(u"%.8x", 0xFFFFFFFFu), "ffffffff");
    EXPECT_EQ(ToFile(u"%d|%d|%d", 0, -1, 2147483647), "0|-1|2147483647");
    // Unsigned counts at or above 2^31 print as negative numbers.
    EXPECT_EQ(ToFile(u"%d %d", 0x80000000u, 0xFFFFFFFFu), "-2147483648 -1");
    EXPECT_EQ(ToFile(u"%d%%", 100u), "100%");
    EXPECT_EQ(ToFile(u"no conversions\t\n"), "no conversions\t\n");
}

TEST(Format, WideTextIsOneBytePerUnit) {
    // Units below 0x100 keep their value; others become one "?" each, so a
    // surrogate pair becomes two.
    const char16_t cafe[] = {0x43, 0x61, 0x66, 0xE9, 0};
    EXPECT_EQ(ToFile(u"[%s]", cafe), "[Caf\xE9]");
    const char16_t script[] = {0x3A9, 0x4E2D, 0xD83D, 0xDE00, u'!', 0};
    EXPECT_EQ(ToFile(u"[%s]", script), "[????" "!]");
    EXPECT_EQ(ToFile(u"[%s]", u""), "[]");
}

TEST(Format, ByteTextPassesUnchanged) {
    const unsigned char utf8[] = {'C', 'a', 'f', 0xC3, 0xA9, 0x1B, 0x7F, 0};
    EXPECT_EQ(ToFile(u"[%S]", utf8), "[Caf\xC3\xA9\x1B\x7F]");
    const unsigned char stops[] = {'a', 0, 'b', 0};
    EXPECT_EQ(ToFile(u"[%S]", stops), "[a]");
}

TEST(Format, TextArraysAreReadOnlyWithinThemselves) {
    const char16_t wide[4] = {u'a', u'b', u'c', u'd'};  // no terminator
    const unsigned char bytes[3] = {'x', 'y', 'z'};
    const char16_t after[] = u"after";
    EXPECT_EQ(ToFile(u"[%s][%S][%s]", wide, bytes, after), "[abcd][xyz][after]");
}

TEST(Format, ConsoleShowsControlBytesFromArgumentsAsQuestionMarks) {
    const unsigned char ssid[] = {'a', 0x1B, '[', '2', 'J', 0x07, 0x7F, 0x80, 0xC3, 0xA9, 0};
    const char16_t title[] = {0x1B, u']', u'0', u';', u'x', 0x07, 0x9B, 0x100, 0};
    EXPECT_EQ(Print(true, u"\t[%S]\n", ssid), "\t[a?[2J??\x80\xC3\xA9]\n");
    EXPECT_EQ(Print(true, u"[%s]\n", title), "[?]0;x?\x9B?]\n");
    // Files and pipes keep every byte.
    EXPECT_EQ(Print(false, u"[%S]", ssid), "[a\x1B[2J\x07\x7F\x80\xC3\xA9]");
    EXPECT_EQ(Print(false, u"[%s]", title), "[\x1B]0;x\x07\x9B?]");
}

TEST(Format, LongOutputArrivesWhole) {
    char16_t text[2000];
    for (char16_t& unit : text) unit = u'z';
    text[1999] = 0;
    const std::string out = ToFile(u"<%s>", text);
    EXPECT_EQ(out, "<" + std::string(1999, 'z') + ">");
}

}  // namespace
