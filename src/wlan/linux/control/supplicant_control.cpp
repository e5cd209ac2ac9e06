#include "wlan/linux/control/supplicant_control.h"

namespace wlanlinux {

int ReadSupplicantControl(const std::vector<std::string>&, std::uint64_t, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    return 0;
}

}  // namespace wlanlinux
