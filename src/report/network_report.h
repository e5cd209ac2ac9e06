// The available-network report: every network the WLAN service sees on one
// interface, field by field.
#pragma once

#include "wlan/wlan_client.h"

// The buffer that receives the text of a reason code: 128 wide units, the
// terminator included.
using ReasonText = WCHAR[128];

// Returns false when the service refused the network list.
bool PrintNetworkReport(HANDLE client, const GUID& interfaceGuid);
