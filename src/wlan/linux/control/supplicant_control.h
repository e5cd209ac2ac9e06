// wpa_supplicant's saved networks and state through its control socket
// (/run/wpa_supplicant/IF), where its bus interface is off. Debian gives the
// socket to root and the netdev group: for anyone else there are none.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

// Where wpa_supplicant puts its sockets (ctrl_interface=DIR=/run/wpa_supplicant;
// /var/run links here).
inline constexpr char kSupplicantControlDirectory[] = "/run/wpa_supplicant";

// The networks of each named interface that has a control socket in
// `directory` (tests name their own), the one each uses and each one's
// wpa_state, within `timeoutUsec` in all; a socket that leaves one request
// unanswered for half a second is asked nothing more. 1 when some interface's
// socket answered or refused us (`out` is then wpa_supplicant's, its profiles
// those of the interfaces that answered), 0 when none of the interfaces has a
// socket (nothing is made then and `out` is empty), or a negative errno when
// time ran out, a socket failed or a list was unreadable (`out` then holds
// what was answered). Throws std::bad_alloc.
int ReadSupplicantControl(const std::vector<std::string>& interfaceNames, std::uint64_t timeoutUsec,
                          ProfileSnapshot& out, const char* directory = kSupplicantControlDirectory);

}  // namespace wlanlinux
