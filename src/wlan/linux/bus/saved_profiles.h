// Saved connection profiles as the machine's network manager keeps them,
// reduced to what matching them against visible networks needs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "wlan/wlan_types.h"

namespace wlanlinux {

// The kind of network a profile joins. Access point and mesh profiles are
// kept as Other: they match no visible network.
enum class ProfileMode { Infrastructure, AdHoc, Other };

// The security a profile was saved for. NetworkManager's profiles match a
// network whatever its security (Any); iwd keeps one profile per SSID and
// kind of security.
enum class ProfileSecurity { Any, Open, Psk, Enterprise };

struct SavedProfile {
    std::string name;           // UTF-8, as the manager names it
    std::string ssid;           // the SSID's bytes
    std::string interfaceName;  // empty: any interface
    ProfileMode mode = ProfileMode::Infrastructure;
    ProfileSecurity security = ProfileSecurity::Any;
};

// The profiles readable by the caller, in the manager's order, and which of
// them the interface's active connection uses.
struct ProfileSet {
    std::vector<SavedProfile> profiles;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);
    std::size_t inUse = kNone;
};

}  // namespace wlanlinux
