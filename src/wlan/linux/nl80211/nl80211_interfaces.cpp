#include "wlan/linux/nl80211/nl80211_interfaces.h"

#include <linux/nl80211.h>

#include <cstring>

#include "wlan/linux/netlink/netlink_attributes.h"

namespace wlanlinux {
namespace {

constexpr auto kInterfacePolicy = MakePolicy<NL80211_ATTR_SSID + 1>({
    {NL80211_ATTR_WIPHY, MNL_TYPE_U32},
    {NL80211_ATTR_IFINDEX, MNL_TYPE_U32},
    {NL80211_ATTR_IFNAME, MNL_TYPE_NUL_STRING},
    {NL80211_ATTR_IFTYPE, MNL_TYPE_U32},
    {NL80211_ATTR_MAC, MNL_TYPE_BINARY, 6},
    {NL80211_ATTR_SSID, MNL_TYPE_BINARY},
});

constexpr auto kStationPolicy =
    MakePolicy<NL80211_ATTR_STA_INFO + 1>({{NL80211_ATTR_STA_INFO, MNL_TYPE_NESTED}});
constexpr auto kStationInfoPolicy = MakePolicy<NL80211_STA_INFO_STA_FLAGS + 1>(
    {{NL80211_STA_INFO_STA_FLAGS, MNL_TYPE_BINARY, sizeof(nl80211_sta_flag_update)}});

bool IsListedType(std::uint32_t iftype) {
    return iftype == NL80211_IFTYPE_STATION || iftype == NL80211_IFTYPE_ADHOC;
}

}  // namespace

std::optional<WirelessInterface> ParseInterfaceMessage(const nlmsghdr* message) {
    std::array<const nlattr*, kInterfacePolicy.size()> found;
    CollectGenericAttributes(message, kInterfacePolicy, found);
    const nlattr* index = found[NL80211_ATTR_IFINDEX];
    const nlattr* name = found[NL80211_ATTR_IFNAME];
    const nlattr* type = found[NL80211_ATTR_IFTYPE];
    if (index == nullptr || name == nullptr || type == nullptr) return std::nullopt;
    WirelessInterface netdev;
    netdev.iftype = mnl_attr_get_u32(type);
    netdev.ifindex = mnl_attr_get_u32(index);
    if (!IsListedType(netdev.iftype) || netdev.ifindex == 0) return std::nullopt;
    const std::size_t nameLength = mnl_attr_get_payload_len(name);  // with its terminator
    if (nameLength < 2 || nameLength > sizeof netdev.name) return std::nullopt;
    std::memcpy(netdev.name, mnl_attr_get_str(name), nameLength);
    if (const nlattr* wiphy = found[NL80211_ATTR_WIPHY]) {
        netdev.wiphy = mnl_attr_get_u32(wiphy);
        netdev.hasWiphy = true;
    }
    if (const nlattr* mac = found[NL80211_ATTR_MAC]) {
        std::memcpy(netdev.mac, mnl_attr_get_payload(mac), sizeof netdev.mac);
        netdev.hasMac = true;
    }
    netdev.hasSsid = found[NL80211_ATTR_SSID] != nullptr;
    return netdev;
}

StationProgress ParseStationMessage(const nlmsghdr* message) {
    std::array<const nlattr*, kStationPolicy.size()> found;
    CollectGenericAttributes(message, kStationPolicy, found);
    if (found[NL80211_ATTR_STA_INFO] == nullptr) return StationProgress::None;
    std::array<const nlattr*, kStationInfoPolicy.size()> info;
    CollectNested(found[NL80211_ATTR_STA_INFO], kStationInfoPolicy, info);
    // An entry for the access point exists from the start of authentication.
    const nlattr* flags = info[NL80211_STA_INFO_STA_FLAGS];
    if (flags == nullptr) return StationProgress::Authenticating;
    nl80211_sta_flag_update update;
    std::memcpy(&update, mnl_attr_get_payload(flags), sizeof update);
    const std::uint32_t associated = 1u << NL80211_STA_FLAG_ASSOCIATED;
    if ((update.mask & associated) != 0 && (update.set & associated) != 0)
        return StationProgress::Associated;
    return StationProgress::Authenticating;
}

}  // namespace wlanlinux
