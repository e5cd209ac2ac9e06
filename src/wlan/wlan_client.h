// The WLAN client API the report is written against.
//
// On Windows these are the platform's own declarations (wlanapi.dll). Elsewhere
// they are ours: the same operation names, record names, field names and record
// layouts, so the report compiles unchanged against either.
#pragma once

#ifdef _WIN32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <wlanapi.h>

// Flag bits of WLAN_AVAILABLE_NETWORK::dwFlags that not every SDK declares.
#ifndef WLAN_AVAILABLE_NETWORK_CONNECTED
#define WLAN_AVAILABLE_NETWORK_CONNECTED 0x00000001
#endif
#ifndef WLAN_AVAILABLE_NETWORK_HAS_PROFILE
#define WLAN_AVAILABLE_NETWORK_HAS_PROFILE 0x00000002
#endif

// Reason codes that not every SDK declares, as the platform defines them.
#ifndef WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE
#define WLAN_REASON_CODE_NETWORK_NOT_COMPATIBLE 0x00020001
#endif
#ifndef WLAN_REASON_CODE_INVALID_PHY_TYPE
#define WLAN_REASON_CODE_INVALID_PHY_TYPE 0x00080005
#endif

#else

#include "wlan/wlan_types.h"

#endif
