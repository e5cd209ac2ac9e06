// A BSS's security as the platform reports it: the default authentication
// and cipher algorithms a first connection would use, decided from the
// privacy bit and the suites of the RSN and WPA elements.
#pragma once

#include <cstdint>

#include "wlan/linux/ieee80211/information_elements.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

struct SecuritySettings {
    bool enabled = false;
    DOT11_AUTH_ALGORITHM auth = DOT11_AUTH_ALGO_80211_OPEN;
    DOT11_CIPHER_ALGORITHM cipher = DOT11_CIPHER_ALGO_NONE;
    // The pairwise ciphers a station may use, as 00-0F-AC suite types (bit n);
    // 0 for an open network, which needs none.
    std::uint32_t pairwiseCiphers = 0;
};

// Prefers RSN over WPA. Among several AKMs it takes the one a first
// connection would use: SAE when the adapter supports it, else OWE, else
// 802.1X, else PSK.
SecuritySettings DecideSecurity(bool privacy, const ElementSummary& elements, bool adapterHasSae);

}  // namespace wlanlinux
