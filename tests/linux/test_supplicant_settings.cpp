// wpa_supplicant's setting texts read into a profile, one row per case: the
// settings in the order given, then the finished profile in short, or "" when
// a setting is unreadable.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "wlan/linux/profiles/supplicant_settings.h"

namespace {

// "name|ssid|key_mgmt bits|mode|bssid bytes|d(isabled)|w(ep keys)", bytes as hex.
std::string Read(const std::vector<std::pair<const char*, std::string>>& settings) {
    wlanlinux::SavedProfile profile;
    for (const auto& [name, value] : settings)
        if (!wlanlinux::ReadSupplicantSetting(name, value, profile)) return "";
    wlanlinux::FinishSupplicantProfile(profile);
    const auto hex = [](const std::string& bytes) {
        std::string out;
        char digits[3];
        for (const unsigned char c : bytes) {
            std::snprintf(digits, sizeof digits, "%02x", c);
            out += digits;
        }
        return out;
    };
    return profile.name + "|" + hex(profile.ssid) + "|" + std::to_string(profile.supplicantKeyMgmt) +
           "|" + std::to_string(static_cast<int>(profile.mode)) + "|" + hex(profile.bssid) + "|" +
           (profile.disabled ? "d" : "") + (profile.wepKeys ? "w" : "");
}

struct Case {
    const char* what;
    std::vector<std::pair<const char*, std::string>> settings;
    std::string expected;
};

const Case kCases[] = {
    {"quoted SSID, default key_mgmt", {{"ssid", "\"ab\""}}, "ab|6162|6|1||"},
    {"hex SSID", {{"ssid", "68e282ac"}}, "h\xe2\x82\xac|68e282ac|6|1||"},
    {"odd hex", {{"ssid", "616"}}, ""},
    {"not hex", {{"ssid", "6g"}}, ""},
    {"32 bytes", {{"ssid", std::string(64, '6')}}, std::string(32, 'f') + "|" + std::string(64, '6') + "|6|1||"},
    {"33 bytes", {{"ssid", "\"" + std::string(33, 'a') + "\""}}, ""},
    {"id_str names it", {{"ssid", "\"ab\""}, {"id_str", "\"office\""}}, "office|6162|6|1||"},
    {"unknown key_mgmt name", {{"key_mgmt", "WPA-PSK  FILS-SHA256"}}, "||2147483650|1||"},
    {"unknown proto", {{"proto", "RSN OSEN"}}, ""},
    {"bssid", {{"bssid", "0A:00:00:00:00:fe"}}, "||6|1|0a00000000fe|"},
    {"bssid any", {{"bssid", "any"}}, "||6|1||"},
    {"bssid short", {{"bssid", "0a:00:00:00:00"}}, ""},
    {"IBSS", {{"mode", "1"}}, "||6|2||"},
    {"access point", {{"mode", "2"}}, "||6|3||"},
    {"mode not a number", {{"mode", "-1"}}, ""},
    {"disabled", {{"disabled", "1"}}, "||6|1||d"},
    {"persistent group, mode after it", {{"disabled", "2"}, {"mode", "0"}}, "||6|3||d"},
    {"WEP key set", {{"wep_key1", "*"}, {"wep_key2", ""}}, "||6|1||w"},
};

TEST(SupplicantSettings, Table) {
    for (const Case& c : kCases) EXPECT_EQ(Read(c.settings), c.expected) << c.what;
}

}  // namespace
