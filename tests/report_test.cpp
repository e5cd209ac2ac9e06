// Whole runs of the report over the scripted service, compared byte for byte
// with golden files (CR LF forms on Windows).
#include <gtest/gtest.h>

#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

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

#include "golden_scripts.h"
#include "output/standard_output.h"
#include "report/run_report.h"

// Test names and messages show the data set by its name.
void PrintTo(const GoldenDataSet& set, std::ostream* out) { *out << set.name; }

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Each golden data set: the bytes of its file, exit status 0, every rule of
// the service kept.
class GoldenReport : public ::testing::TestWithParam<GoldenDataSet> {};

TEST_P(GoldenReport, EqualsItsFile) {
    // Standard output goes to a file opened in the platform's default (text)
    // mode, like a redirected stdout.
    const char* captured = "captured_report.out";
    const int file = open(captured, O_CREAT | O_TRUNC | O_WRONLY, 0644);
    ASSERT_GE(file, 0);
    std::fflush(stdout);
    const int saved = dup(fileno(stdout));
    dup2(file, fileno(stdout));
    close(file);
    const WlanScript script = GetParam().script();
    InstallWlanScript(script);
    char program[] = "wlanreport";
    char* argv[] = {program, nullptr};
    char* envp[] = {nullptr};
    const int status = RunReport(1, argv, envp);
    const WlanCallLog log = FinishWlanScript();
    FlushStandardOutput();
    dup2(saved, fileno(stdout));
    close(saved);
    const std::string output = ReadFile(captured);
    std::remove(captured);

    const std::string golden = std::string(WLANREPORT_GOLDEN_DIR) + "/" + GetParam().name + ".txt";
#ifdef _WIN32
    std::string expected;  // the golden files hold LF; text mode writes CR LF
    for (const char c : ReadFile(golden)) expected += c == '\n' ? "\r\n" : std::string(1, c);
#else
    // WLANREPORT_BLESS=1 writes the output as the new golden file, when a
    // change to the report is intended.
    if (std::getenv("WLANREPORT_BLESS") != nullptr) std::ofstream(golden, std::ios::binary) << output;
    const std::string expected = ReadFile(golden);
#endif
    EXPECT_EQ(status, 0);
    EXPECT_EQ(output, expected);
    EXPECT_TRUE(log.problems.empty()) << ::testing::PrintToString(log.problems);
}

INSTANTIATE_TEST_SUITE_P(DataSets, GoldenReport, ::testing::ValuesIn(GoldenDataSets()),
                         [](const ::testing::TestParamInfo<GoldenDataSet>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
