// Whether a saved profile applies to one access point seen on an interface,
// decided as the profile's own manager decides it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "wlan/linux/profiles/saved_profiles.h"
#include "wlan/linux/ieee80211/security_suites.h"

namespace wlanlinux {

// The interface a list is made for, as profiles are tied to it: by name, or
// by its adapter's permanent address (null when the kernel gave none).
struct ProfileInterface {
    const char* name = "";
    const std::uint8_t* permanentAddress = nullptr;  // 6 bytes
};

// What matching reads of one BSS: facts as the air and the kernel gave them.
struct BssMatchFacts {
    const std::uint8_t* ssid = nullptr;  // SSID bytes (empty for a hidden network)
    std::size_t ssidLength = 0;
    std::uint8_t bssid[6] = {};
    bool adhoc = false;                  // an IBSS, else infrastructure
    std::uint32_t frequencyMhz = 0;
    bool privacy = false;                // the capability's privacy bit
    std::optional<SuiteSets> rsn;        // the RSN element, when well-formed
    std::optional<SuiteSets> wpa;        // the WPA vendor element, when well-formed
    bool oweTransition = false;          // an OWE transition element is present
};

// Whether `profile` applies to the BSS seen on `target`.
bool ProfileMatchesBss(const SavedProfile& profile, const BssMatchFacts& bss,
                       const ProfileInterface& target);

}  // namespace wlanlinux
