#include "report/report_print.h"

#include "report/standard_output.h"

void ReportBytes::Finish() {
    if (size_ != 0) sink_.write(sink_.context, buffer_, size_);
    size_ = 0;
}

void ReportWrite(ByteSink sink, bool console, const CompiledFormat& format, const ReportArg* args) {
    ReportBytes out(sink, console);
    FormatReport(out, format, args);
    out.Finish();
}

void ReportWriteStandardOutput(const CompiledFormat& format, const ReportArg* args) {
    const StandardOutput& output = GetStandardOutput();
    ReportWrite(output.sink, output.console, format, args);
    if (output.console) FlushStandardOutput();
}
