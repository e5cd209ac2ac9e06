// wpa_supplicant's control-socket replies as any bytes: the list, status and
// setting parsers, and a setting's value read into a profile as the reader
// reads it, under each name.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "wlan/linux/control/control_replies.h"
#include "wlan/linux/profiles/supplicant_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wlanlinux;
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    std::vector<ListedNetwork> networks;
    (void)ParseNetworkList(reply, 1024, networks);
    (void)ParseStatus(reply);
    if (ParseSettingReply(reply) != SettingReply::Value) return 0;
    SavedProfile profile;
    for (const char* name : {"ssid", "id_str", "key_mgmt", "proto", "pairwise", "group", "mode", "bssid",
                             "disabled", "wep_key0"})
        (void)ReadSupplicantSetting(name, reply, profile);
    FinishSupplicantProfile(profile);
    return 0;
}
