// ReportPrint: the report's one output operation.
//
// ReportPrint<u"Interface %d\n">(index) formats its arguments by the checked
// format (output/report_format.h) into report bytes (output/report_bytes.h) on
// standard output (output/standard_output.h). Write errors are not reported
// and never stop the report.
#pragma once

#include "output/report_bytes.h"
#include "output/standard_output.h"

template <ReportFormat Format, typename... Args>
void ReportPrint(const Args&... args) {
    const bool console = StandardOutputIsConsole();
    ReportPrintTo<Format>(StandardOutputSink{}, console, args...);
    if (console) FlushStandardOutput();
}
