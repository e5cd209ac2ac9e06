// The interface report: every wireless interface the WLAN service knows, with
// its identifier, description and state, each followed by its networks.
#pragma once

#include <cstddef>

#include "wlan/wlan_client.h"

// The text of a GUID: 36 units plus the terminator, in a 128-unit buffer.
inline constexpr std::size_t kGuidTextSize = 128;

// Writes `guid` as 32 uppercase hex digits in groups of 8, 4, 4, 4 and 12
// joined by hyphens, without braces.
void FormatGuid(const GUID& guid, char16_t (&text)[kGuidTextSize]);

// Returns false when the service refused the interface list.
bool PrintInterfaceReport(HANDLE client);
