// The formatter and the byte rules, one print at a time. Numbers, and byte
// text written to a file, are the golden reports' (report_test.cpp).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "report/report_print.h"
#include "text/utf8.h"

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

TEST(Format, WideTextIsOneBytePerUnit) {
    // Units below 0x100 keep their value; others become one "?" each, so a
    // surrogate pair becomes two.
    const char16_t cafe[] = {0x43, 0x61, 0x66, 0xE9, 0xFF, 0};
    EXPECT_EQ(Print<u"[%s]">(false, cafe), "[Caf\xE9\xFF]");
    const char16_t script[] = {0x100, 0x3A9, 0x4E2D, 0xD83D, 0xDE00, u'!', 0};
    EXPECT_EQ(Print<u"[%s]">(false, script), "[?????" "!]");
    EXPECT_EQ(Print<u"[%s]">(false, u""), "[]");
}

TEST(Format, TextArraysAreReadOnlyWithinThemselves) {
    const char16_t wide[4] = {u'a', u'b', u'c', u'd'};  // no terminator
    const unsigned char bytes[3] = {'x', 'y', 'z'};
    const char16_t after[] = u"after";
    EXPECT_EQ(Print<u"[%s][%S][%s]">(false, wide, bytes, after), "[abcd][xyz][after]");
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
    const unsigned char endsInC3[2][2] = {{'a', 0xC3}, {0xA9, 'b'}};
    char32_t code = 0;
    ASSERT_EQ(DecodeUtf8(endsInC3[0] + 1, 1, code), 0u) << "a decoder that reads past its size";
    EXPECT_EQ(Print<u"[%S]">(true, endsInC3[0]), "[a?]");
    // Across the sink's room.
    const std::string across = std::string(62, 'a') + "\xE2\x82\xAC\xC2\x9B";
    EXPECT_EQ(Print<u"[%S]">(true, across.c_str()), "[" + across.substr(0, 65) + "??]");
}

TEST(Format, LongOutputArrivesWhole) {
    char16_t text[2000];
    for (char16_t& unit : text) unit = u'z';
    text[1999] = 0;
    const std::string out = Print<u"<%s>">(false, text);
    EXPECT_EQ(out, "<" + std::string(1999, 'z') + ">");
}

}  // namespace
