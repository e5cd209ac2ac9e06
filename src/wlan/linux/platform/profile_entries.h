// The network list in the shape the platform's service gives it: a visible
// network with saved profiles appears once per matching profile, named after
// it, and once more without a profile.
#pragma once

#include <cstddef>
#include <vector>

#include "wlan/linux/profiles/saved_profiles.h"
#include "wlan/linux/platform/network_grouping.h"
#include "wlan/linux/platform/profile_matching.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// What matching reads of one BSS of a scan; points into `record`.
BssMatchFacts MatchFactsOf(const BssRecord& record);

// Each network, in order, preceded by one entry per profile that matches any
// of its BSSs (profile name, HAS_PROFILE). The connected flag moves from a
// network to the entry of the profile in use when that profile matches it;
// otherwise it stays where it is. May throw std::bad_alloc.
std::vector<WLAN_AVAILABLE_NETWORK> WithProfileEntries(const ScannedNetworks& scan,
                                                       const std::vector<SavedProfile>& profiles,
                                                       std::size_t inUse,
                                                       const ProfileInterface& target);

}  // namespace wlanlinux
