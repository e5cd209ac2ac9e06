// wpa_supplicant's control-socket replies read into facts: LIST_NETWORKS,
// GET_NETWORK and STATUS. Parsing only; every reply is untrusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace wlanlinux {

// One line of LIST_NETWORKS: "id\tssid\tbssid\tflags". The SSID there is
// escaped and may be cut, so it is not kept.
struct ListedNetwork {
    std::uint32_t id = 0;
    std::string bssid;       // the column as written: "any" or a MAC address
    bool current = false;    // [CURRENT]
    bool disabled = false;   // [DISABLED]
    bool persistentGroup = false;  // [P2P-PERSISTENT]: a P2P group's record (disabled=2)
};

// Adds the networks of one LIST_NETWORKS reply (or page) to `networks`,
// skipping ids already there, until it holds `limit`. A line that is not
// whole (no newline), holds a NUL, is longer than any wpa_supplicant writes
// or has a field it cannot read is skipped. False when the reply is not a
// list (no header line): FAIL, UNKNOWN COMMAND, anything else.
bool ParseNetworkList(std::string_view reply, std::size_t limit, std::vector<ListedNetwork>& networks);

// The id of a LIST_NETWORKS line, STATUS's id=: decimal, 0 to INT32_MAX.
bool ParseNetworkId(std::string_view text, std::uint32_t& id);

// A GET_NETWORK reply: the value, or none when the setting is not set (FAIL).
enum class SettingReply { Value, NotSet, Malformed };
// Malformed: a byte outside printable ASCII (wpa_supplicant writes other
// texts as hex digits, and ends no value with a newline).
SettingReply ParseSettingReply(std::string_view reply);

// What STATUS says of the interface.
struct SupplicantStatus {
    std::string state;  // wpa_state in lower case ("completed", "scanning"); empty: none
    bool hasId = false; // id=: the network it uses or is joining
    std::uint32_t id = 0;
};
SupplicantStatus ParseStatus(std::string_view reply);

}  // namespace wlanlinux
