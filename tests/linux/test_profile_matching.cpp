// Which saved profile applies to which BSS, one row per case. The answers are
// the managers' own: NetworkManager 1.42's compatibility check over the flags
// it builds from wpa_supplicant's reading of the BSS, iwd 2.3's security of a
// BSS against a known network's type, ConnMan 1.41's security and mode of a
// BSS against a service's, and wpa_supplicant 2.10's network selection. Rows
// marked Stricter are the ones where NetworkManager says yes and we say no.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "wlan/linux/platform/profile_matching.h"

using wlanlinux::BssMatchFacts;
using wlanlinux::ProfileBand;
using wlanlinux::SavedProfile;
using wlanlinux::SuiteSets;
using K = wlanlinux::ProfileKeyMgmt;
using M = wlanlinux::ProfileMode;

namespace {

constexpr std::uint32_t B(int type) { return 1u << type; }  // a suite type's bit
constexpr std::uint32_t kTkip = wlanlinux::kProfileCipherTkip;
constexpr std::uint32_t kCcmp = wlanlinux::kProfileCipherCcmp;

const std::string kAdapter("\2\0\0\0\0\1", 6), kOtherAdapter("\2\0\0\0\0\2", 6);
const std::string kAp("\x0a\0\0\0\0\1", 6), kOtherAp("\x0a\0\0\0\0\2", 6);

// A BSS of kAp on 2437 MHz, named by a literal (which outlives the rows).
BssMatchFacts Net(bool privacy, std::optional<SuiteSets> rsn = {}, std::optional<SuiteSets> wpa = {},
                  std::string_view ssid = "net") {
    BssMatchFacts bss{.ssid = reinterpret_cast<const std::uint8_t*>(ssid.data()), .ssidLength = ssid.size(),
                      .frequencyMhz = 2437, .privacy = privacy, .rsn = rsn, .wpa = wpa};
    std::memcpy(bss.bssid, kAp.data(), 6);
    return bss;
}
BssMatchFacts Open() { return Net(false); }
BssMatchFacts Wep() { return Net(true); }
// AKM suite types as bits; RSN defaults to CCMP, WPA to TKIP.
BssMatchFacts Rsn(std::uint32_t akms, std::uint32_t pairwise = kCcmp, std::uint32_t group = kCcmp) {
    return Net(true, SuiteSets{group, pairwise, akms});
}
BssMatchFacts Wpa(std::uint32_t akms, std::uint32_t pairwise = kTkip) {
    return Net(true, {}, SuiteSets{kTkip, pairwise, akms});
}
BssMatchFacts Both(BssMatchFacts rsn, const BssMatchFacts& wpa) { rsn.wpa = wpa.wpa; return rsn; }
BssMatchFacts OweTm(BssMatchFacts bss) { bss.oweTransition = true; return bss; }
BssMatchFacts AdHoc(BssMatchFacts bss) { bss.adhoc = true; return bss; }
BssMatchFacts At(std::uint32_t mhz) { BssMatchFacts bss = Open(); bss.frequencyMhz = mhz; return bss; }
BssMatchFacts Named(std::string_view ssid) { return Net(false, {}, {}, ssid); }

// What a profile names besides its key management and mode.
struct Extra {
    std::uint32_t protos = 0, pairwise = 0, group = 0;
    std::string bssid = "";
    ProfileBand band = ProfileBand::Any;
    std::uint32_t channel = 0;
    std::string interfaceName = "", locked = "";
    std::vector<std::string> denied = {};
    bool noPermanentAddress = false;  // the adapter's address unknown
    std::string ssid = "net";
    std::uint32_t keyMgmt = 0;  // wpa_supplicant's key_mgmt bits
    int wepKeys = 0;            // its WEP keys: 0 none, 1 set, -1 unknown (its bus)
};

enum Answer { No, Yes, Stricter };

// What a row shows, the BSS, the profile's key management, mode and the rest, and the answer.
using Row = std::tuple<const char*, BssMatchFacts, K, M, Extra, Answer>;

constexpr auto I = M::Infrastructure;
constexpr std::uint32_t kWpa = wlanlinux::kProtoWpa, kRsn = wlanlinux::kProtoRsn;
constexpr auto S = K::Supplicant;
constexpr std::uint32_t kNone = wlanlinux::kSupplicantKeyNone, kPsk = wlanlinux::kSupplicantKeyWpaPsk,
                        kEap = wlanlinux::kSupplicantKeyWpaEap, kSae = wlanlinux::kSupplicantKeySae,
                        kOwe = wlanlinux::kSupplicantKeyOwe, kDot1x = wlanlinux::kSupplicantKeyIeee8021x;

}  // namespace

TEST(ProfileMatching, AsEachManagerMatches) {
    const Row rows[] = {
        // NetworkManager: security
        {"open, no security settings", Open(), K::None, I, {}, Yes},
        {"open, wpa-psk", Open(), K::WpaPsk, I, {}, No},
        {"open, owe", Open(), K::Owe, I, {}, No},
        {"OWE transition's open SSID, no security", OweTm(Open()), K::None, I, {}, Yes},
        {"OWE transition's open SSID, owe", OweTm(Open()), K::Owe, I, {}, Yes},
        {"OWE transition's OWE BSS, owe", OweTm(Rsn(B(18))), K::Owe, I, {}, Yes},
        {"OWE transition's OWE BSS, no security", OweTm(Rsn(B(18))), K::None, I, {}, No},
        {"OWE, owe", Rsn(B(18)), K::Owe, I, {}, Yes},
        {"WEP, static WEP", Wep(), K::StaticWep, I, {}, Yes},
        {"WEP, dynamic WEP", Wep(), K::DynamicWep, I, {}, Yes},
        {"WEP, no security", Wep(), K::None, I, {}, No},
        {"RSN-PSK, static WEP", Rsn(B(2)), K::StaticWep, I, {}, No},
        {"RSN-PSK, dynamic WEP (NetworkManager ignores RSN)", Rsn(B(2)), K::DynamicWep, I, {}, Stricter},
        {"WPA-PSK, dynamic WEP", Wpa(B(2)), K::DynamicWep, I, {}, No},
        {"RSN-PSK, wpa-psk", Rsn(B(2)), K::WpaPsk, I, {}, Yes},
        {"RSN-PSK, sae: a downgraded twin", Rsn(B(2)), K::Sae, I, {}, No},
        {"SAE, sae", Rsn(B(8)), K::Sae, I, {}, Yes},
        {"SAE, wpa-psk", Rsn(B(8)), K::WpaPsk, I, {}, No},
        {"PSK+SAE transition, wpa-psk", Rsn(B(2) | B(8)), K::WpaPsk, I, {}, Yes},
        {"PSK+SAE transition, sae", Rsn(B(2) | B(8)), K::Sae, I, {}, Yes},
        {"FT-PSK alone, wpa-psk", Rsn(B(4)), K::WpaPsk, I, {}, Yes},
        {"PSK-SHA256 alone, wpa-psk", Rsn(B(6)), K::WpaPsk, I, {}, Yes},
        {"FT-SAE alone, sae", Rsn(B(9)), K::Sae, I, {}, Yes},
        {"SAE-EXT-KEY alone, sae", Rsn(B(24), B(9), B(9)), K::Sae, I, {}, No},
        {"SAE-EXT-KEY alone, static WEP (NetworkManager reads no flags)", Rsn(B(24), B(9), B(9)),
         K::StaticWep, I, {}, Stricter},
        {"802.1X, wpa-eap", Rsn(B(1)), K::WpaEap, I, {}, Yes},
        {"802.1X, wpa-eap-suite-b-192", Rsn(B(1)), K::WpaEapSuiteB192, I, {}, No},
        {"Suite B 192, wpa-eap", Rsn(B(12), B(9), B(9)), K::WpaEap, I, {}, No},
        {"Suite B 192, wpa-eap-suite-b-192", Rsn(B(12), B(9), B(9)), K::WpaEapSuiteB192, I, {}, Yes},
        {"802.1X-SHA256, wpa-eap", Rsn(B(5)), K::WpaEap, I, {}, Yes},
        {"Suite B (11), wpa-eap", Rsn(B(11)), K::WpaEap, I, {}, No},
        {"FILS-SHA256, wpa-eap", Rsn(B(14)), K::WpaEap, I, {}, Yes},
        {"RSN-PSK, owe", Rsn(B(2)), K::Owe, I, {}, No},
        {"RSN-PSK, unknown key-mgmt", Rsn(B(2)), K::Unknown, I, {}, No},
        {"WPA-PSK alone, wpa-psk", Wpa(B(2)), K::WpaPsk, I, {}, Yes},
        {"WPA-PSK alone, proto rsn (NetworkManager ignores proto)", Wpa(B(2)), K::WpaPsk, I,
         {.protos = kRsn}, Stricter},
        {"WPA-PSK alone, proto wpa", Wpa(B(2)), K::WpaPsk, I, {.protos = kWpa}, Yes},
        {"WPA TKIP + RSN CCMP, pairwise tkip", Both(Rsn(B(2)), Wpa(B(2))), K::WpaPsk, I, {.pairwise = kTkip}, Yes},
        {"WPA TKIP + RSN CCMP, proto rsn, pairwise tkip", Both(Rsn(B(2)), Wpa(B(2))), K::WpaPsk, I,
         {.protos = kRsn, .pairwise = kTkip}, Stricter},
        {"RSN CCMP, pairwise tkip", Rsn(B(2)), K::WpaPsk, I, {.pairwise = kTkip}, No},
        {"RSN CCMP, pairwise tkip ccmp", Rsn(B(2)), K::WpaPsk, I, {.pairwise = kTkip | kCcmp}, Yes},
        {"RSN CCMP, pairwise wep40 only", Rsn(B(2)), K::WpaPsk, I, {.pairwise = B(1)}, No},
        {"RSN CCMP, group tkip", Rsn(B(2)), K::WpaPsk, I, {.group = kTkip}, No},
        {"RSN GCMP-256 only, pairwise ccmp", Rsn(B(2), B(9), B(9)), K::WpaPsk, I, {.pairwise = kCcmp}, No},
        {"RSN GCMP-256 only, no ciphers named", Rsn(B(2), B(9), B(9)), K::WpaPsk, I, {}, Yes},
        // NetworkManager: mode
        {"ad hoc RSN-PSK CCMP, ad hoc wpa-psk ccmp", AdHoc(Rsn(B(2))), K::WpaPsk, M::AdHoc,
         {.pairwise = kCcmp, .group = kCcmp}, Yes},
        {"ad hoc RSN-PSK TKIP, ad hoc wpa-psk ccmp", AdHoc(Rsn(B(2), kTkip, kTkip)), K::WpaPsk,
         M::AdHoc, {.pairwise = kCcmp, .group = kCcmp}, No},
        {"ad hoc RSN-PSK, ad hoc sae", AdHoc(Rsn(B(2))), K::Sae, M::AdHoc, {}, No},
        {"ad hoc SAE, ad hoc sae", AdHoc(Rsn(B(8))), K::Sae, M::AdHoc, {}, No},
        {"ad hoc WPA-PSK, ad hoc wpa-psk: RSN needed", AdHoc(Wpa(B(2))), K::WpaPsk, M::AdHoc, {}, No},
        {"ad hoc WEP, ad hoc static WEP", AdHoc(Wep()), K::StaticWep, M::AdHoc, {}, Yes},
        {"ad hoc WEP, ad hoc dynamic WEP", AdHoc(Wep()), K::DynamicWep, M::AdHoc, {}, No},
        {"ad hoc open, no mode: any", AdHoc(Open()), K::None, M::Unspecified, {}, Yes},
        {"ad hoc RSN-PSK, no mode", AdHoc(Rsn(B(2))), K::WpaPsk, M::Unspecified, {}, Yes},
        {"ad hoc open, infrastructure", AdHoc(Open()), K::None, I, {}, No},
        {"open, ad hoc", Open(), K::None, M::AdHoc, {}, No},
        {"open, access point or mesh profile", Open(), K::None, M::Other, {}, No},
        // NetworkManager: access point, band, channel, adapter, SSID
        {"bssid of this AP", Open(), K::None, I, {.bssid = kAp}, Yes},
        {"bssid of another AP", Open(), K::None, I, {.bssid = kOtherAp}, No},
        {"band a on 5180 MHz", At(5180), K::None, I, {.band = ProfileBand::A}, Yes},
        {"band a on 2437 MHz", At(2437), K::None, I, {.band = ProfileBand::A}, No},
        {"band a on 5865 MHz (above NetworkManager's 5825)", At(5865), K::None, I, {.band = ProfileBand::A}, No},
        {"band bg on 2484 MHz", At(2484), K::None, I, {.band = ProfileBand::Bg}, Yes},
        {"channel 36 on 5180 MHz", At(5180), K::None, I, {.channel = 36}, Yes},
        {"channel 6 on 2437 MHz", At(2437), K::None, I, {.channel = 6}, Yes},
        {"channel 6 on 2412 MHz", At(2412), K::None, I, {.channel = 6}, No},
        {"channel 1 on 6 GHz channel 1", At(5955), K::None, I, {.channel = 1}, No},
        {"interface-name of this interface", Open(), K::None, I, {.interfaceName = "wlan0"}, Yes},
        {"interface-name of another", Open(), K::None, I, {.interfaceName = "wlan1"}, No},
        {"mac-address of this adapter", Open(), K::None, I, {.locked = kAdapter}, Yes},
        {"mac-address of another adapter", Open(), K::None, I, {.locked = kOtherAdapter}, No},
        {"mac-address, adapter address unknown", Open(), K::None, I,
         {.locked = kAdapter, .noPermanentAddress = true}, No},
        {"denylist names this adapter", Open(), K::None, I, {.denied = {kOtherAp, kAdapter}}, No},
        {"denylist names another adapter", Open(), K::None, I, {.denied = {kOtherAp, kOtherAdapter}}, Yes},
        {"denylist, adapter address unknown", Open(), K::None, I,
         {.denied = {kOtherAp, kAdapter}, .noPermanentAddress = true}, Yes},
        {"another SSID", Open(), K::None, I, {.ssid = "Net"}, No},
        {"hidden: no SSID", Named(""), K::None, I, {.ssid = ""}, No},
        {"hidden: NUL bytes", Named({"\0\0\0", 3}), K::None, I, {.ssid = std::string(3, '\0')}, No},
        // iwd: known network types against the BSS's security
        {"iwd: open, open", Open(), K::IwdOpen, I, {}, Yes},
        {"iwd: OWE, open", Rsn(B(18)), K::IwdOpen, I, {}, Yes},
        {"iwd: OWE transition's open SSID, open", OweTm(Open()), K::IwdOpen, I, {}, Yes},
        {"iwd: WEP is not listed", Wep(), K::IwdOpen, I, {}, No},
        {"iwd: RSN-PSK, psk", Rsn(B(2)), K::IwdPsk, I, {}, Yes},
        {"iwd: SAE, psk", Rsn(B(8)), K::IwdPsk, I, {}, Yes},
        {"iwd: FT-SAE, psk", Rsn(B(9)), K::IwdPsk, I, {}, Yes},
        {"iwd: 802.1X, 8021x", Rsn(B(1)), K::Iwd8021x, I, {}, Yes},
        {"iwd: 802.1X, psk", Rsn(B(1)), K::IwdPsk, I, {}, No},
        {"iwd: PSK and 802.1X in one RSN is psk", Rsn(B(1) | B(2)), K::Iwd8021x, I, {}, No},
        {"iwd: Suite B 192 is none of its types", Rsn(B(12)), K::Iwd8021x, I, {}, No},
        {"iwd: FILS is none of its types", Rsn(B(14)), K::Iwd8021x, I, {}, No},
        {"iwd: WPA-PSK alone, psk", Wpa(B(2)), K::IwdPsk, I, {}, Yes},
        {"iwd: RSN 802.1X + WPA PSK reads RSN", Both(Rsn(B(1)), Wpa(B(2))), K::IwdPsk, I, {}, No},
        {"iwd: ad hoc open", AdHoc(Open()), K::IwdOpen, M::Unspecified, {}, No},
        // ConnMan: the same network read by each kind, then what its supplicant layer makes of suites
        {"ConnMan: RSN-PSK, psk", Rsn(B(2)), K::ConnManPsk, I, {}, Yes},
        {"ConnMan: RSN-PSK, none", Rsn(B(2)), K::ConnManNone, I, {}, No},
        {"ConnMan: RSN-PSK, wep", Rsn(B(2)), K::ConnManWep, I, {}, No},
        {"ConnMan: RSN-PSK, ieee8021x", Rsn(B(2)), K::ConnMan8021x, I, {}, No},
        {"ConnMan: WPA/WPA2 mixed, psk", Both(Rsn(B(2)), Wpa(B(2))), K::ConnManPsk, I, {}, Yes},
        {"ConnMan: WPA-PSK alone, psk", Wpa(B(2)), K::ConnManPsk, I, {}, Yes},
        {"ConnMan: RSN 802.1X + WPA PSK, ieee8021x", Both(Rsn(B(1)), Wpa(B(2))), K::ConnMan8021x, I, {}, Yes},
        {"ConnMan: PSK and 802.1X in one RSN, psk", Rsn(B(1) | B(2)), K::ConnManPsk, I, {}, No},
        {"ConnMan: FT-802.1X alone, ieee8021x", Rsn(B(3)), K::ConnMan8021x, I, {}, Yes},
        {"ConnMan: PSK-SHA256 alone, psk", Rsn(B(6)), K::ConnManPsk, I, {}, Yes},
        {"ConnMan: SAE-only, psk", Rsn(B(8)), K::ConnManPsk, I, {}, Yes},
        {"ConnMan: FT-SAE alone is wep", Rsn(B(9)), K::ConnManWep, I, {}, Yes},
        {"ConnMan: OWE is wep", Rsn(B(18)), K::ConnManWep, I, {}, Yes},
        {"ConnMan: OWE, none", Rsn(B(18)), K::ConnManNone, I, {}, No},
        {"ConnMan: OWE transition's open SSID, none", OweTm(Open()), K::ConnManNone, I, {}, Yes},
        {"ConnMan: WEP, wep", Wep(), K::ConnManWep, I, {}, Yes},
        {"ConnMan: open, none", Open(), K::ConnManNone, I, {}, Yes},
        {"ConnMan: ad hoc WEP, adhoc wep", AdHoc(Wep()), K::ConnManWep, M::AdHoc, {}, Yes},
        {"ConnMan: ad hoc WEP, managed wep", AdHoc(Wep()), K::ConnManWep, I, {}, No},
        {"ConnMan: WEP, adhoc wep", Wep(), K::ConnManWep, M::AdHoc, {}, No},
        {"ConnMan: open, another interface's service", Open(), K::ConnManNone, I, {.interfaceName = "wlan1"}, No},
        {"ConnMan: an SSID that starts with a NUL byte is hidden", Named({"\0ab", 3}),
         K::ConnManNone, I, {.ssid = std::string("\0ab", 3)}, No},
        // wpa_supplicant 2.10: its network selection; no proto or cipher named is its default
        {"wpa_supplicant: default key_mgmt, RSN 802.1X", Rsn(B(1)), S, I, {.keyMgmt = kPsk | kEap}, Yes},
        {"wpa_supplicant: WPA-PSK, SAE-only", Rsn(B(8)), S, I, {.keyMgmt = kPsk}, No},
        {"wpa_supplicant: WPA-PSK, FT-PSK alone", Rsn(B(4)), S, I, {.keyMgmt = kPsk}, No},
        {"wpa_supplicant: WPA-PSK SAE, SAE-only", Rsn(B(8)), S, I, {.keyMgmt = kPsk | kSae}, Yes},
        {"wpa_supplicant: WPA-EAP, WPA-PSK alone", Wpa(B(2)), S, I, {.keyMgmt = kEap}, No},
        {"wpa_supplicant: proto RSN, WPA alone", Wpa(B(2)), S, I, {.protos = kRsn, .keyMgmt = kPsk}, No},
        {"wpa_supplicant: pairwise CCMP, WPA TKIP alone", Wpa(B(2)), S, I, {.pairwise = kCcmp, .keyMgmt = kPsk}, No},
        {"wpa_supplicant: proto RSN pairwise TKIP, WPA TKIP + RSN CCMP", Both(Rsn(B(2)), Wpa(B(2))), S, I,
         {.protos = kRsn, .pairwise = kTkip, .keyMgmt = kPsk}, No},
        {"wpa_supplicant: pairwise TKIP, WPA TKIP + RSN CCMP", Both(Rsn(B(2)), Wpa(B(2))), S, I,
         {.pairwise = kTkip, .keyMgmt = kPsk}, Yes},
        {"wpa_supplicant: default ciphers, RSN GCMP-256 only", Rsn(B(2), B(9), B(9)), S, I, {.keyMgmt = kPsk}, No},
        {"wpa_supplicant: Suite B 192 with GCMP-256", Rsn(B(12), B(9), B(9)), S, I,
         {.pairwise = B(9), .group = B(9), .keyMgmt = wlanlinux::kSupplicantKeySuiteB192}, Yes},
        {"wpa_supplicant: a key_mgmt name unknown, RSN-PSK", Rsn(B(2)), S, I,
         {.keyMgmt = wlanlinux::kSupplicantKeyOther}, No},
        {"wpa_supplicant: OWE, OWE", Rsn(B(18)), S, I, {.keyMgmt = kOwe}, Yes},
        {"wpa_supplicant: OWE, open (owe_only unset)", Open(), S, I, {.keyMgmt = kOwe}, Yes},
        {"wpa_supplicant: NONE, open", Open(), S, I, {.keyMgmt = kNone}, Yes},
        {"wpa_supplicant: NONE without keys, WEP", Wep(), S, I, {.keyMgmt = kNone}, No},
        {"wpa_supplicant: NONE with keys, WEP", Wep(), S, I, {.keyMgmt = kNone, .wepKeys = 1}, Yes},
        {"wpa_supplicant: NONE with keys, RSN with a WEP group", Rsn(B(2), kTkip, B(1)), S, I,
         {.keyMgmt = kNone, .wepKeys = 1}, No},
        {"wpa_supplicant: NONE, keys unknown, WEP", Wep(), S, I, {.keyMgmt = kNone, .wepKeys = -1}, Yes},
        {"wpa_supplicant: NONE, keys unknown, open", Open(), S, I, {.keyMgmt = kNone, .wepKeys = -1}, Yes},
        {"wpa_supplicant: NONE, keys unknown, RSN-PSK", Rsn(B(2)), S, I, {.keyMgmt = kNone, .wepKeys = -1}, No},
        {"wpa_supplicant: IEEE8021X, WEP", Wep(), S, I, {.keyMgmt = kDot1x}, Yes},
        {"wpa_supplicant: IEEE8021X, open", Open(), S, I, {.keyMgmt = kDot1x}, No},
        {"wpa_supplicant: IEEE8021X, RSN with a WEP group", Rsn(B(1), kTkip, B(1)), S, I, {.keyMgmt = kDot1x}, Yes},
        {"wpa_supplicant: IEEE8021X, RSN 802.1X CCMP: it needs no element", Rsn(B(1)), S, I, {.keyMgmt = kDot1x}, Yes},
        {"wpa_supplicant: WPS alone, open", Open(), S, I, {.keyMgmt = wlanlinux::kSupplicantKeyWps}, No},
        {"wpa_supplicant: IBSS with keys, ad hoc WEP", AdHoc(Wep()), S, M::AdHoc,
         {.keyMgmt = kNone, .wepKeys = 1}, Yes},
        {"wpa_supplicant: IBSS WPA-PSK, ad hoc open", AdHoc(Open()), S, M::AdHoc, {.keyMgmt = kPsk}, No},
        {"wpa_supplicant: station, ad hoc open", AdHoc(Open()), S, I, {.keyMgmt = kNone}, No},
        {"wpa_supplicant: AP or disabled=2", Open(), S, M::Other, {.keyMgmt = kNone}, No},
        {"wpa_supplicant: bssid of this AP", Open(), S, I, {.bssid = kAp, .keyMgmt = kNone}, Yes},
        {"wpa_supplicant: bssid of another AP", Open(), S, I, {.bssid = kOtherAp, .keyMgmt = kNone}, No},
    };
    const auto* address = reinterpret_cast<const std::uint8_t*>(kAdapter.data());
    for (const auto& [what, bss, key, mode, e, expected] : rows) {
        const SavedProfile profile{.name = "", .ssid = e.ssid, .interfaceName = e.interfaceName, .mode = mode,
                                   .keyMgmt = key, .protos = e.protos, .pairwise = e.pairwise, .group = e.group,
                                   .lockedAddress = e.locked, .deniedAddresses = e.denied, .bssid = e.bssid,
                                   .band = e.band, .channel = e.channel, .path = "", .supplicantKeyMgmt = e.keyMgmt,
                                   .wepKeys = e.wepKeys == 1, .wepKeysUnknown = e.wepKeys == -1};
        const wlanlinux::ProfileInterface target{"wlan0", e.noPermanentAddress ? nullptr : address};
        EXPECT_EQ(wlanlinux::ProfileMatchesBss(profile, bss, target), expected == Yes) << what;
    }
}
