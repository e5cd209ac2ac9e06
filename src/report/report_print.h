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

#include "report/report_format.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Copies count bytes. A print is made of short runs, for which a call to
// memcpy costs more than the copy: runs up to 32 bytes move in two loads and
// two stores here, overlapping when the count is not a multiple of their width.
[[gnu::always_inline]] inline void CopyBytes(char* to, const void* source, std::size_t count) {
    const auto* from = static_cast<const char*>(source);
    if (count > 32) {
        std::memcpy(to, from, count);
    } else if (count >= 16) {
        std::memcpy(to, from, 16);
        std::memcpy(to + count - 16, from + count - 16, 16);
    } else if (count >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + count - 8, from + count - 8, 8);
    } else if (count >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + count - 4, from + count - 4, 4);
    } else if (count != 0) {
        to[0] = from[0];  // 1 to 3 bytes: the first, middle and last
        to[count / 2] = from[count / 2];
        to[count - 1] = from[count - 1];
    }
}

// Where ReportBytes hands its bytes.
struct ByteSink {
    void (*write)(void* context, const char* bytes, std::size_t size);
    void* context;
};

// Turns the formatter's output into report bytes, collecting them in a small
// buffer that goes to the sink when full and when Finish is called.
class ReportBytes {
public:
    ReportBytes(ByteSink sink, bool console) : sink_(sink), console_(console) {}
    ReportBytes(const ReportBytes&) = delete;
    ReportBytes& operator=(const ReportBytes&) = delete;

    // Format text and digits: bytes already. Inlined, so that the runs of a
    // format, whose lengths are constants, copy without a loop or a call.
    [[gnu::always_inline]] void Literal(const char* bytes, std::size_t count) {
        if (count > sizeof buffer_ - size_) return LiteralInParts(bytes, count);
        CopyBytes(buffer_ + size_, bytes, count);
        size_ += count;
    }

    void LiteralInParts(const char* bytes, std::size_t count) {
        while (count != 0) {
            const std::size_t n = Reserve(count);
            CopyBytes(buffer_ + size_, bytes, n);
            size_ += n;
            bytes += n;
            count -= n;
        }
    }

    // A text argument: units below 0x100 are their own byte, others "?".
    template <typename C>
    void Units(const C* text, std::size_t limit) {
        while (limit != 0) {
            const std::size_t n = Reserve(limit);
            char* out = buffer_ + size_;  // a local: char stores would reload members
            std::size_t i = 0;
            if (console_) {
                for (; i < n && text[i] != 0; ++i) out[i] = ConsoleUnit(static_cast<std::uint32_t>(text[i]));
            } else {
                i = NarrowUnits(out, text, n);
            }
            size_ += i;
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
            char* out = buffer_ + size_;
            if (console_) {
                for (std::size_t i = 0; i < n; ++i) out[i] = ConsoleByte(text, done + i, length);
            } else {
                CopyBytes(out, text + done, n);
            }
            size_ += n;
            done += n;
        }
    }

    // Hands what is collected to the sink.
    void Finish() {
        if (size_ != 0) sink_.write(sink_.context, buffer_, size_);
        size_ = 0;
    }

private:
    // Makes room for at least one byte; returns how many of `wanted` fit.
    std::size_t Reserve(std::size_t wanted) {
        if (size_ == sizeof buffer_) Finish();
        return wanted < sizeof buffer_ - size_ ? wanted : sizeof buffer_ - size_;
    }

    // Writes units up to the first zero unit, at most n, one byte each: units
    // below 0x100 as themselves, others as "?". Returns how many it wrote.
    // With SSE2, eight units at a time while all eight are 0x01..0xFF.
    template <typename C>
    static std::size_t NarrowUnits(char* out, const C* text, std::size_t n) {
        static_assert(sizeof(C) == 2);
        std::size_t i = 0;
#ifdef __SSE2__
        const __m128i one = _mm_set1_epi16(1);
        const __m128i zero = _mm_setzero_si128();
        for (; i + 8 <= n; i += 8) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
            // unit - 1 is below 0xFF exactly for the units 0x01..0xFF.
            const __m128i past = _mm_srli_epi16(_mm_sub_epi16(units, one), 8);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(past, zero)) != 0xFFFF) break;
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(units, units));
        }
        // The last units of a longer text: the last eight again, overlapping.
        if (i < n && n >= 8 && i + 8 > n) {
            const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + n - 8));
            const __m128i past = _mm_srli_epi16(_mm_sub_epi16(units, one), 8);
            if (_mm_movemask_epi8(_mm_cmpeq_epi16(past, zero)) == 0xFFFF) {
                _mm_storel_epi64(reinterpret_cast<__m128i*>(out + n - 8), _mm_packus_epi16(units, units));
                return n;
            }
        }
#endif
        for (; i < n && text[i] != 0; ++i) {
            const auto unit = static_cast<std::uint32_t>(text[i]);
            out[i] = unit < 0x100 ? static_cast<char>(unit) : '?';
        }
        return i;
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

    ByteSink sink_;
    bool console_;
    std::size_t size_ = 0;
    char buffer_[512];
};

// Standard output as the report writes it (standard_output.cpp). The first
// call sets the stream up.
bool StandardOutputIsConsole();
void WriteStandardOutput(void* context, const char* bytes, std::size_t size);
void FlushStandardOutput();

// Formats one print into any sink: the same bytes ReportPrint writes.
template <ReportFormat Format, typename... Args>
void ReportPrintTo(ByteSink sink, bool console, const Args&... args) {
    ReportBytes out(sink, console);
    FormatReport<Format>(out, args...);
    out.Finish();
}

// The report's print: ReportPrint<u"Interface %d\n">(index).
template <ReportFormat Format, typename... Args>
void ReportPrint(const Args&... args) {
    const bool console = StandardOutputIsConsole();
    ReportPrintTo<Format>(ByteSink{WriteStandardOutput, nullptr}, console, args...);
    if (console) FlushStandardOutput();
}
