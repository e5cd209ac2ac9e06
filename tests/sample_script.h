// A large scripted data set with mixed names and values, built on request so
// that only the lists the report holds at once take memory.
#pragma once

#include <cstddef>

#include "scripted_wlan.h"

WlanScript SampleScript(std::size_t interfaces, DWORD networksPerInterface);
