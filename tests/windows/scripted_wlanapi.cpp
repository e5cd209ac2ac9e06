// The entry of a wlanapi.dll of our own, for running the unchanged
// wlanreport.exe whole under Wine: the scripted service (scripted_wlan.cpp)
// answers the six operations from the golden data set named by the
// environment variable WLANREPORT_DATA_SET. The program always exits 0, so the
// verdict on calls and frees is told on standard error when the process ends:
// "scripted wlanapi: N calls, M problems", then one line per problem.
#include <windows.h>

#include <cstdio>
#include <string>

#include "golden_scripts.h"

namespace {

// Held for the whole process: the service reads it until the verdict.
WlanScript script;
std::string dataSetProblem;

void InstallDataSet() {
    char name[64];
    const DWORD length = GetEnvironmentVariableA("WLANREPORT_DATA_SET", name, sizeof name);
    if (length == 0 || length >= sizeof name) {
        dataSetProblem = "WLANREPORT_DATA_SET is not set to a data set name";
        return;
    }
    const GoldenDataSet* set = FindGoldenDataSet(name);
    if (set == nullptr) {
        dataSetProblem = std::string("no data set named ") + name;
        return;
    }
    script = set->script();
    InstallWlanScript(script);
}

void WriteError(const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written,
              nullptr);
}

void TellVerdict() {
    WlanCallLog log = FinishWlanScript();
    if (!dataSetProblem.empty()) log.problems.insert(log.problems.begin(), dataSetProblem);
    std::string text = "scripted wlanapi: " + std::to_string(log.calls.size()) + " calls, " +
                       std::to_string(log.problems.size()) + " problems\n";
    for (const std::string& problem : log.problems) text += "problem: " + problem + "\n";
    WriteError(text);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) InstallDataSet();
    if (reason == DLL_PROCESS_DETACH) TellVerdict();
    return TRUE;
}
