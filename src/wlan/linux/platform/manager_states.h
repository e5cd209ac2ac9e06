// NetworkManager's device states, which are finer than what nl80211 tells of
// an interface, turned into the platform's interface states.
#pragma once

#include <cstdint>

#include "wlan/wlan_types.h"

namespace wlanlinux {

// The interface state with NetworkManager's device state (NM_DEVICE_STATE_*)
// taken into account. An interface that is down stays not ready and an ad hoc
// network that is formed stays formed; states the table does not name keep
// what nl80211 says.
WLAN_INTERFACE_STATE RefineWithDeviceState(WLAN_INTERFACE_STATE kernelState,
                                           std::uint32_t deviceState);

}  // namespace wlanlinux
