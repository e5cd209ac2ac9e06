#include "wlan/linux/bus/wpa_supplicant_reader.h"

namespace wlanlinux {

int ReadSupplicantProfiles(BusOperation&, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    return 0;
}

}  // namespace wlanlinux
