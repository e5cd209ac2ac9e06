// The process's standard output as the report writes it: a text-mode C stream,
// written out after every print on a console and collected in a 4096-byte
// buffer otherwise.
#pragma once

#include "report/report_print.h"

struct StandardOutput {
    ByteSink sink;
    bool console;
};

// Set up on first use and the same for the rest of the process: whether
// standard output is a console does not change during a run. Setting it up
// also keeps a reader that goes away from ending the process (SIGPIPE).
const StandardOutput& GetStandardOutput();

void FlushStandardOutput();
