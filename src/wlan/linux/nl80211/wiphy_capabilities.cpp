#include "wlan/linux/nl80211/wiphy_capabilities.h"

#include <linux/nl80211.h>

#include <cstring>

#include "wlan/linux/ieee80211/security_suites.h"
#include "wlan/linux/netlink/netlink_attributes.h"

namespace wlanlinux {
namespace {

constexpr auto kWiphyPolicy = MakePolicy<NL80211_ATTR_EXT_FEATURES + 1>({
    {NL80211_ATTR_WIPHY, MNL_TYPE_U32},
    {NL80211_ATTR_CIPHER_SUITES, MNL_TYPE_BINARY},
    {NL80211_ATTR_SUPPORTED_IFTYPES, MNL_TYPE_NESTED},
    {NL80211_ATTR_FEATURE_FLAGS, MNL_TYPE_U32},
    {NL80211_ATTR_EXT_FEATURES, MNL_TYPE_BINARY},
});

constexpr auto kIftypePolicy =
    MakePolicy<NL80211_IFTYPE_ADHOC + 1>({{NL80211_IFTYPE_ADHOC, MNL_TYPE_FLAG}});

AdapterCapabilities& EntryFor(std::vector<AdapterCapabilities>& adapters, std::uint32_t wiphy) {
    if (const AdapterCapabilities* known = FindAdapter(adapters, wiphy))
        return adapters[static_cast<std::size_t>(known - adapters.data())];
    adapters.push_back({});
    adapters.back().wiphy = wiphy;
    return adapters.back();
}

void MergeCiphers(const nlattr* attribute, AdapterCapabilities& adapter) {
    const std::size_t length = mnl_attr_get_payload_len(attribute);
    if (length % 4 != 0) return;  // not a list of 32-bit suite selectors
    const auto* bytes = static_cast<const std::uint8_t*>(mnl_attr_get_payload(attribute));
    adapter.cipherListKnown = true;
    for (std::size_t offset = 0; offset != length; offset += 4) {
        std::uint32_t selector;
        std::memcpy(&selector, bytes + offset, sizeof selector);
        const int type = RsnCipherType(selector);
        if (type >= 0 && type < 32) adapter.ciphers |= std::uint32_t{1} << type;
    }
}

bool HasExtendedFeature(const nlattr* attribute, unsigned feature) {
    const std::size_t length = mnl_attr_get_payload_len(attribute);
    if (feature / 8 >= length) return false;
    const auto* bits = static_cast<const std::uint8_t*>(mnl_attr_get_payload(attribute));
    return (bits[feature / 8] & (1u << (feature % 8))) != 0;
}

}  // namespace

void MergeWiphyMessage(const nlmsghdr* message, std::vector<AdapterCapabilities>& adapters) {
    std::array<const nlattr*, kWiphyPolicy.size()> found;
    CollectGenericAttributes(message, kWiphyPolicy, found);
    if (found[NL80211_ATTR_WIPHY] == nullptr) return;
    AdapterCapabilities& adapter = EntryFor(adapters, mnl_attr_get_u32(found[NL80211_ATTR_WIPHY]));
    if (const nlattr* ciphers = found[NL80211_ATTR_CIPHER_SUITES]) MergeCiphers(ciphers, adapter);
    if (const nlattr* iftypes = found[NL80211_ATTR_SUPPORTED_IFTYPES]) {
        std::array<const nlattr*, kIftypePolicy.size()> modes;
        CollectNested(iftypes, kIftypePolicy, modes);
        adapter.ibss = adapter.ibss || modes[NL80211_IFTYPE_ADHOC] != nullptr;
    }
    if (const nlattr* features = found[NL80211_ATTR_FEATURE_FLAGS])
        adapter.sae = adapter.sae || (mnl_attr_get_u32(features) & NL80211_FEATURE_SAE) != 0;
    if (const nlattr* extended = found[NL80211_ATTR_EXT_FEATURES])
        adapter.sae = adapter.sae || HasExtendedFeature(extended, NL80211_EXT_FEATURE_SAE_OFFLOAD);
}

const AdapterCapabilities* FindAdapter(const std::vector<AdapterCapabilities>& adapters,
                                       std::uint32_t wiphy) {
    for (const AdapterCapabilities& adapter : adapters)
        if (adapter.wiphy == wiphy) return &adapter;
    return nullptr;
}

}  // namespace wlanlinux
