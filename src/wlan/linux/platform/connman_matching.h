// Whether a ConnMan service applies to a BSS: ConnMan groups BSSs into
// services by SSID, mode and the security it reads from their elements.
#pragma once

#include "wlan/linux/platform/profile_matching.h"

namespace wlanlinux {

// The security and mode checks; the SSID and the interface are checked by
// ProfileMatchesBss.
bool ConnManProfileFits(const SavedProfile& profile, const BssMatchFacts& bss);

}  // namespace wlanlinux
