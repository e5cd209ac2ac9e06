// ConnMan's Wi-Fi services over the system bus: the saved ones (Favorite) are
// its profiles, named as it names them, and the state of the service an
// interface uses is that interface's state. ConnMan's bus policy lets every
// user call it.
#pragma once

#include "wlan/linux/bus/system_bus.h"
#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

inline constexpr char kConnManName[] = "net.connman";

// The saved Wi-Fi services, the one each interface uses and each interface's
// state: 1 when ConnMan answered (a reply it refused or sent malformed leaves
// none), 0 when it is not on the bus, or a negative errno when the deadline
// passed or the connection failed.
int ReadConnManProfiles(BusOperation& operation, ProfileSnapshot& out);

}  // namespace wlanlinux
