// Saved connection profiles as the machine's network manager keeps them,
// reduced to what matching them against visible networks needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "wlan/wlan_types.h"

namespace wlanlinux {

// The kind of network a profile joins. Access point and mesh profiles are
// kept as Other: they match no visible network.
enum class ProfileMode { Infrastructure, AdHoc, Other };

// The security a profile was saved for (profile_entries.cpp has the table of
// the networks each one joins). Unknown matches no network.
enum class ProfileSecurity {
    Open,        // NetworkManager: no security settings
    OpenOrOwe,   // iwd's "open", which joins OWE networks too
    Owe,
    Wep,         // static or dynamic WEP
    Personal,    // WPA/WPA2 PSK, WPA3 SAE (iwd's "psk")
    Enterprise,  // 802.1X, Suite B
    Unknown,
};

struct SavedProfile {
    std::string name;           // UTF-8, as the manager names it
    std::string ssid;           // the SSID's bytes
    std::string interfaceName;  // empty: any interface
    ProfileMode mode = ProfileMode::Infrastructure;
    ProfileSecurity security = ProfileSecurity::Open;
    std::string lockedAddress;  // the adapter's permanent address (bytes); empty: any adapter
    std::string path;           // its object on the bus
};

// The index of no profile.
inline constexpr std::size_t kNoProfile = static_cast<std::size_t>(-1);

// iwd's station on an interface and the known network it is connected through.
struct IwdStation {
    std::string interfaceName;
    std::string knownNetworkPath;  // empty: none
};

// The profiles readable by the caller, in the manager's order, as one read
// found them.
struct ProfileSnapshot {
    enum class Source { None, NetworkManager, Iwd };
    Source source = Source::None;
    std::vector<SavedProfile> profiles;
    std::vector<IwdStation> stations;  // iwd only
};

// The interface a list is made for, as profiles are tied to it: by name, or
// by its adapter's permanent address (null when the kernel gave none).
struct ProfileInterface {
    const char* name = "";
    const std::uint8_t* permanentAddress = nullptr;  // 6 bytes
};

}  // namespace wlanlinux
