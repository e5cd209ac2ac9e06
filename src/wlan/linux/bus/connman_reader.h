// ConnMan's Wi-Fi services over the system bus: the saved ones (Favorite) are
// its profiles, named as it names them, and the state of the service an
// interface uses is that interface's state. ConnMan's bus policy lets every
// user call it.
#pragma once

#include <systemd/sd-bus.h>

#include "wlan/linux/bus/system_bus.h"
#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

inline constexpr char kConnManName[] = "net.connman";

// GetServices' reply (a(oa{sv})) read into `out`: the saved Wi-Fi services
// whose object path names their SSID, mode and security, in ConnMan's order;
// per interface the service it uses (one being joined counts) and the state
// of its furthest service that is not idle; the interfaces of its Wi-Fi
// services. 0, or a negative errno for a malformed reply (`out` then holds
// no service).
int ReadConnManServices(sd_bus_message* reply, ProfileSnapshot& out);

// The saved Wi-Fi services, the one each interface uses and each interface's
// state: 1 when ConnMan answered (a reply it refused or sent malformed leaves
// none), 0 when it is not on the bus, or a negative errno when the deadline
// passed or the connection failed.
int ReadConnManProfiles(BusOperation& operation, ProfileSnapshot& out);

}  // namespace wlanlinux
