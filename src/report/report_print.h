// ReportPrint: the report's one output operation.
//
// Wide text becomes bytes one 16-bit unit at a time, with no locale involved:
// a unit below 0x100 is the byte of that value, a unit of a text argument at or
// above 0x100 is "?", and the bytes of a byte-text argument pass unchanged.
// When standard output is a console, controls inside arguments print as "?"
// so that texts from the air cannot drive the terminal (see ReportBytes).
// Write errors are not reported and never stop the report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "report/copy_bytes.h"
#include "report/narrow_units.h"
#include "report/report_format.h"
#include "report/standard_output.h"

// Turns the formatter's output into report bytes and hands them to a Sink:
//   char* Room(std::size_t& size)  room to format in place (size 0: none);
//   void Write(const char*, size)  takes bytes, which may be the bytes of the
//                                  room it gave, already where they belong.
// Bytes are formatted in the sink's room when it offers at least a buffer's
// worth, else in a small buffer of ReportBytes's own. They go to the sink when
// the room is full and when Finish is called.
template <typename Sink>
class ReportBytes {
public:
    ReportBytes(Sink sink, bool console) : sink_(sink), console_(console) {
        std::size_t size = 0;
        char* const room = sink_.Room(size);
        const bool inPlace = size >= sizeof own_;
        begin_ = at_ = inPlace ? room : own_;
        end_ = inPlace ? room + size : own_ + sizeof own_;
    }
    ReportBytes(const ReportBytes&) = delete;
    ReportBytes& operator=(const ReportBytes&) = delete;

    // Format text and digits: bytes already. Inlined, so that the runs of a
    // format, whose lengths are constants, copy without a loop or a call.
    [[gnu::always_inline]] void Literal(const char* bytes, std::size_t count) {
        if (count > static_cast<std::size_t>(end_ - at_)) return LiteralInParts(bytes, count);
        CopyBytes(at_, bytes, count);
        at_ += count;
    }

    void LiteralInParts(const char* bytes, std::size_t count) {
        while (count != 0) {
            const std::size_t n = Reserve(count);
            CopyBytes(at_, bytes, n);
            at_ += n;
            bytes += n;
            count -= n;
        }
    }

    // A text argument: units below 0x100 are their own byte, others "?".
    template <typename C>
    [[gnu::always_inline]] void Units(const C* text, std::size_t limit) {
        if (!console_ && limit <= static_cast<std::size_t>(end_ - at_)) {
            at_ += NarrowUnits(at_, text, limit);  // the usual case: it fits
            return;
        }
        UnitsInParts(text, limit);
    }

    template <typename C>
    void UnitsInParts(const C* text, std::size_t limit) {
        while (limit != 0) {
            const std::size_t n = Reserve(limit);
            char* out = at_;  // a local: char stores would reload members
            std::size_t i = 0;
            if (console_) {
                for (; i < n && text[i] != 0; ++i) out[i] = ConsoleUnit(static_cast<std::uint32_t>(text[i]));
            } else {
                i = NarrowUnits(out, text, n);
            }
            at_ += i;
            if (i != n) return;
            text += n;
            limit -= n;
        }
    }

    // A byte argument: every byte passes unchanged, but for the console rule.
    void Bytes(const unsigned char* text, std::size_t limit) {
        const std::size_t length = strnlen(reinterpret_cast<const char*>(text), limit);
        for (std::size_t done = 0; done != length;) {
            const std::size_t n = Reserve(length - done);
            char* out = at_;
            if (console_) {
                for (std::size_t i = 0; i < n; ++i) out[i] = ConsoleByte(text, done + i, length);
            } else {
                CopyBytes(out, text + done, n);
            }
            at_ += n;
            done += n;
        }
    }

    // Hands what is collected to the sink; what follows goes to the own buffer.
    void Finish() {
        if (at_ != begin_) sink_.Write(begin_, static_cast<std::size_t>(at_ - begin_));
        begin_ = at_ = own_;
        end_ = own_ + sizeof own_;
    }

private:
    // Makes room for at least one byte; returns how many of `wanted` fit.
    std::size_t Reserve(std::size_t wanted) {
        if (at_ == end_) Finish();
        const auto room = static_cast<std::size_t>(end_ - at_);
        return wanted < room ? wanted : room;
    }

    // On a console, a C0 control, DEL or C1 control (0x80..0x9F) of a text
    // argument would drive the terminal, as would any unit past one byte.
    static char ConsoleUnit(std::uint32_t unit) {
        return unit < 0x20 || (unit >= 0x7F && unit <= 0x9F) || unit >= 0x100 ? '?'
                                                                             : static_cast<char>(unit);
    }

    // In byte text the same controls are C0 bytes, DEL and the two-byte UTF-8
    // form of a C1 control, C2 80..C2 9F: both of its bytes print as "?". A
    // lone 0x80..0x9F is a continuation byte of another character and passes.
    static char ConsoleByte(const unsigned char* text, std::size_t at, std::size_t length) {
        const unsigned char byte = text[at];
        const bool control = byte < 0x20 || byte == 0x7F ||
                             (byte == 0xC2 && at + 1 < length && IsC1Tail(text[at + 1])) ||
                             (IsC1Tail(byte) && at != 0 && text[at - 1] == 0xC2);
        return control ? '?' : static_cast<char>(byte);
    }

    static bool IsC1Tail(unsigned char byte) { return byte >= 0x80 && byte <= 0x9F; }

    Sink sink_;
    bool console_;
    char own_[512];
    char* begin_;
    char* at_;
    char* end_;
};

// Formats one print into any sink: the same bytes ReportPrint writes.
template <ReportFormat Format, typename Sink, typename... Args>
void ReportPrintTo(Sink sink, bool console, const Args&... args) {
    ReportBytes<Sink> out(sink, console);
    FormatReport<Format>(out, args...);
    out.Finish();
}

// The report's print: ReportPrint<u"Interface %d\n">(index).
template <ReportFormat Format, typename... Args>
void ReportPrint(const Args&... args) {
    const bool console = StandardOutputIsConsole();
    ReportPrintTo<Format>(StandardOutputSink{}, console, args...);
    if (console) FlushStandardOutput();
}
