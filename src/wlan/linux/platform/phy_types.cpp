#include "wlan/linux/platform/phy_types.h"

#include <algorithm>

namespace wlanlinux {

std::size_t ListPhyTypes(std::uint32_t frequencyMhz, const ElementSummary& summary,
                         DOT11_PHY_TYPE (&types)[WLAN_MAX_PHY_TYPE_NUMBER]) {
    std::size_t count = 0;
    const auto add = [&](DOT11_PHY_TYPE type) {
        if (count != WLAN_MAX_PHY_TYPE_NUMBER &&
            std::find(types, types + count, type) == types + count)
            types[count++] = type;
    };
    const Band band = BandOf(frequencyMhz);
    switch (band) {
        case Band::Band2GHz:
            if (summary.hasOfdmRates) add(dot11_phy_type_erp);
            else if (summary.hasDsssRates) add(dot11_phy_type_hrdsss);
            break;
        case Band::Band5GHz: add(dot11_phy_type_ofdm); break;
        case Band::Band6GHz:
            if (summary.hasOfdmRates) add(dot11_phy_type_ofdm);
            break;
        case Band::Band60GHz: add(dot11_phy_type_dmg); break;
        case Band::Unknown: break;
    }
    if (summary.hasHt) add(dot11_phy_type_ht);
    if (summary.hasVht) add(dot11_phy_type_vht);
    if (summary.hasHe || band == Band::Band6GHz) add(dot11_phy_type_he);
    if (summary.hasEht) add(dot11_phy_type_eht);
    return count;
}

}  // namespace wlanlinux
