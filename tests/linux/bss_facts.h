// Scan facts for the tests above the parsers. Apart from test_builders.h,
// whose suite selectors share names with the profiles' cipher bits.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "wlan/linux/nl80211/nl80211_scan.h"

namespace testing_support {

// The facts of an access point named `ssid`: WPA2-Personal (CCMP, PSK), or open.
inline wlanlinux::BssRecord BssFacts(const std::string& ssid, bool secured = true) {
    wlanlinux::BssRecord bss;
    bss.elements.ssid.present = true;
    bss.elements.ssid.length = std::min(ssid.size(), wlanlinux::kSsidMaxLength);
    std::memcpy(bss.elements.ssid.data, ssid.data(), bss.elements.ssid.length);
    bss.privacy = secured;
    bss.elements.hasRsn = secured;
    if (secured) bss.elements.rsn = wlanlinux::SuiteSets{1u << 4, 1u << 4, 1u << 2};
    return bss;
}

}  // namespace testing_support
