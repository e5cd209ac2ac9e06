// wpa_supplicant's texts for a saved network's settings, as its bus
// (Network.Properties) and its control socket (GET_NETWORK) give them: one
// setting's name and value at a time, read into a profile. Parsing only.
#pragma once

#include <string_view>

#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

// Reads one setting (ssid, key_mgmt, mode, bssid, id_str, disabled, proto,
// pairwise, group, wep_key0..3) into `profile`. Names it does not use are
// ignored. False for a value it cannot read (the profile is then unusable).
bool ReadSupplicantSetting(std::string_view name, std::string_view value, SavedProfile& profile);

// The profile's name once all settings are read: id_str, else the SSID as
// text. Sets profile.keyMgmt to Supplicant.
void FinishSupplicantProfile(SavedProfile& profile, std::string_view idStr);

}  // namespace wlanlinux
