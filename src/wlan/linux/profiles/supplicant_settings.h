// wpa_supplicant's texts for a saved network's settings, as its bus
// (Network.Properties) and its control socket (GET_NETWORK) give them: one
// setting's name and value at a time, read into a profile. Parsing only.
#pragma once

#include <string_view>

#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

// Reads one setting (ssid, id_str, key_mgmt, proto, pairwise, group, mode,
// bssid, disabled, wep_key0..3) into `profile`; other names are ignored.
// False for a value it cannot read: the profile is then not to be used.
bool ReadSupplicantSetting(std::string_view name, std::string_view value, SavedProfile& profile);

// Once every setting is read: the profile is wpa_supplicant's, named by its
// id_str, else by its SSID, and a key_mgmt it did not give takes
// wpa_supplicant's default (WPA-PSK WPA-EAP).
void FinishSupplicantProfile(SavedProfile& profile);

}  // namespace wlanlinux
