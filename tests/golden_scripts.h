// The data sets behind the golden files: the report over each script prints
// tests/golden/<name>.txt byte for byte. The golden tests serve them in
// process; the Windows end-to-end tests serve them from a wlanapi.dll of our
// own to the unchanged wlanreport.exe.
#pragma once

#include <span>
#include <string_view>

#include "scripted_wlan.h"

struct GoldenDataSet {
    const char* name;  // the golden file without ".txt"
    WlanScript (*script)();
};

std::span<const GoldenDataSet> GoldenDataSets();

// nullptr when no data set has this name.
const GoldenDataSet* FindGoldenDataSet(std::string_view name);
