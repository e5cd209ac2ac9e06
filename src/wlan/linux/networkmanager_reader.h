// What NetworkManager tells any user over the system bus: saved profiles
// (never their secrets), the profile a device's active connection uses, and
// device states. Profiles the caller may not read are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wlan/linux/saved_profiles.h"
#include "wlan/linux/system_bus.h"

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

// The replies, read apart from the calls. ListConnections' object paths (at
// most a bounded number); GetSettings' a{sa{sv}}: 1 for a Wi-Fi profile with
// an SSID, 0 for another kind of profile, or a negative errno.
int ReadConnectionPaths(sd_bus_message* reply, std::vector<std::string>& paths);
int ReadConnectionSettings(sd_bus_message* reply, SavedProfile& profile);

}  // namespace wlanlinux
