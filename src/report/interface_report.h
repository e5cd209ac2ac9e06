// The interface report: every wireless interface the WLAN service knows, with
// its identifier, description and state, each followed by its networks.
#pragma once

#include "wlan/wlan_client.h"

// Returns false when the service refused the interface list.
bool PrintInterfaceReport(HANDLE client);
