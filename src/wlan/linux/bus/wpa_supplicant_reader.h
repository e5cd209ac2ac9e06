// wpa_supplicant's saved networks over the system bus, when it runs with its
// bus interface on. Its bus policy admits root and the netdev group only: for
// anyone else there are none.
#pragma once

#include "wlan/linux/bus/system_bus.h"
#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

inline constexpr char kWpaSupplicantName[] = "fi.w1.wpa_supplicant1";

// Every interface's networks, the one each uses and each interface's State:
// 1 when wpa_supplicant answered or refused (then none), 0 when it is not on
// the bus, or a negative errno when the deadline passed or the connection
// failed.
int ReadSupplicantProfiles(BusOperation& operation, ProfileSnapshot& out);

}  // namespace wlanlinux
