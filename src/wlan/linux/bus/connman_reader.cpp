#include "wlan/linux/bus/connman_reader.h"

namespace wlanlinux {

int ReadConnManProfiles(BusOperation&, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    return 0;
}

}  // namespace wlanlinux
