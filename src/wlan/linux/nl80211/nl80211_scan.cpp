#include "wlan/linux/nl80211/nl80211_scan.h"

#include <linux/nl80211.h>

#include <algorithm>
#include <cstring>

#include "wlan/linux/ieee80211/information_elements.h"
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
    {NL80211_BSS_FREQUENCY, MNL_TYPE_U32},
    {NL80211_BSS_CAPABILITY, MNL_TYPE_U16},
    {NL80211_BSS_INFORMATION_ELEMENTS, MNL_TYPE_BINARY},
    {NL80211_BSS_BEACON_IES, MNL_TYPE_BINARY},
    {NL80211_BSS_SIGNAL_MBM, MNL_TYPE_U32},
    {NL80211_BSS_SIGNAL_UNSPEC, MNL_TYPE_U8},
    {NL80211_BSS_STATUS, MNL_TYPE_U32},
});

WLAN_SIGNAL_QUALITY QualityOf(const nlattr* mbm, const nlattr* unspec) {
    if (mbm != nullptr) return QualityFromMbm(static_cast<std::int32_t>(mnl_attr_get_u32(mbm)));
    if (unspec != nullptr) return std::min<WLAN_SIGNAL_QUALITY>(mnl_attr_get_u8(unspec), 100);
    return 0;
}

// The BSS type from the capability field; empty for kinds this API does not
// list (mesh and the like). On 60 GHz (DMG) bits 0-1 are one type field, not
// the ESS and IBSS bits.
std::optional<DOT11_BSS_TYPE> BssTypeOf(std::uint16_t capability, std::uint32_t frequencyMhz) {
    if (IsDmgFrequency(frequencyMhz)) {
        switch (capability & kDmgTypeMask) {
            case kDmgTypeIbss: return dot11_BSS_type_independent;
            // A PBSS is run by its PCP, which stations join as they join an
            // access point: listed as infrastructure.
            case kDmgTypePbss:
            case kDmgTypeApOrPcp: return dot11_BSS_type_infrastructure;
            default: return std::nullopt;
        }
    }
    if ((capability & kCapabilityEss) != 0) return dot11_BSS_type_infrastructure;
    if ((capability & kCapabilityIbss) != 0) return dot11_BSS_type_independent;
    return std::nullopt;
}

}  // namespace

WLAN_SIGNAL_QUALITY QualityFromMbm(std::int32_t mbm) {
    // quality = 2 * (dBm + 100) = (mbm + 10000) / 50, clamped before dividing.
    const std::int64_t shifted = std::clamp<std::int64_t>(std::int64_t{mbm} + 10000, 0, 5000);
    return static_cast<WLAN_SIGNAL_QUALITY>(shifted / 50);
}

std::optional<BssRecord> ParseScanMessage(const nlmsghdr* message,
                                          const AdapterCapabilities* adapter) {
    std::array<const nlattr*, kMessagePolicy.size()> top;
    CollectGenericAttributes(message, kMessagePolicy, top);
    if (top[NL80211_ATTR_BSS] == nullptr) return std::nullopt;
    std::array<const nlattr*, kBssPolicy.size()> bss;
    CollectNested(top[NL80211_ATTR_BSS], kBssPolicy, bss);

    const nlattr* capabilityAttribute = bss[NL80211_BSS_CAPABILITY];
    if (capabilityAttribute == nullptr) return std::nullopt;
    const std::uint16_t capability = mnl_attr_get_u16(capabilityAttribute);
    const std::uint32_t frequency =
        bss[NL80211_BSS_FREQUENCY] != nullptr ? mnl_attr_get_u32(bss[NL80211_BSS_FREQUENCY]) : 0;
    const std::optional<DOT11_BSS_TYPE> type = BssTypeOf(capability, frequency);
    if (!type) return std::nullopt;
    BssRecord record;
    record.type = *type;

    // The latest elements (beacon or probe response), else the beacon's.
    const nlattr* ies = bss[NL80211_BSS_INFORMATION_ELEMENTS];
    if (ies == nullptr) ies = bss[NL80211_BSS_BEACON_IES];
    const auto* data = ies != nullptr ? static_cast<const std::uint8_t*>(mnl_attr_get_payload(ies))
                                      : nullptr;
    const std::size_t length = ies != nullptr ? mnl_attr_get_payload_len(ies) : 0;
    const ElementSummary elements = SummarizeElements(data, length);

    if (elements.ssid.present) {
        record.ssid.uSSIDLength = static_cast<ULONG>(elements.ssid.length);
        std::memcpy(record.ssid.ucSSID, elements.ssid.data, elements.ssid.length);
    }
    record.quality = QualityOf(bss[NL80211_BSS_SIGNAL_MBM], bss[NL80211_BSS_SIGNAL_UNSPEC]);
    record.phyTypeCount = ListPhyTypes(frequency, elements, record.phyTypes);
    const bool adapterHasSae = adapter != nullptr && adapter->sae;
    record.security = DecideSecurity((capability & kCapabilityPrivacy) != 0, elements, adapterHasSae);
    if (const nlattr* status = bss[NL80211_BSS_STATUS]) {
        const std::uint32_t value = mnl_attr_get_u32(status);
        record.connected =
            value == NL80211_BSS_STATUS_ASSOCIATED || value == NL80211_BSS_STATUS_IBSS_JOINED;
    }
    return record;
}

}  // namespace wlanlinux
