// The whole report: open the WLAN client connection, print the versions, probe
// the reason-code text, report every interface and its networks, close.
#pragma once

// The arguments and environment are ignored. Returns the exit status: 0 on
// every path, success or failure.
int RunReport(int argc, char** argv, char** envp);
