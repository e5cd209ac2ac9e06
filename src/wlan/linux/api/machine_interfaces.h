// Reading the machine's Wi-Fi interfaces: the nl80211 dumps joined with what
// the network devices themselves say (up or down, permanent address, driver),
// made into the records the API lists.
#pragma once

#include <cstdint>
#include <vector>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/nl80211/nl80211_requests.h"

namespace wlanlinux {

// Reads the listed interfaces in interface-index order: one interface dump,
// one wiphy dump, and a few cheap reads per interface. Returns 0 or a
// positive errno.
int ReadInterfaces(Nl80211Handle& nl80211, std::vector<InterfaceRecord>& out);

}  // namespace wlanlinux
