// The network managers' states of an interface, which are finer than what
// nl80211 tells, turned into the platform's interface states: one table per
// manager.
#pragma once

#include <cstdint>
#include <string_view>

#include "wlan/linux/profiles/saved_profiles.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// The interface state with NetworkManager's device state (NM_DEVICE_STATE_*)
// taken into account. An interface that is down stays not ready and an ad hoc
// network that is formed stays formed; states the table does not name keep
// what nl80211 says.
WLAN_INTERFACE_STATE RefineWithDeviceState(WLAN_INTERFACE_STATE kernelState,
                                           std::uint32_t deviceState);

// The same for the managers that name their states (iwd's Station.State,
// ConnMan's service State, wpa_supplicant's State), by the table of `source`.
WLAN_INTERFACE_STATE RefineWithManagerState(ProfileSnapshot::Source source,
                                            WLAN_INTERFACE_STATE kernelState, std::string_view state);

}  // namespace wlanlinux
