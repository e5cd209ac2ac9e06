// iwd's known networks over the system bus. iwd names a profile after its
// SSID and keeps one per SSID and kind of security; its bus policy admits
// root and the netdev group only, so for anyone else there are none.
#pragma once

#include "wlan/linux/bus/saved_profiles.h"
#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {

inline constexpr char kIwdName[] = "net.connman.iwd";

// The known networks, in iwd's order, and the one the station named
// `interfaceName` is connected through. 0 or a negative errno.
int ReadIwdProfiles(BusSession& session, const char* interfaceName, ProfileSet& out);

}  // namespace wlanlinux
