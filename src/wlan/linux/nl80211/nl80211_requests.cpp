#include "wlan/linux/nl80211/nl80211_requests.h"

#include <linux/nl80211.h>

#include <algorithm>
#include <cerrno>

#include "wlan/linux/netlink/generic_family.h"
#include "wlan/linux/netlink/netlink_request.h"

namespace wlanlinux {
namespace {

// An nl80211 request (version 0) with the given attributes.
NetlinkRequest Nl80211Request(std::uint16_t family, std::uint8_t command, bool dump,
                              std::function<void(nlmsghdr*)> addAttributes = {}) {
    NetlinkRequest request;
    request.family = family;
    request.command = command;
    request.version = 0;
    request.dump = dump;
    request.addAttributes = std::move(addAttributes);
    return request;
}

// The attribute that names the interface a request is about.
std::function<void(nlmsghdr*)> ForInterface(std::uint32_t ifindex) {
    return [ifindex](nlmsghdr* message) {
        mnl_attr_put_u32(message, NL80211_ATTR_IFINDEX, ifindex);
    };
}

}  // namespace

int OpenNl80211(Nl80211Handle& handle) {
    if (!OpenNetlinkSocket(handle.socket)) return errno != 0 ? errno : EIO;
    return ResolveGenericFamily(handle.socket, "nl80211", handle.family);
}

int DumpInterfaces(Nl80211Handle& nl80211, std::vector<WirelessInterface>& interfaces) {
    return RunNetlinkRequest(
        nl80211.socket, Nl80211Request(nl80211.family, NL80211_CMD_GET_INTERFACE, true),
        [&] { interfaces.clear(); },
        [&](const nlmsghdr* message) {
            if (auto parsed = ParseInterfaceMessage(message)) interfaces.push_back(*parsed);
        });
}

int DumpAdapters(Nl80211Handle& nl80211, std::vector<AdapterCapabilities>& adapters) {
    const NetlinkRequest request =
        Nl80211Request(nl80211.family, NL80211_CMD_GET_WIPHY, true, [](nlmsghdr* message) {
            mnl_attr_put(message, NL80211_ATTR_SPLIT_WIPHY_DUMP, 0, nullptr);
        });
    return RunNetlinkRequest(
        nl80211.socket, request, [&] { adapters.clear(); },
        [&](const nlmsghdr* message) { MergeWiphyMessage(message, adapters); });
}

StationProgress DumpStationProgress(Nl80211Handle& nl80211, std::uint32_t ifindex) {
    StationProgress progress = StationProgress::None;
    const int error = RunNetlinkRequest(
        nl80211.socket, Nl80211Request(nl80211.family, NL80211_CMD_GET_STATION, true, ForInterface(ifindex)),
        [&] { progress = StationProgress::None; },
        [&](const nlmsghdr* message) {
            progress = std::max(progress, ParseStationMessage(message));
        });
    return error == 0 ? progress : StationProgress::None;
}

int DumpScanResults(Nl80211Handle& nl80211, std::uint32_t ifindex, const std::function<void()>& restart,
                    const std::function<void(const BssRecord&)>& add) {
    return RunNetlinkRequest(
        nl80211.socket, Nl80211Request(nl80211.family, NL80211_CMD_GET_SCAN, true, ForInterface(ifindex)),
        restart, [&](const nlmsghdr* message) {
            if (const auto bss = ParseScanMessage(message)) add(*bss);
        });
}

}  // namespace wlanlinux
