// wlanreport: prints what the platform's WLAN service sees.
#include "report/run_report.h"

int main(int argc, char** argv, char** envp) { return RunReport(argc, argv, envp); }
