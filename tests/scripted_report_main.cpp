// The report program over the scripted service: `scripted_report [interfaces
// networks]` prints the report of a generated data set, then tells on standard
// error whether the run reached its end and kept the service's rules.
#include <cstdio>
#include <cstdlib>

#include "report/run_report.h"
#include "sample_script.h"

int main(int argc, char** argv, char** envp) {
    const std::size_t interfaces = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 8;
    const auto networks = static_cast<DWORD>(argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 32);
    const WlanScript script = SampleScript(interfaces, networks);
    InstallWlanScript(script);
    const int status = RunReport(argc, argv, envp);
    const WlanCallLog log = FinishWlanScript();
    std::fprintf(stderr, "run complete: %zu calls, last %s, %zu problems\n", log.calls.size(),
                 log.calls.empty() ? "none" : log.calls.back().c_str(), log.problems.size());
    for (const std::string& problem : log.problems) std::fprintf(stderr, "problem: %s\n", problem.c_str());
    return status;
}
