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
    Supplicant,       // wpa_supplicant: SavedProfile::supplicantKeyMgmt holds its key_mgmt
    ConnManNone,      // ConnMan's service security: "none", "wep", "psk", "ieee8021x"
    ConnManWep,
    ConnManPsk,
    ConnMan8021x,
    Unknown,          // any other value
};

// wpa_supplicant's key_mgmt, a set of its names, as bits.
inline constexpr std::uint32_t kSupplicantKeyNone = 1u << 0;         // NONE
inline constexpr std::uint32_t kSupplicantKeyWpaPsk = 1u << 1;       // WPA-PSK
inline constexpr std::uint32_t kSupplicantKeyWpaEap = 1u << 2;       // WPA-EAP
inline constexpr std::uint32_t kSupplicantKeyIeee8021x = 1u << 3;    // IEEE8021X
inline constexpr std::uint32_t kSupplicantKeyFtPsk = 1u << 4;        // FT-PSK
inline constexpr std::uint32_t kSupplicantKeyFtEap = 1u << 5;        // FT-EAP
inline constexpr std::uint32_t kSupplicantKeyPskSha256 = 1u << 6;    // WPA-PSK-SHA256
inline constexpr std::uint32_t kSupplicantKeyEapSha256 = 1u << 7;    // WPA-EAP-SHA256
inline constexpr std::uint32_t kSupplicantKeySae = 1u << 8;          // SAE
inline constexpr std::uint32_t kSupplicantKeyFtSae = 1u << 9;        // FT-SAE
inline constexpr std::uint32_t kSupplicantKeyOwe = 1u << 10;         // OWE
inline constexpr std::uint32_t kSupplicantKeySuiteB = 1u << 11;      // WPA-EAP-SUITE-B
inline constexpr std::uint32_t kSupplicantKeySuiteB192 = 1u << 12;   // WPA-EAP-SUITE-B-192
inline constexpr std::uint32_t kSupplicantKeyWps = 1u << 13;         // WPS
inline constexpr std::uint32_t kSupplicantKeyOther = 1u << 31;       // a name we do not know

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
    std::string path;            // its object on the bus (wpa_supplicant's control socket: its id)
    // wpa_supplicant only: its key_mgmt (kSupplicantKey* bits), and whether
    // WEP keys are set (its control socket says so; its bus never does).
    std::uint32_t supplicantKeyMgmt = 0;
    bool wepKeys = false;
    bool wepKeysUnknown = false;  // read over its bus: none given, maybe some set
    bool disabled = false;       // wpa_supplicant's disabled=1: saved, not used to connect
};

// The index of no profile.
inline constexpr std::size_t kNoProfile = static_cast<std::size_t>(-1);

// The profile an interface's connection uses, as the manager said when the
// profiles were read.
struct ActiveProfile {
    std::string interfaceName;
    std::string path;  // empty: none
};

// An interface's state as its manager names it (iwd's Station.State,
// ConnMan's service State, wpa_supplicant's State or wpa_state), unread.
struct ManagerState {
    std::string interfaceName;
    std::string state;
};

// The profiles readable by the caller, in the manager's order, as one read
// found them.
struct ProfileSnapshot {
    enum class Source { None, NetworkManager, Iwd, ConnMan, WpaSupplicant };
    Source source = Source::None;
    std::vector<SavedProfile> profiles;
    std::vector<ActiveProfile> active;
    // The interfaces the manager manages (NetworkManager: its managed Wi-Fi
    // devices; iwd: interfaces with a Station): its profiles apply to these
    // only. When it would not say, to every interface.
    std::vector<std::string> managedInterfaces;
    bool interfacesKnown = false;
    // The managed interfaces' states, where the manager names one (not
    // NetworkManager's: its device states are read on their own).
    std::vector<ManagerState> states;
};

}  // namespace wlanlinux
