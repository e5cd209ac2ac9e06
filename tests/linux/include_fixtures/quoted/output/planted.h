// Planted: output includes the report above it.
#include "output/console_text.h"
#include "report/run_report.h"
