// Runs the whole report over a scripted WLAN service and captures the bytes it
// writes to standard output.
#pragma once

#include <string>

#include "scripted_wlan.h"

struct ReportRun {
    std::string output;  // the bytes as written, line ends included
    int status = -1;
    WlanCallLog log;
};

ReportRun RunScriptedReport(const WlanScript& script);

// A golden file's bytes as this platform writes them: its line feeds become
// CR LF where standard output is a text stream that translates them.
std::string ExpectedOutput(const std::string& goldenName);

// Replaces a golden file with output captured on a platform without line-end
// translation (WLANREPORT_BLESS=1 when a change to the report is intended).
void WriteGolden(const std::string& goldenName, const std::string& output);

// The same for text given in the test.
std::string WithPlatformLineEnds(const std::string& text);
