// The PHY types the platform lists for a BSS, from its band and elements.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wlan/linux/ieee80211/information_elements.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// The PHY types a BSS on `frequencyMhz` with these elements supports, legacy
// type first. Returns how many were written (at most 8).
std::size_t ListPhyTypes(std::uint32_t frequencyMhz, const ElementSummary& summary,
                         DOT11_PHY_TYPE (&types)[WLAN_MAX_PHY_TYPE_NUMBER]);

}  // namespace wlanlinux
