#include "wlan/linux/nl80211/nl80211_requests.h"

#include <linux/nl80211.h>

#include <algorithm>

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

int DumpInterfaces(NetlinkSocket& socket, std::uint16_t family,
                   std::vector<WirelessInterface>& interfaces) {
    return RunNetlinkRequest(
        socket, Nl80211Request(family, NL80211_CMD_GET_INTERFACE, true),
        [&] { interfaces.clear(); },
        [&](const nlmsghdr* message) {
            if (auto parsed = ParseInterfaceMessage(message)) interfaces.push_back(*parsed);
        });
}

int DumpAdapters(NetlinkSocket& socket, std::uint16_t family,
                 std::vector<AdapterCapabilities>& adapters) {
    const NetlinkRequest request =
        Nl80211Request(family, NL80211_CMD_GET_WIPHY, true, [](nlmsghdr* message) {
            mnl_attr_put(message, NL80211_ATTR_SPLIT_WIPHY_DUMP, 0, nullptr);
        });
    return RunNetlinkRequest(
        socket, request, [&] { adapters.clear(); },
        [&](const nlmsghdr* message) { MergeWiphyMessage(message, adapters); });
}

StationProgress DumpStationProgress(NetlinkSocket& socket, std::uint16_t family,
                                    std::uint32_t ifindex) {
    StationProgress progress = StationProgress::None;
    const int error = RunNetlinkRequest(
        socket, Nl80211Request(family, NL80211_CMD_GET_STATION, true, ForInterface(ifindex)),
        [&] { progress = StationProgress::None; },
        [&](const nlmsghdr* message) {
            progress = std::max(progress, ParseStationMessage(message));
        });
    return error == 0 ? progress : StationProgress::None;
}

int DumpScanResults(NetlinkSocket& socket, std::uint16_t family, std::uint32_t ifindex,
                    const AdapterCapabilities* adapter, const std::function<void()>& restart,
                    const std::function<void(const BssRecord&)>& add) {
    return RunNetlinkRequest(
        socket, Nl80211Request(family, NL80211_CMD_GET_SCAN, true, ForInterface(ifindex)), restart,
        [&](const nlmsghdr* message) {
            if (const auto bss = ParseScanMessage(message, adapter)) add(*bss);
        });
}

}  // namespace wlanlinux
