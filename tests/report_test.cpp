// Whole runs of the report over the scripted service, compared byte for byte
// with golden files (CR LF forms on Windows).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "golden_scripts.h"
#include "report_capture.h"

// Test names and messages show the data set by its name.
void PrintTo(const GoldenDataSet& set, std::ostream* out) { *out << set.name; }

namespace {

void ExpectReport(const WlanScript& script, const std::string& golden) {
    const ReportRun run = RunScriptedReport(script);
    if (std::getenv("WLANREPORT_BLESS") != nullptr) WriteGolden(golden, run.output);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, ExpectedOutput(golden));
    EXPECT_TRUE(run.log.problems.empty()) << ::testing::PrintToString(run.log.problems);
}

TEST(Driver, FailedOpenPrintsOneLineAndCallsNothingElse) {
    WlanScript script;
    script.openResult = ERROR_SERVICE_NOT_ACTIVE;
    const ReportRun run = RunScriptedReport(script);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, WithPlatformLineEnds("Error in the WlanOpenHandle() function call\n"));
    EXPECT_EQ(run.log.calls, std::vector<std::string>{"open 2"});
    EXPECT_TRUE(run.log.problems.empty());
}

TEST(Driver, CallsInOrderAndGivesEveryListBack) {
    WlanScript script = BaseScript();
    script.interfaces = {ScriptInterface(1, u"first", 4), ScriptInterface(2, u"second", 1)};
    script.interfaces[0].networks = {MakeNetwork("net")};
    script.interfaces[0].networks[0].bNetworkConnectable = 1;
    const ReportRun run = RunScriptedReport(script);
    const std::vector<std::string> expected = {
        "open 2",        "reason 00080005",        "enum",
        "networks 0",    "free network list 0",    "networks 1",
        "free network list 1", "free interface list", "close"};
    EXPECT_EQ(run.log.calls, expected);
    EXPECT_TRUE(run.log.problems.empty()) << ::testing::PrintToString(run.log.problems);
}

// Each golden data set: the bytes of its file, exit status 0, every rule of
// the service kept.
class GoldenReport : public ::testing::TestWithParam<GoldenDataSet> {};

TEST_P(GoldenReport, EqualsItsFile) {
    ExpectReport(GetParam().script(), std::string(GetParam().name) + ".txt");
}

INSTANTIATE_TEST_SUITE_P(DataSets, GoldenReport, ::testing::ValuesIn(GoldenDataSets()),
                         [](const ::testing::TestParamInfo<GoldenDataSet>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
