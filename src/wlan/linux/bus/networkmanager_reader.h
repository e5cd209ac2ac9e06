// What NetworkManager tells any user over the system bus: saved profiles
// (never their secrets), the profile a device's active connection uses, and
// device states. Profiles the caller may not read are skipped.
#pragma once

#include <cstdint>

#include "wlan/linux/bus/saved_profiles.h"
#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {

inline constexpr char kNetworkManagerName[] = "org.freedesktop.NetworkManager";

// The Wi-Fi profiles readable by the caller, in NetworkManager's order, and
// which one the active connection of the device named `interfaceName` uses.
// Returns 0 or a negative errno (nothing in `out` is then meaningful).
int ReadNetworkManagerProfiles(BusSession& session, const char* interfaceName, ProfileSet& out);

// The state (NM_DEVICE_STATE_*) of the device named `interfaceName`; 0, its
// "unknown", when NetworkManager has no such device. 0 or a negative errno.
int ReadNetworkManagerDeviceState(BusSession& session, const char* interfaceName,
                                  std::uint32_t& state);

}  // namespace wlanlinux
