// Information elements as a BSS sends them: walked, summarised and reduced to
// security settings and PHY types, and each suite parser fed the raw bytes.
#include <cstddef>
#include <cstdint>

#include "wlan/linux/ieee80211/information_elements.h"
#include "wlan/linux/ieee80211/security_suites.h"
#include "wlan/linux/platform/phy_types.h"
#include "wlan/linux/platform/security_decision.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wlanlinux;
    const ElementSummary summary = SummarizeElements(data, size);
    for (const bool privacy : {false, true})
        for (const bool sae : {false, true}) (void)DecideSecurity(privacy, summary, sae);
    DOT11_PHY_TYPE types[WLAN_MAX_PHY_TYPE_NUMBER];
    for (const std::uint32_t mhz : {2412u, 5180u, 5955u, 58320u, 0u})
        (void)ListPhyTypes(mhz, summary, types);
    (void)ParseRsnBody(data, size);
    (void)ParseWpaBody(data, size);
    return 0;
}
