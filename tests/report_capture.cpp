#include "report_capture.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <stdexcept>

#ifdef _WIN32
#include <io.h>
#define dup _dup
#define dup2 _dup2
#define close _close
#define open _open
#define fileno _fileno
#else
#include <unistd.h>
#endif

#include "output/standard_output.h"
#include "report/run_report.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

ReportRun RunScriptedReport(const WlanScript& script) {
    const std::string path = "captured_report.out";
    // Opened in the platform's default (text) mode, like a redirected stdout.
    const int file = open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (file < 0) throw std::runtime_error("cannot create " + path);

    std::fflush(stdout);
    const int saved = dup(fileno(stdout));
    dup2(file, fileno(stdout));
    close(file);

    ReportRun run;
    InstallWlanScript(script);
    char program[] = "wlanreport";
    char* argv[] = {program, nullptr};
    char* envp[] = {nullptr};
    run.status = RunReport(1, argv, envp);
    run.log = FinishWlanScript();

    FlushStandardOutput();
    dup2(saved, fileno(stdout));
    close(saved);
    run.output = ReadFile(path);
    std::remove(path.c_str());
    return run;
}

std::string ExpectedOutput(const std::string& goldenName) {
    return WithPlatformLineEnds(ReadFile(std::string(WLANREPORT_GOLDEN_DIR) + "/" + goldenName));
}

void WriteGolden(const std::string& goldenName, const std::string& output) {
#ifndef _WIN32
    std::ofstream(std::string(WLANREPORT_GOLDEN_DIR) + "/" + goldenName, std::ios::binary) << output;
#else
    (void)goldenName;
    (void)output;
#endif
}

std::string WithPlatformLineEnds(const std::string& text) {
#ifdef _WIN32
    std::string expected;
    for (const char c : text) {
        if (c == '\n') expected += '\r';
        expected += c;
    }
    return expected;
#else
    return text;
#endif
}
