// wpa_supplicant's saved networks and state through its control socket
// (/run/wpa_supplicant/IF), where its bus interface is off. Debian gives the
// socket to root and the netdev group: for anyone else there are none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

// The networks of each named interface that has a control socket, the one
// each uses and each one's wpa_state, within `timeoutUsec` in all. 1 when some
// interface's socket answered or refused us, 0 when none of the interfaces has
// a socket (nothing is opened then), or a negative errno when time ran out or
// a socket failed (`out` then holds what was answered). Throws std::bad_alloc.
int ReadSupplicantControl(const std::vector<std::string>& interfaceNames, std::uint64_t timeoutUsec,
                          ProfileSnapshot& out);

}  // namespace wlanlinux
