#include "wlan/linux/control/control_replies.h"

#include <algorithm>

namespace wlanlinux {
namespace {

constexpr std::string_view kListHeader = "network id / ssid / bssid / flags";
// The longest line wpa_supplicant writes is about 210 bytes: a ten-digit id, a
// 32-byte SSID escaped as \xNN each, a BSSID and four flags.
constexpr std::size_t kMaxListLine = 512;
constexpr std::size_t kMaxStateLength = 32;

// The text before the next `end` (a line before its newline, a field before
// its tab), taken off `rest`; false when there is none: a last line without
// its newline is not whole.
bool TakeUntil(std::string_view& rest, char end, std::string_view& part) {
    const std::size_t at = rest.find(end);
    if (at == std::string_view::npos) return false;
    part = rest.substr(0, at);
    rest.remove_prefix(at + 1);
    return true;
}

bool ReadListLine(std::string_view line, ListedNetwork& network) {
    std::string_view id, ssid, bssid;
    if (line.size() > kMaxListLine || line.find('\0') != std::string_view::npos ||
        !TakeUntil(line, '\t', id) || !TakeUntil(line, '\t', ssid) || !TakeUntil(line, '\t', bssid) ||
        line.find('\t') != std::string_view::npos)
        return false;
    if (!ParseNetworkId(id, network.id) || (bssid != "any" && bssid.size() != 17)) return false;
    network.bssid.assign(bssid);
    network.current = line.find("[CURRENT]") != std::string_view::npos;
    network.disabled = line.find("[DISABLED]") != std::string_view::npos;
    network.persistentGroup = line.find("[P2P-PERSISTENT]") != std::string_view::npos;
    return true;
}

bool ReadState(std::string_view value, std::string& state) {
    if (value.empty() || value.size() > kMaxStateLength) return false;
    for (const char c : value)
        if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    state.assign(value);
    for (char& c : state)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return true;
}

}  // namespace

bool ParseNetworkId(std::string_view text, std::uint32_t& id) {
    if (text.empty() || text.size() > 10) return false;
    std::uint64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    }
    if (value > 0x7fffffff) return false;
    id = static_cast<std::uint32_t>(value);
    return true;
}

bool ParseNetworkList(std::string_view reply, std::size_t limit, std::vector<ListedNetwork>& networks) {
    std::string_view line;
    if (!TakeUntil(reply, '\n', line) || line != kListHeader) return false;
    ListedNetwork network;
    while (networks.size() < limit && TakeUntil(reply, '\n', line)) {
        if (!ReadListLine(line, network)) continue;
        const bool known = std::any_of(networks.begin(), networks.end(),
                                       [&](const ListedNetwork& n) { return n.id == network.id; });
        if (!known) networks.push_back(network);
    }
    return true;
}

SettingReply ParseSettingReply(std::string_view reply) {
    if (reply == "FAIL" || reply == "FAIL\n") return SettingReply::NotSet;
    for (const char c : reply)
        if (c < 0x20 || c > 0x7e) return SettingReply::Malformed;
    return SettingReply::Value;
}

SupplicantStatus ParseStatus(std::string_view reply) {
    SupplicantStatus status;
    bool stateSeen = false;
    std::string_view line;
    while (TakeUntil(reply, '\n', line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "wpa_state" && !stateSeen) stateSeen = ReadState(value, status.state);
        if (key == "id" && !status.hasId) status.hasId = ParseNetworkId(value, status.id);
    }
    return status;
}

}  // namespace wlanlinux
