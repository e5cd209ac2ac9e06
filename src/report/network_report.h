// The available-network report: every network the WLAN service sees on one
// interface, field by field.
#pragma once

#include "wlan/wlan_client.h"

// Returns false when the service refused the network list.
bool PrintNetworkReport(HANDLE client, const GUID& interfaceGuid);
