// Whole runs of the report over the scripted service, compared byte for byte
// with golden files (CR LF forms on Windows).
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "golden_scripts.h"
#include "report_capture.h"

// Test names and messages show the data set by its name.
void PrintTo(const GoldenDataSet& set, std::ostream* out) { *out << set.name; }

namespace {

// Each golden data set: the bytes of its file, exit status 0, every rule of
// the service kept.
class GoldenReport : public ::testing::TestWithParam<GoldenDataSet> {};

TEST_P(GoldenReport, EqualsItsFile) {
    const std::string golden = std::string(GetParam().name) + ".txt";
    const ReportRun run = RunScriptedReport(GetParam().script());
    if (std::getenv("WLANREPORT_BLESS") != nullptr) WriteGolden(golden, run.output);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, ExpectedOutput(golden));
    EXPECT_TRUE(run.log.problems.empty()) << ::testing::PrintToString(run.log.problems);
}

INSTANTIATE_TEST_SUITE_P(DataSets, GoldenReport, ::testing::ValuesIn(GoldenDataSets()),
                         [](const ::testing::TestParamInfo<GoldenDataSet>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
