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
#include "output/copy_bytes.h"
#include "output/narrow_units.h"
#include "output/report_format.h"

// Turns the formatter's output into report bytes and hands them to a Sink:
//   char* Room(std::size_t& size)  room to format in place (size 0: none);
//   void Write(const char*, size)  takes bytes, which may be the bytes of the
//                                  room it gave, already where they belong.
// Bytes are formatted in the sink's room when it offers some, else in a small
// buffer of ReportBytes's own. They go to the sink when the room is full, and
// the print goes on in the room the sink offers then, and when Finish is
// called.
template <typename Sink>
class ReportBytes {
public:
    ReportBytes(Sink sink, bool console) : sink_(sink), console_(console) { Start(); }
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

    // A byte argument: every byte passes unchanged, but for the console rule,
    // which judges whole characters even where the room ends inside one.
    void Bytes(const unsigned char* text, std::size_t limit) {
        const std::size_t length = strnlen(reinterpret_cast<const char*>(text), limit);
        std::size_t passing = 0;  // bytes left of a character shown as it is
        for (std::size_t done = 0; done != length;) {
            const std::size_t n = Reserve(length - done);
            char* out = at_;
            if (console_) {
                for (std::size_t i = 0; i < n; ++i) {
                    const std::size_t at = done + i;
                    if (passing == 0) passing = ConsoleCharacterLength(text + at, length - at);
                    if (passing == 0) {
                        out[i] = '?';
                    } else {
                        out[i] = static_cast<char>(text[at]);
                        --passing;
                    }
                }
            } else {
                CopyBytes(out, text + done, n);
            }
            at_ += n;
            done += n;
        }
    }

    // Hands what is collected to the sink.
    void Finish() {
        if (at_ != begin_) sink_.Write(begin_, static_cast<std::size_t>(at_ - begin_));
    }

private:
    // Formats in the sink's room when it offers some, else in the own buffer.
    void Start() {
        std::size_t size = 0;
        char* const room = sink_.Room(size);
        const bool inPlace = size != 0;
        begin_ = at_ = inPlace ? room : own_;
        end_ = inPlace ? room + size : own_ + sizeof own_;
    }

    // Makes room for at least one byte; returns how many of `wanted` fit.
    std::size_t Reserve(std::size_t wanted) {
        if (at_ == end_) {
            Finish();
            Start();
        }
        const auto room = static_cast<std::size_t>(end_ - at_);
        return wanted < room ? wanted : room;
    }

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
