// Interface GUIDs: name-based (version 5) UUIDs of the adapter's MAC address,
// made by libuuid, so that one adapter keeps its GUID across runs and reboots.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wlan/wlan_types.h"

namespace wlanlinux {

// The namespace all interface GUIDs are derived in.
extern const std::uint8_t kInterfaceGuidNamespace[16];

// A version 5 UUID of `name` in `nameSpace` (16 bytes, network order), as a
// GUID whose text form is the UUID's usual text form.
GUID NameBasedGuid(const std::uint8_t (&nameSpace)[16], const void* name, std::size_t length);

// The interface GUID of a MAC address.
GUID InterfaceGuidFromMac(const std::uint8_t (&mac)[6]);

bool SameGuid(const GUID& a, const GUID& b);

}  // namespace wlanlinux
