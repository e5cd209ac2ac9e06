#include "wlan/linux/api/interface_record.h"

#include <linux/nl80211.h>

#include <cstring>

#include "wlan/linux/device/interface_guid.h"
#include "wlan/linux/platform/utf16_text.h"

namespace wlanlinux {

WLAN_INTERFACE_STATE DecideInterfaceState(const StateFacts& facts) {
    if (!facts.up) return wlan_interface_state_not_ready;
    if (facts.iftype == NL80211_IFTYPE_ADHOC)
        return facts.hasSsid ? wlan_interface_state_ad_hoc_network_formed
                             : wlan_interface_state_disconnected;
    if (facts.hasSsid || facts.station == StationProgress::Associated)
        return wlan_interface_state_connected;
    if (facts.station == StationProgress::Authenticating)
        return wlan_interface_state_authenticating;
    return wlan_interface_state_disconnected;
}

void DescribeAs(const char* maker, const char* product, const char* name,
                char16_t (&description)[WLAN_MAX_NAME_LENGTH]) {
    // The " (<interface>)" part first, to know how much room it leaves.
    char16_t suffix[WLAN_MAX_NAME_LENGTH];
    std::size_t suffixUnits = 0;
    for (const char* text : {" (", name, ")"})
        suffixUnits = AppendUtf8(suffix, std::size(suffix), suffixUnits, text, std::strlen(text));
    std::size_t used = 0;
    const auto append = [&](const char* text) {
        used = AppendUtf8(description, std::size(description) - suffixUnits, used, text,
                          std::strlen(text));
    };
    if (maker != nullptr && maker[0] != 0) {
        append(maker);
        append(" ");
    }
    append(product);
    std::memcpy(description + used, suffix, (suffixUnits + 1) * sizeof(char16_t));
}

void DescribeInterface(const char* driver, const char* name,
                       char16_t (&description)[WLAN_MAX_NAME_LENGTH]) {
    DescribeAs(driver, "Wi-Fi adapter", name, description);
}

void SeparateSharedGuids(std::vector<InterfaceRecord>& records) {
    for (std::size_t i = 0; i != records.size(); ++i) {
        bool shared = false;
        for (std::size_t j = 0; j != i && !shared; ++j)
            shared = SameGuid(records[i].guid, records[j].guid);
        if (!shared) continue;
        // The shared GUID and the interface's name: still stable, and the
        // name is unique among the machine's interfaces.
        std::uint8_t identity[sizeof(GUID) + IFNAMSIZ] = {};
        std::memcpy(identity, &records[i].guid, sizeof(GUID));
        const std::size_t nameLength = std::strlen(records[i].netdev.name);
        std::memcpy(identity + sizeof(GUID), records[i].netdev.name, nameLength);
        records[i].guid = NameBasedGuid(kInterfaceGuidNamespace, identity, sizeof(GUID) + nameLength);
    }
}

}  // namespace wlanlinux
