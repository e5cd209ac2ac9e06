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

    void Text(char16_t unit) { Put(static_cast<unsigned char>(unit)); }
    void TextUnit(char16_t unit) { TextByte(unit < 0x100 ? static_cast<unsigned char>(unit) : '?'); }
    void TextByte(unsigned char byte) { Put(console_ && (byte < 0x20 || byte == 0x7F) ? '?' : byte); }
    void Finish();

private:
    void Put(unsigned char byte) {
        if (size_ == sizeof buffer_) Finish();
        buffer_[size_++] = static_cast<char>(byte);
    }

    ByteSink sink_;
    bool console_;
    std::size_t size_ = 0;
    char buffer_[512];
};

// Formats one print into sink, with or without the console rule.
void ReportWrite(ByteSink sink, bool console, const char16_t* format, const ReportArg* args);

// Writes one print to standard output.
void ReportWriteStandardOutput(const char16_t* format, const ReportArg* args);

// Formats one print into any sink: the same bytes ReportPrint writes.
template <typename... Args>
void ReportPrintTo(ByteSink sink, bool console, ReportFormat<std::type_identity_t<Args>...> format,
                   const Args&... args) {
    const ReportArg list[] = {MakeReportArg(args)..., ReportArg{}};
    ReportWrite(sink, console, format.text(), list);
}

template <typename... Args>
void ReportPrint(ReportFormat<std::type_identity_t<Args>...> format, const Args&... args) {
    const ReportArg list[] = {MakeReportArg(args)..., ReportArg{}};
    ReportWriteStandardOutput(format.text(), list);
}
