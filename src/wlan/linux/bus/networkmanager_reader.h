// What NetworkManager tells any user over the system bus: saved profiles
// (never their secrets), the profile a device's active connection uses, and
// device states. Profiles the caller may not read are left out.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <string>
#include <vector>

#include "wlan/linux/profiles/saved_profiles.h"
#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {

inline constexpr char kNetworkManagerName[] = "org.freedesktop.NetworkManager";

// ListConnections' reply: each path once, in order, up to a bound on their
// bytes. 0, or a negative errno for a malformed reply (`paths` is then empty).
int ReadConnectionPaths(sd_bus_message* reply, std::vector<std::string>& paths);

// GetSettings' reply: 1 for a Wi-Fi profile with an SSID, 0 for another kind
// of profile, or a negative errno for a malformed reply.
int ReadConnectionSettings(sd_bus_message* reply, SavedProfile& profile);

// What a device's properties (GetAll) say of it.
inline constexpr std::uint32_t kWifiDeviceType = 2;  // NM_DEVICE_TYPE_WIFI
struct NetworkManagerDevice {
    std::string interfaceName;
    std::uint32_t type = 0;
    bool managed = false;
    std::string activeConnection;  // empty: none
};
// 0, or a negative errno for a malformed reply.
int ReadDeviceProperties(sd_bus_message* reply, NetworkManagerDevice& device);

// The Wi-Fi profiles readable by the caller, in NetworkManager's order, with
// their settings paths, the Wi-Fi devices it manages and the profile each
// one's active connection uses; all GetSettings calls in flight together. 1 when NetworkManager answered (a list it gave
// malformed or refused leaves no profiles), 0 when it is not on the bus, or a
// negative errno when the deadline passed or the connection failed (`out`
// then holds the profiles answered before).
int ReadNetworkManagerProfiles(BusOperation& operation, ProfileSnapshot& out);

// The state (NM_DEVICE_STATE_*) of each device named in `names`; 0, its
// "unknown", when NetworkManager has no such device or the state cannot be
// read. 1 when NetworkManager answered, 0 when it is not on the bus, or a
// negative errno (deadline, connection).
int ReadNetworkManagerDeviceStates(BusOperation& operation, const std::vector<const char*>& names,
                                   std::vector<std::uint32_t>& states);

}  // namespace wlanlinux
