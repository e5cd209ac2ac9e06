// wpa_supplicant's saved networks over the system bus, when it runs with its
// bus interface on. Its bus policy admits root and the netdev group only: for
// anyone else there are none.
#pragma once

#include <systemd/sd-bus.h>

#include <cstddef>
#include <string>
#include <vector>

#include "wlan/linux/bus/system_bus.h"
#include "wlan/linux/profiles/saved_profiles.h"

namespace wlanlinux {

inline constexpr char kWpaSupplicantName[] = "fi.w1.wpa_supplicant1";

// What an interface object's properties (GetAll) say of it.
struct SupplicantInterface {
    std::string name;                   // Ifname
    std::string state;                  // State: completed, scanning, ...
    std::string currentNetwork;         // CurrentNetwork; "/" for none
    std::vector<std::string> networks;  // Networks: their paths, in its order
};

// GetAll's reply of an interface, with at most `maxNetworks` of its networks
// (a path too long to be wpa_supplicant's is dropped). 0, or a negative errno
// for a malformed reply.
int ReadSupplicantInterface(sd_bus_message* reply, std::size_t maxNetworks,
                            SupplicantInterface& interface);

// A network's Properties (Get's reply), each setting read as wpa_supplicant
// writes it: 1 for a profile, 0 for a network left out (a setting that
// cannot be read, no SSID), or a negative errno for a malformed reply.
int ReadSupplicantNetwork(sd_bus_message* reply, SavedProfile& profile);

// Every interface's networks, the one each uses and each interface's State:
// 1 when wpa_supplicant answered or refused (then none), 0 when it is not on
// the bus, or a negative errno when the deadline passed or the connection
// failed (`out` then holds the networks answered before).
int ReadSupplicantProfiles(BusOperation& operation, ProfileSnapshot& out);

}  // namespace wlanlinux
