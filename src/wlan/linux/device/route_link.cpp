#include "wlan/linux/device/route_link.h"

#include <linux/rtnetlink.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "wlan/linux/netlink/netlink_attributes.h"
#include "wlan/linux/netlink/netlink_request.h"

namespace wlanlinux {
namespace {

constexpr auto kLinkPolicy = MakePolicy<IFLA_PERM_ADDRESS + 1>({
    {IFLA_IFNAME, MNL_TYPE_NUL_STRING},
    {IFLA_PERM_ADDRESS, MNL_TYPE_BINARY, 6},
});

}  // namespace

std::optional<LinkFacts> ParseLinkMessage(const nlmsghdr* message, std::uint32_t ifindex) {
    const std::size_t length = mnl_nlmsg_get_payload_len(message);
    if (message->nlmsg_type != RTM_NEWLINK || length < sizeof(ifinfomsg)) return std::nullopt;
    ifinfomsg info;
    std::memcpy(&info, mnl_nlmsg_get_payload(message), sizeof info);
    if (info.ifi_index <= 0 || static_cast<std::uint32_t>(info.ifi_index) != ifindex)
        return std::nullopt;
    const std::size_t header = std::min<std::size_t>(NLMSG_ALIGN(sizeof(ifinfomsg)), length);
    std::array<const nlattr*, kLinkPolicy.size()> found;
    CollectAttributes(static_cast<const char*>(mnl_nlmsg_get_payload(message)) + header,
                      length - header, kLinkPolicy, found);

    LinkFacts facts;
    facts.up = (info.ifi_flags & IFF_UP) != 0;
    if (const nlattr* address = found[IFLA_PERM_ADDRESS]) {
        std::memcpy(facts.permanentAddress, mnl_attr_get_payload(address), sizeof facts.permanentAddress);
        facts.hasPermanentAddress = std::any_of(std::begin(facts.permanentAddress),
                                                std::end(facts.permanentAddress),
                                                [](std::uint8_t byte) { return byte != 0; });
    }
    if (const nlattr* name = found[IFLA_IFNAME]) {
        const std::size_t nameLength = mnl_attr_get_payload_len(name);  // with its terminator
        if (nameLength <= sizeof facts.name) std::memcpy(facts.name, mnl_attr_get_str(name), nameLength);
    }
    return facts;
}

int ReadLink(NetlinkSocket& routeSocket, std::uint32_t ifindex, LinkFacts& facts) {
    facts = LinkFacts{};
    if (ifindex == 0 || ifindex > INT_MAX) return ENODEV;
    NetlinkRequest request;
    request.family = RTM_GETLINK;
    request.addHeader = [ifindex](nlmsghdr* message) {
        auto* info = static_cast<ifinfomsg*>(mnl_nlmsg_put_extra_header(message, sizeof(ifinfomsg)));
        info->ifi_family = AF_UNSPEC;
        info->ifi_index = static_cast<int>(ifindex);
    };
    bool found = false;
    const int error = RunNetlinkRequest(
        routeSocket, request,
        [&] {
            found = false;
            facts = LinkFacts{};
        },
        [&](const nlmsghdr* message) {
            if (const auto parsed = ParseLinkMessage(message, ifindex)) {
                facts = *parsed;
                found = true;
            }
        });
    if (error != 0) return error;
    return found ? 0 : ENODEV;
}

}  // namespace wlanlinux
