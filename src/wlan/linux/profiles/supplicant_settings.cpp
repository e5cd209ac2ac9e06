#include "wlan/linux/profiles/supplicant_settings.h"

namespace wlanlinux {

bool ReadSupplicantSetting(std::string_view, std::string_view, SavedProfile&) { return false; }

void FinishSupplicantProfile(SavedProfile& profile, std::string_view) {
    profile.keyMgmt = ProfileKeyMgmt::Supplicant;
}

}  // namespace wlanlinux
