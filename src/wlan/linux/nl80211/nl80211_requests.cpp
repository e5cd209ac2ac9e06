#include "wlan/linux/nl80211/nl80211_requests.h"

#include <linux/nl80211.h>

#include <algorithm>

#include "wlan/linux/netlink/netlink_request.h"
#include "wlan/linux/api/network_grouping.h"
#include "wlan/linux/nl80211/nl80211_scan.h"

namespace wlanlinux {
namespace {

// An nl80211 request (version 0) with the given attributes.
GenericRequest Nl80211Request(std::uint16_t family, std::uint8_t command, bool dump,
                              std::function<void(nlmsghdr*)> addAttributes = {}) {
    GenericRequest request;
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
    return RunGenericRequest(
        socket, Nl80211Request(family, NL80211_CMD_GET_INTERFACE, true),
        [&] { interfaces.clear(); },
        [&](const nlmsghdr* message) {
            if (auto parsed = ParseInterfaceMessage(message)) interfaces.push_back(*parsed);
        });
}

int DumpAdapters(NetlinkSocket& socket, std::uint16_t family,
                 std::vector<AdapterCapabilities>& adapters) {
    const GenericRequest request =
        Nl80211Request(family, NL80211_CMD_GET_WIPHY, true, [](nlmsghdr* message) {
            mnl_attr_put(message, NL80211_ATTR_SPLIT_WIPHY_DUMP, 0, nullptr);
        });
    return RunGenericRequest(
        socket, request, [&] { adapters.clear(); },
        [&](const nlmsghdr* message) { MergeWiphyMessage(message, adapters); });
}

StationProgress DumpStationProgress(NetlinkSocket& socket, std::uint16_t family,
                                    std::uint32_t ifindex) {
    StationProgress progress = StationProgress::None;
    const int error = RunGenericRequest(
        socket, Nl80211Request(family, NL80211_CMD_GET_STATION, true, ForInterface(ifindex)),
        [&] { progress = StationProgress::None; },
        [&](const nlmsghdr* message) {
            progress = std::max(progress, ParseStationMessage(message));
        });
    return error == 0 ? progress : StationProgress::None;
}

int DumpNetworks(NetlinkSocket& socket, std::uint16_t family, std::uint32_t ifindex,
                 const AdapterCapabilities* adapter,
                 std::vector<WLAN_AVAILABLE_NETWORK>& networks) {
    networks.clear();
    return RunGenericRequest(
        socket, Nl80211Request(family, NL80211_CMD_GET_SCAN, true, ForInterface(ifindex)),
        [&networks] { networks.clear(); },
        [&](const nlmsghdr* message) {
            if (const auto bss = ParseScanMessage(message, adapter)) AddToNetworks(networks, *bss);
        });
}

}  // namespace wlanlinux
