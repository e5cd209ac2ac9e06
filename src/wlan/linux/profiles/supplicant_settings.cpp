#include "wlan/linux/profiles/supplicant_settings.h"

#include <cstdint>
#include <string>

#include "wlan/linux/profiles/profile_texts.h"

namespace wlanlinux {
namespace {

constexpr std::size_t kMaxSsidLength = 32;
constexpr std::size_t kMaxIdStrLength = 1024;

struct Token {
    std::string_view name;
    std::uint32_t bit;
};

constexpr Token kKeyMgmt[] = {
    {"NONE", kSupplicantKeyNone},
    {"WPA-PSK", kSupplicantKeyWpaPsk},
    {"WPA-EAP", kSupplicantKeyWpaEap},
    {"IEEE8021X", kSupplicantKeyIeee8021x},
    {"FT-PSK", kSupplicantKeyFtPsk},
    {"FT-EAP", kSupplicantKeyFtEap},
    {"WPA-PSK-SHA256", kSupplicantKeyPskSha256},
    {"WPA-EAP-SHA256", kSupplicantKeyEapSha256},
    {"SAE", kSupplicantKeySae},
    {"FT-SAE", kSupplicantKeyFtSae},
    {"OWE", kSupplicantKeyOwe},
    {"WPA-EAP-SUITE-B", kSupplicantKeySuiteB},
    {"WPA-EAP-SUITE-B-192", kSupplicantKeySuiteB192},
    {"WPS", kSupplicantKeyWps},
};

constexpr Token kProtos[] = {{"WPA", kProtoWpa}, {"RSN", kProtoRsn}, {"WPA2", kProtoRsn}};

// Cipher names as bits of their 00-0F-AC suite types, as the elements' suite
// sets hold them. "NONE" (pairwise: use the group cipher) is type 0.
constexpr Token kCiphers[] = {
    {"NONE", 1u << 0},     {"WEP40", 1u << 1}, {"TKIP", 1u << 2},     {"CCMP", 1u << 4},
    {"WEP104", 1u << 5},   {"GTK_NOT_USED", 1u << 7}, {"GCMP", 1u << 8}, {"GCMP-256", 1u << 9},
    {"CCMP-256", 1u << 10},
};

// A space-separated list of names as bits; a name not in the table sets
// `unknown` (0: the list is unreadable).
template <std::size_t N>
bool ReadTokens(std::string_view value, const Token (&table)[N], std::uint32_t unknown,
                std::uint32_t& bits) {
    bits = 0;
    while (!value.empty()) {
        const std::size_t end = value.find(' ');
        const std::string_view name = value.substr(0, end);
        value = end == std::string_view::npos ? std::string_view() : value.substr(end + 1);
        if (name.empty()) continue;
        std::uint32_t bit = unknown;
        for (const Token& token : table)
            if (token.name == name) bit = token.bit;
        if (bit == 0) return false;
        bits |= bit;
    }
    return true;
}

// wpa_supplicant writes a text setting in double quotes when every byte is
// printable ASCII, else as hex digits.
bool ReadText(std::string_view value, std::size_t limit, std::string& out) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
        if (value.size() - 2 > limit) return false;
        out.assign(value.substr(1, value.size() - 2));
        return true;
    }
    return value.size() / 2 <= limit && DecodeHex(value, out);
}

bool ReadAddress(std::string_view value, std::string& out) {
    if (value == "any") {
        out.clear();
        return true;
    }
    return DecodeAddress(value, out);
}

bool ReadSmallNumber(std::string_view value, unsigned& out) {
    if (value.empty() || value.size() > 3) return false;
    out = 0;
    for (char c : value) {
        if (c < '0' || c > '9') return false;
        out = out * 10 + static_cast<unsigned>(c - '0');
    }
    return true;
}

// wpa_supplicant's modes: 0 a station, 1 IBSS; the others (access point,
// P2P group, mesh) join no network that is seen.
ProfileMode ModeOf(unsigned mode) {
    if (mode == 0) return ProfileMode::Infrastructure;
    if (mode == 1) return ProfileMode::AdHoc;
    return ProfileMode::Other;
}

}  // namespace

bool ReadSupplicantSetting(std::string_view name, std::string_view value, SavedProfile& profile) {
    unsigned number = 0;
    if (name == "ssid") return ReadText(value, kMaxSsidLength, profile.ssid);
    if (name == "id_str") return ReadText(value, kMaxIdStrLength, profile.name);
    if (name == "key_mgmt")
        return ReadTokens(value, kKeyMgmt, kSupplicantKeyOther, profile.supplicantKeyMgmt);
    if (name == "proto") return ReadTokens(value, kProtos, 0, profile.protos);
    if (name == "pairwise") return ReadTokens(value, kCiphers, 0, profile.pairwise);
    if (name == "group") return ReadTokens(value, kCiphers, 0, profile.group);
    if (name == "bssid") return ReadAddress(value, profile.bssid);
    if (name == "mode") {
        // A disabled=2 read before it keeps the record out of every match.
        if (!ReadSmallNumber(value, number)) return false;
        if (profile.mode != ProfileMode::Other) profile.mode = ModeOf(number);
        return true;
    }
    if (name == "disabled") {
        // 2: a P2P persistent group's record, never a network to join.
        if (!ReadSmallNumber(value, number)) return false;
        profile.disabled = number != 0;
        if (number == 2) profile.mode = ProfileMode::Other;
        return true;
    }
    if (name.size() == 8 && name.substr(0, 7) == "wep_key" && name[7] >= '0' && name[7] <= '3') {
        // The control socket answers "*" for a key that is set and never the key.
        profile.wepKeys = profile.wepKeys || !value.empty();
        return true;
    }
    return true;
}

void FinishSupplicantProfile(SavedProfile& profile) {
    profile.keyMgmt = ProfileKeyMgmt::Supplicant;
    if (profile.supplicantKeyMgmt == 0)
        profile.supplicantKeyMgmt = kSupplicantKeyWpaPsk | kSupplicantKeyWpaEap;
    if (profile.name.empty()) profile.name = profile.ssid;
}

}  // namespace wlanlinux
