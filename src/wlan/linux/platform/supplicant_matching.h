// Whether a wpa_supplicant network block applies to a BSS, as wpa_supplicant
// itself decides when it selects a network.
#pragma once

#include "wlan/linux/platform/profile_matching.h"

namespace wlanlinux {

// The security, mode and BSSID checks; the SSID and the interface are checked
// by ProfileMatchesBss.
bool SupplicantProfileFits(const SavedProfile& profile, const BssMatchFacts& bss);

}  // namespace wlanlinux
