// Saved connection profiles as the machine's network manager keeps them,
// reduced to what matching them against visible networks needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace wlanlinux {

// The kind of network a profile joins. Access point and mesh profiles are
// kept as Other: they match no visible network. Unspecified: the profile
// names no mode.
enum class ProfileMode { Unspecified, Infrastructure, AdHoc, Other };

// The key management a profile names, as its manager saved it.
enum class ProfileKeyMgmt {
    None,             // NetworkManager: no 802-11-wireless-security setting
    StaticWep,        // "none"
    DynamicWep,       // "ieee8021x"
    WpaPsk,           // "wpa-psk"
    Sae,              // "sae"
    Owe,              // "owe"
    WpaEap,           // "wpa-eap"
    WpaEapSuiteB192,  // "wpa-eap-suite-b-192"
    IwdOpen,          // iwd's known-network types: "open", "psk", "8021x"
    IwdPsk,
    Iwd8021x,
    Unknown,          // any other value
};

// A profile's band lock (NetworkManager's 802-11-wireless.band).
enum class ProfileBand { Any, A, Bg };

// Protocol and cipher restrictions (802-11-wireless-security.proto, pairwise,
// group) as bit sets; 0 means the profile names none, so any will do.
inline constexpr std::uint32_t kProtoWpa = 1u << 0;
inline constexpr std::uint32_t kProtoRsn = 1u << 1;
inline constexpr std::uint32_t kProfileCipherWep40 = 1u << 1;   // 00-0F-AC suite types as bits
inline constexpr std::uint32_t kProfileCipherTkip = 1u << 2;
inline constexpr std::uint32_t kProfileCipherCcmp = 1u << 4;
inline constexpr std::uint32_t kProfileCipherWep104 = 1u << 5;

struct SavedProfile {
    std::string name;           // UTF-8, as the manager names it
    std::string ssid;           // the SSID's bytes
    std::string interfaceName;  // empty: any interface
    ProfileMode mode = ProfileMode::Infrastructure;
    ProfileKeyMgmt keyMgmt = ProfileKeyMgmt::None;
    std::uint32_t protos = 0;    // kProto* bits; 0: any
    std::uint32_t pairwise = 0;  // kProfileCipher* bits; 0: any
    std::uint32_t group = 0;     // kProfileCipher* bits; 0: any
    std::string lockedAddress;   // the adapter's permanent address (bytes); empty: any adapter
    std::vector<std::string> deniedAddresses;  // adapters (6 bytes each) it must not use
    std::string bssid;           // 6 bytes: only that access point; empty: any
    ProfileBand band = ProfileBand::Any;
    std::uint32_t channel = 0;   // 0: any
    std::string path;            // its object on the bus
};

// The index of no profile.
inline constexpr std::size_t kNoProfile = static_cast<std::size_t>(-1);

// The profile an interface's connection uses, as the manager said when the
// profiles were read.
struct ActiveProfile {
    std::string interfaceName;
    std::string path;  // empty: none
};

// The profiles readable by the caller, in the manager's order, as one read
// found them.
struct ProfileSnapshot {
    enum class Source { None, NetworkManager, Iwd };
    Source source = Source::None;
    std::vector<SavedProfile> profiles;
    std::vector<ActiveProfile> active;
    // The interfaces the manager manages (NetworkManager: its managed Wi-Fi
    // devices; iwd: interfaces with a Station): its profiles apply to these
    // only. When it would not say, to every interface.
    std::vector<std::string> managedInterfaces;
    bool interfacesKnown = false;
};


}  // namespace wlanlinux
