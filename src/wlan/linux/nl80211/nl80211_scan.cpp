#include "wlan/linux/nl80211/nl80211_scan.h"

#include <linux/nl80211.h>

#include <cstring>

#include "wlan/linux/netlink/netlink_attributes.h"

namespace wlanlinux {
namespace {

constexpr std::uint16_t kCapabilityEss = 1u << 0;
constexpr std::uint16_t kCapabilityIbss = 1u << 1;
constexpr std::uint16_t kCapabilityPrivacy = 1u << 4;  // also on DMG
constexpr std::uint16_t kDmgTypeMask = 0x3;
constexpr std::uint16_t kDmgTypeIbss = 1;
constexpr std::uint16_t kDmgTypePbss = 2;
constexpr std::uint16_t kDmgTypeApOrPcp = 3;

constexpr auto kMessagePolicy =
    MakePolicy<NL80211_ATTR_BSS + 1>({{NL80211_ATTR_BSS, MNL_TYPE_NESTED}});

constexpr auto kBssPolicy = MakePolicy<NL80211_BSS_MAX + 1>({
    {NL80211_BSS_BSSID, MNL_TYPE_BINARY, 6},
    {NL80211_BSS_FREQUENCY, MNL_TYPE_U32},
    {NL80211_BSS_CAPABILITY, MNL_TYPE_U16},
    {NL80211_BSS_INFORMATION_ELEMENTS, MNL_TYPE_BINARY},
    {NL80211_BSS_BEACON_IES, MNL_TYPE_BINARY},
    {NL80211_BSS_SIGNAL_MBM, MNL_TYPE_U32},
    {NL80211_BSS_SIGNAL_UNSPEC, MNL_TYPE_U8},
    {NL80211_BSS_STATUS, MNL_TYPE_U32},
});

// The BSS type from the capability field; empty for kinds this API does not
// list (mesh and the like). On 60 GHz (DMG) bits 0-1 are one type field, not
// the ESS and IBSS bits.
std::optional<BssKind> BssKindOf(std::uint16_t capability, std::uint32_t frequencyMhz) {
    if (BandOf(frequencyMhz) == Band::Band60GHz) {
        switch (capability & kDmgTypeMask) {
            case kDmgTypeIbss: return BssKind::Independent;
            // A PBSS is run by its PCP, which stations join as they join an
            // access point: listed as infrastructure.
            case kDmgTypePbss:
            case kDmgTypeApOrPcp: return BssKind::Infrastructure;
            default: return std::nullopt;
        }
    }
    if ((capability & kCapabilityEss) != 0) return BssKind::Infrastructure;
    if ((capability & kCapabilityIbss) != 0) return BssKind::Independent;
    return std::nullopt;
}

}  // namespace

std::optional<BssRecord> ParseScanMessage(const nlmsghdr* message) {
    std::array<const nlattr*, kMessagePolicy.size()> top;
    CollectGenericAttributes(message, kMessagePolicy, top);
    if (top[NL80211_ATTR_BSS] == nullptr) return std::nullopt;
    std::array<const nlattr*, kBssPolicy.size()> bss;
    CollectNested(top[NL80211_ATTR_BSS], kBssPolicy, bss);

    const nlattr* capabilityAttribute = bss[NL80211_BSS_CAPABILITY];
    if (capabilityAttribute == nullptr) return std::nullopt;
    const std::uint16_t capability = mnl_attr_get_u16(capabilityAttribute);
    BssRecord record;
    if (bss[NL80211_BSS_FREQUENCY] != nullptr)
        record.frequencyMhz = mnl_attr_get_u32(bss[NL80211_BSS_FREQUENCY]);
    const std::optional<BssKind> kind = BssKindOf(capability, record.frequencyMhz);
    if (!kind) return std::nullopt;
    record.kind = *kind;
    record.privacy = (capability & kCapabilityPrivacy) != 0;
    if (const nlattr* bssid = bss[NL80211_BSS_BSSID])
        std::memcpy(record.bssid, mnl_attr_get_payload(bssid), sizeof record.bssid);

    // The latest elements (beacon or probe response), else the beacon's.
    const nlattr* ies = bss[NL80211_BSS_INFORMATION_ELEMENTS];
    if (ies == nullptr) ies = bss[NL80211_BSS_BEACON_IES];
    if (ies != nullptr)
        record.elements = SummarizeElements(static_cast<const std::uint8_t*>(mnl_attr_get_payload(ies)),
                                            mnl_attr_get_payload_len(ies));
    if (const nlattr* mbm = bss[NL80211_BSS_SIGNAL_MBM])
        record.signalMbm = static_cast<std::int32_t>(mnl_attr_get_u32(mbm));
    if (const nlattr* unspecified = bss[NL80211_BSS_SIGNAL_UNSPEC])
        record.signalUnspecified = mnl_attr_get_u8(unspecified);
    if (const nlattr* status = bss[NL80211_BSS_STATUS]) {
        const std::uint32_t value = mnl_attr_get_u32(status);
        record.connected =
            value == NL80211_BSS_STATUS_ASSOCIATED || value == NL80211_BSS_STATUS_IBSS_JOINED;
    }
    return record;
}

}  // namespace wlanlinux
