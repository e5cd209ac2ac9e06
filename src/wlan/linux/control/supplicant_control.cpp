#include "wlan/linux/control/supplicant_control.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "wlan/linux/control/control_replies.h"
#include "wlan/linux/control/control_socket.h"
#include "wlan/linux/profiles/supplicant_settings.h"

namespace wlanlinux {
namespace {

// The networks listed per interface, and those whose settings are fetched per
// read (all interfaces): 7 requests each for a WPA network, at most 11; 512
// took wpa_supplicant 2.10 0.07 s on an idle host, 0.5 s on a busy one. The
// one in use is fetched past the bound.
constexpr std::size_t kMaxListed = 1024;
constexpr std::size_t kMaxFetched = 512;
constexpr std::uint64_t kRequestWaitUsec = 500'000;
// wpa_supplicant's reply buffer: a list within a line of it may have been cut.
// Its pages hold 19 lines or more, so a thousand networks take 54 of them.
constexpr std::size_t kListPage = 4096;
constexpr std::size_t kLongestListLine = 512;
constexpr std::size_t kMaxPages = 64;

constexpr std::uint32_t kDefaultKeyMgmt = kSupplicantKeyWpaPsk | kSupplicantKeyWpaEap;
// Key managements that use static WEP keys, or none.
constexpr std::uint32_t kKeyMgmtWithoutWpa = kSupplicantKeyNone | kSupplicantKeyIeee8021x;

struct Read {
    std::uint64_t deadline = 0;
    std::size_t fetched = 0;
    std::string reply;
};

int Ask(Read& read, ControlSocket& socket, std::string_view request) {
    const std::uint64_t wait = std::min(read.deadline, ControlNow() + kRequestWaitUsec);
    return RequestControl(socket, request, wait, read.reply);
}

enum class Got { Value, NotSet, Unreadable };

// One GET_NETWORK read into the profile: 0, or the exchange's negative errno.
int Get(Read& read, ControlSocket& socket, std::uint32_t id, const char* name, SavedProfile& profile,
        Got& got) {
    const int result = Ask(read, socket, "GET_NETWORK " + std::to_string(id) + " " + name);
    got = Got::Unreadable;
    if (result == -EMSGSIZE) return 0;
    if (result < 0) return result;
    switch (ParseSettingReply(read.reply)) {
    case SettingReply::NotSet: got = Got::NotSet; break;
    case SettingReply::Value:
        if (ReadSupplicantSetting(name, read.reply, profile)) got = Got::Value;
        break;
    case SettingReply::Malformed: break;
    }
    return 0;
}

// The settings matching needs, those after key_mgmt only when it makes them
// count: 1 read, 0 left out (a setting unreadable, no SSID), or the exchange's
// negative errno.
int FetchNetwork(Read& read, ControlSocket& socket, const ListedNetwork& network, SavedProfile& profile) {
    // 1 when all are read (or one WEP key is set: that is all there is to know).
    const auto fetch = [&](std::initializer_list<const char*> names) {
        Got got = Got::NotSet;
        for (const char* name : names) {
            if (const int result = Get(read, socket, network.id, name, profile, got); result < 0)
                return result;
            if (got == Got::Unreadable) return 0;
            if (profile.wepKeys) break;
        }
        return 1;
    };
    int result = fetch({"ssid", "id_str", "key_mgmt", "mode"});
    const std::uint32_t keyMgmt = profile.supplicantKeyMgmt != 0 ? profile.supplicantKeyMgmt : kDefaultKeyMgmt;
    if (result > 0 && (keyMgmt & ~kKeyMgmtWithoutWpa) != 0) result = fetch({"proto", "pairwise", "group"});
    if (result > 0 && (keyMgmt & kKeyMgmtWithoutWpa) != 0)
        result = fetch({"wep_key0", "wep_key1", "wep_key2", "wep_key3"});
    if (result <= 0) return result;
    // The list's columns: a BSSID lock, and disabled (2 for a P2P group).
    const char* disabled = network.persistentGroup ? "2" : network.disabled ? "1" : "0";
    if (!ReadSupplicantSetting("bssid", network.bssid, profile) ||
        !ReadSupplicantSetting("disabled", disabled, profile) || profile.ssid.empty())
        return 0;
    FinishSupplicantProfile(profile);
    return 1;
}

// Every page of LIST_NETWORKS: 0, -EBADMSG when the first is not a list, or
// the exchange's negative errno. A server without LAST_ID= gives its first page.
int ListNetworks(Read& read, ControlSocket& socket, std::vector<ListedNetwork>& networks) {
    std::string request = "LIST_NETWORKS";
    for (std::size_t page = 0; page != kMaxPages; ++page) {
        const std::size_t before = networks.size();
        const int result = Ask(read, socket, request);
        if (result < 0) return result == -EMSGSIZE ? -EBADMSG : result;
        if (!ParseNetworkList(read.reply, kMaxListed, networks)) return before == 0 ? -EBADMSG : 0;
        if (networks.size() == before || networks.size() == kMaxListed ||
            read.reply.size() + kLongestListLine < kListPage)
            return 0;
        request = "LIST_NETWORKS LAST_ID=" + std::to_string(networks.back().id);
    }
    return 0;
}

// The network in use: STATUS's id= once the connection is complete, else the
// one the list marks [CURRENT].
const ListedNetwork* NetworkInUse(const SupplicantStatus& status, const std::vector<ListedNetwork>& networks) {
    const ListedNetwork* current = nullptr;
    for (const ListedNetwork& network : networks) {
        if (status.hasId && status.state == "completed" && network.id == status.id) return &network;
        if (network.current && current == nullptr) current = &network;
    }
    return current;
}

int ReadInterface(Read& read, ControlSocket& socket, const std::string& name, ProfileSnapshot& out) {
    int result = Ask(read, socket, "STATUS");
    if (result < 0) return result;
    const SupplicantStatus status = ParseStatus(read.reply);
    std::vector<ListedNetwork> networks;
    if ((result = ListNetworks(read, socket, networks)) < 0) return result;

    out.managedInterfaces.push_back(name);
    if (!status.state.empty()) out.states.push_back({name, status.state});
    const ListedNetwork* inUse = NetworkInUse(status, networks);
    if (inUse != nullptr) out.active.push_back({name, name + "/" + std::to_string(inUse->id)});
    for (const ListedNetwork& network : networks) {
        if (read.fetched >= kMaxFetched && &network != inUse) continue;
        ++read.fetched;
        SavedProfile profile;
        if ((result = FetchNetwork(read, socket, network, profile)) < 0) return result;
        if (result == 0) continue;
        profile.interfaceName = name;
        profile.path = name + "/" + std::to_string(network.id);
        out.profiles.push_back(std::move(profile));
    }
    return 0;
}

}  // namespace

int ReadSupplicantControl(const std::vector<std::string>& interfaceNames, std::uint64_t timeoutUsec,
                          ProfileSnapshot& out, const char* directory) {
    out = ProfileSnapshot{};
    Read read;
    const std::uint64_t now = ControlNow();
    read.deadline = now + std::min(timeoutUsec, UINT64_MAX - now);
    bool present = false;
    int failure = 0;
    for (const std::string& name : interfaceNames) {
        char path[sizeof(sockaddr_un::sun_path)];
        const int length = std::snprintf(path, sizeof path, "%s/%s", directory, name.c_str());
        if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) continue;
        ControlSocket socket;
        const ControlOpen open = OpenControlSocket(path, socket);
        if (open == ControlOpen::NoServer) continue;
        present = true;
        int result = 0;
        if (open == ControlOpen::Failed) result = errno != 0 ? -errno : -EIO;
        if (open == ControlOpen::Connected) result = ReadInterface(read, socket, name, out);
        if (result < 0 && failure == 0) failure = result;
        if (result == -ETIMEDOUT && ControlNow() >= read.deadline) break;
    }
    if (!present) return 0;
    out.source = ProfileSnapshot::Source::WpaSupplicant;
    out.interfacesKnown = true;
    return failure < 0 ? failure : 1;
}

}  // namespace wlanlinux
