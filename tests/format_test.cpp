// The formatter and the byte rules, one print at a time.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "report/report_print.h"

namespace {

// Collects what ReportBytes writes, through a room of 64 bytes.
struct StringSink {
    std::string* text;
    char room[64] = {};

    char* Room(std::size_t& size) {
        if (size > sizeof room) size = sizeof room;
        return room;
    }
    void Fill(std::size_t count) { text->append(room, count); }
};

template <ReportFormat Format, typename... Args>
std::string Print(bool console, const Args&... args) {
    std::string out;
    ReportPrintTo<Format>(StringSink{&out}, console, args...);
    return out;
}

template <ReportFormat Format, typename... Args>
std::string ToFile(const Args&... args) {
    return Print<Format>(false, args...);
}

TEST(Format, NumbersKeepEveryDigit) {
    EXPECT_EQ(ToFile<u"%.2x ,">(0x6161u), "6161 ,");
    EXPECT_EQ(ToFile<u"%.2x ,">(0u), "00 ,");
    EXPECT_EQ(ToFile<u"%.8x">(0x00080005u), "00080005");
    EXPECT_EQ(ToFile<u"%.8X-%.4X-%.2X">(0xDEADBEEFu, 0xAu, 0xFFu), "DEADBEEF-000A-FF");
    EXPECT_EQ(ToFile<u"%.8x">(0xFFFFFFFFu), "ffffffff");
    EXPECT_EQ(ToFile<u"%d|%d|%d">(0, -1, 2147483647), "0|-1|2147483647");
    // Unsigned counts at or above 2^31 print as negative numbers.
    EXPECT_EQ(ToFile<u"%d %d">(0x80000000u, 0xFFFFFFFFu), "-2147483648 -1");
    EXPECT_EQ(ToFile<u"%d%%">(100u), "100%");
    EXPECT_EQ(ToFile<u"no conversions\t\n">(), "no conversions\t\n");
}

TEST(Format, WideTextIsOneBytePerUnit) {
    // Units below 0x100 keep their value; others become one "?" each, so a
    // surrogate pair becomes two.
    const char16_t cafe[] = {0x43, 0x61, 0x66, 0xE9, 0};
    EXPECT_EQ(ToFile<u"[%s]">(cafe), "[Caf\xE9]");
    const char16_t script[] = {0x3A9, 0x4E2D, 0xD83D, 0xDE00, u'!', 0};
    EXPECT_EQ(ToFile<u"[%s]">(script), "[????" "!]");
    EXPECT_EQ(ToFile<u"[%s]">(u""), "[]");
}

// Wide text is narrowed eight units at a time where it can be: a unit that
// stops that (zero, 0x100 and up) at every place of texts of every length up
// to three blocks must give the same bytes as one unit at a time.
TEST(Format, WideTextOfEveryLengthWithAnOddUnitAnywhere) {
    for (std::size_t length = 1; length <= 24; ++length) {
        for (std::size_t place = 0; place < length; ++place) {
            for (const char16_t odd : {u'\0', u'\x01', u'\xFF', u'\x100', u'\xD83D'}) {
                std::u16string text;
                for (std::size_t i = 0; i < length; ++i) text += static_cast<char16_t>(u'a' + i % 26);
                text[place] = odd;
                std::string expected = "[";
                for (const char16_t unit : text) {
                    if (unit == 0) break;
                    expected += unit < 0x100 ? static_cast<char>(unit) : '?';
                }
                expected += "]";
                EXPECT_EQ(ToFile<u"[%s]">(std::u16string_view(text)), expected)
                    << "length " << length << ", unit " << static_cast<unsigned>(odd) << " at " << place;
            }
        }
    }
}

TEST(Format, ByteTextPassesUnchanged) {
    const unsigned char utf8[] = {'C', 'a', 'f', 0xC3, 0xA9, 0x1B, 0x7F, 0};
    EXPECT_EQ(ToFile<u"[%S]">(utf8), "[Caf\xC3\xA9\x1B\x7F]");
    const unsigned char stops[] = {'a', 0, 'b', 0};
    EXPECT_EQ(ToFile<u"[%S]">(stops), "[a]");
}

TEST(Format, TextArraysAreReadOnlyWithinThemselves) {
    const char16_t wide[4] = {u'a', u'b', u'c', u'd'};  // no terminator
    const unsigned char bytes[3] = {'x', 'y', 'z'};
    const char16_t after[] = u"after";
    EXPECT_EQ(ToFile<u"[%s][%S][%s]">(wide, bytes, after), "[abcd][xyz][after]");
}

// Text given as a pointer is read up to its terminator and not one unit
// further: each text sits alone in an allocation of exactly its size.
TEST(Format, TextPointersAreReadOnlyUpToTheirTerminator) {
    for (std::size_t length = 0; length <= 24; ++length) {
        for (const bool console : {false, true}) {
            const auto text = std::make_unique<char16_t[]>(length + 1);
            for (std::size_t i = 0; i < length; ++i) text[i] = static_cast<char16_t>(u'a' + i);
            text[length] = 0;
            const char16_t* pointer = text.get();
            std::string expected = "[";
            for (std::size_t i = 0; i < length; ++i) expected += static_cast<char>('a' + i);
            EXPECT_EQ(Print<u"[%s]">(console, pointer), expected + "]") << "length " << length;
        }
    }
}

// On a console, controls of wide text print as "?": C0, DEL and C1. (The rule
// for byte text is tested on a terminal, tests/posix/output_test.cpp.) Files
// and pipes keep every byte.
TEST(Format, ConsoleShowsControlsFromArgumentsAsQuestionMarks) {
    const char16_t title[] = {0x1B, u']', u'0', u';', 0x07, 0x7F, 0x80, 0x9B, 0x9F, 0xA0, 0xE9, 0x100, 0};
    EXPECT_EQ(Print<u"[%s]">(true, title), "[?]0;?????\xA0\xE9?]");
    EXPECT_EQ(Print<u"[%s]">(false, title), "[\x1B]0;\x07\x7F\x80\x9B\x9F\xA0\xE9?]");

    // A character cut short by the end of its array, whatever the byte after it.
    const unsigned char endsInC2[2][2] = {{'a', 0xC2}, {0x9B, 'b'}};
    EXPECT_EQ(Print<u"[%S]">(true, endsInC2[0]), "[a?]");
    // Across the sink's room.
    const std::string across = std::string(62, 'a') + "\xE2\x82\xAC\xC2\x9B";
    EXPECT_EQ(Print<u"[%S]">(true, across.c_str()), "[" + across.substr(0, 65) + "??]");
}

TEST(Format, LongOutputArrivesWhole) {
    char16_t text[2000];
    for (char16_t& unit : text) unit = u'z';
    text[1999] = 0;
    const std::string out = ToFile<u"<%s>">(text);
    EXPECT_EQ(out, "<" + std::string(1999, 'z') + ">");
}

}  // namespace
