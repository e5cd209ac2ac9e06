// The network list in the shape the platform's service gives it: a visible
// network with saved profiles appears once per matching profile, named after
// it, and once more without a profile.
#pragma once

#include <cstddef>
#include <vector>

#include "wlan/linux/bus/saved_profiles.h"
#include "wlan/linux/platform/profile_matching.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// Whether the profile applies to the network seen on the interface: equal
// SSID bytes, a mode that matches the BSS type, a security that joins the
// network's, an interface name that is empty or this one, and an adapter
// address that is empty or this adapter's permanent one.
bool ProfileMatches(const SavedProfile& profile, const WLAN_AVAILABLE_NETWORK& network,
                    const ProfileInterface& target);

// Each network, in order, preceded by one entry per matching profile (profile
// name, HAS_PROFILE). The connected flag moves from a network to the entry of
// the profile in use when that profile matches it; otherwise it stays where it
// is. May throw std::bad_alloc.
std::vector<WLAN_AVAILABLE_NETWORK> WithProfileEntries(
    const std::vector<WLAN_AVAILABLE_NETWORK>& networks, const std::vector<SavedProfile>& profiles,
    std::size_t inUse, const ProfileInterface& target);

}  // namespace wlanlinux
