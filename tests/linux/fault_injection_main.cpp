// The whole report over the scripted kernel, with one allocation made to fail:
// WLANREPORT_FAIL_AT=k fails the k-th allocation of the run (0: none). Tells
// on standard error how many allocations the run made, whether the chosen one
// failed, and how many sockets were left open.
#include <cstdio>
#include <cstdlib>

#include "allocation_faults.h"
#include "report/run_report.h"
#include "scripted_kernel.h"

int main(int argc, char** argv, char** envp) {
    const char* failAt = std::getenv("WLANREPORT_FAIL_AT");
    (void)scripted_kernel::TheMachine();  // the script's own allocations come first
    allocation_faults::Arm(failAt != nullptr ? std::strtoul(failAt, nullptr, 10) : 0);
    const int status = RunReport(argc, argv, envp);
    allocation_faults::Disarm();
    std::fprintf(stderr, "allocations %zu injected %d sockets %zu\n", allocation_faults::Counted(),
                 allocation_faults::Injected() ? 1 : 0, scripted_kernel::OpenSockets());
    return status;
}
