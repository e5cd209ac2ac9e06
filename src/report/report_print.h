// ReportPrint: the report's one output operation.
//
// Wide text becomes bytes one 16-bit unit at a time, with no locale involved:
// a unit below 0x100 is the byte of that value, a unit of a text argument at or
// above 0x100 is "?", and the bytes of a byte-text argument pass unchanged.
// When standard output is a console, argument bytes that are C0 controls or
// DEL print as "?" so that texts from the air cannot drive the terminal.
// Write errors are not reported and never stop the report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "report/report_format.h"

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

    // Format text is plain ASCII: each unit is its own byte.
    void Literal(const char16_t* text, std::size_t count) {
        while (count != 0) {
            const std::size_t n = Reserve(count);
            char* out = buffer_ + size_;  // a local: char stores would reload members
            for (std::size_t i = 0; i < n; ++i) out[i] = static_cast<char>(text[i]);
            size_ += n;
            text += n;
            count -= n;
        }
    }

    // A text argument: units below 0x100 are their own byte, others "?".
    template <typename C>
    void Units(const C* text, std::size_t limit) {
        while (limit != 0) {
            const std::size_t n = Reserve(limit);
            char* out = buffer_ + size_;
            const bool console = console_;
            for (std::size_t i = 0; i < n; ++i) {
                const auto unit = static_cast<std::uint32_t>(text[i]);
                if (unit == 0) {
                    size_ += i;
                    return;
                }
                out[i] = unit < 0x100 ? ArgumentByte(unit, console) : '?';
            }
            size_ += n;
            text += n;
            limit -= n;
        }
    }

    // A byte argument: every byte passes unchanged, but for the console rule.
    void Bytes(const unsigned char* text, std::size_t limit) {
        while (limit != 0) {
            const std::size_t n = Reserve(limit);
            char* out = buffer_ + size_;
            const bool console = console_;
            for (std::size_t i = 0; i < n; ++i) {
                if (text[i] == 0) {
                    size_ += i;
                    return;
                }
                out[i] = ArgumentByte(text[i], console);
            }
            size_ += n;
            text += n;
            limit -= n;
        }
    }

    void Finish();

private:
    // Makes room for at least one byte; returns how many of `wanted` fit.
    std::size_t Reserve(std::size_t wanted) {
        if (size_ == sizeof buffer_) Finish();
        return wanted < sizeof buffer_ - size_ ? wanted : sizeof buffer_ - size_;
    }

    // On a console, C0 controls and DEL from arguments would drive the terminal.
    static char ArgumentByte(std::uint32_t byte, bool console) {
        return console && (byte < 0x20 || byte == 0x7F) ? '?' : static_cast<char>(byte);
    }

    ByteSink sink_;
    bool console_;
    std::size_t size_ = 0;
    char buffer_[512];
};

// Formats one print into sink, with or without the console rule.
void ReportWrite(ByteSink sink, bool console, const CompiledFormat& format, const ReportArg* args);

// Writes one print to standard output.
void ReportWriteStandardOutput(const CompiledFormat& format, const ReportArg* args);

// Formats one print into any sink: the same bytes ReportPrint writes.
template <typename... Args>
void ReportPrintTo(ByteSink sink, bool console, ReportFormat<std::type_identity_t<Args>...> format,
                   const Args&... args) {
    const ReportArg list[] = {MakeReportArg(args)..., ReportArg{}};
    ReportWrite(sink, console, format.compiled(), list);
}

template <typename... Args>
void ReportPrint(ReportFormat<std::type_identity_t<Args>...> format, const Args&... args) {
    const ReportArg list[] = {MakeReportArg(args)..., ReportArg{}};
    ReportWriteStandardOutput(format.compiled(), list);
}
