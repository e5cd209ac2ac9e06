#include "wlan/linux/api/machine_interfaces.h"

#include <linux/nl80211.h>

#include <algorithm>
#include <cstring>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/device/adapter_names.h"
#include "wlan/linux/device/interface_guid.h"
#include "wlan/linux/device/netdevice_info.h"
#include "wlan/linux/device/route_link.h"
#include "wlan/linux/nl80211/nl80211_requests.h"

namespace wlanlinux {
namespace {

GUID GuidOf(const LinkFacts& link, const WirelessInterface& netdev) {
    if (link.hasPermanentAddress) return InterfaceGuidFromMac(link.permanentAddress);
    if (netdev.hasMac) return InterfaceGuidFromMac(netdev.mac);
    // No address at all: the name is the next most stable thing we have.
    return NameBasedGuid(kInterfaceGuidNamespace, netdev.name, std::strlen(netdev.name));
}

}  // namespace

int ReadInterfaces(Nl80211Handle& nl80211, std::vector<InterfaceRecord>& out) {
    out.clear();
    std::vector<WirelessInterface> interfaces;
    if (const int error = DumpInterfaces(nl80211, interfaces)) return error;
    if (interfaces.empty()) return 0;
    // Without the adapters' capabilities the interfaces are still listed;
    // joining is then judged as possible.
    std::vector<AdapterCapabilities> adapters;
    if (DumpAdapters(nl80211, adapters) != 0) adapters.clear();

    std::sort(interfaces.begin(), interfaces.end(),
              [](const WirelessInterface& a, const WirelessInterface& b) { return a.ifindex < b.ifindex; });
    // Each device is read by its index, never by a name that may have moved
    // to another device since the dump.
    RouteSocket route;
    out.resize(interfaces.size());
    for (std::size_t i = 0; i != interfaces.size(); ++i) {
        InterfaceRecord& record = out[i];
        record.netdev = interfaces[i];
        LinkFacts link;
        (void)ReadLink(route, record.netdev.ifindex, link);  // a device gone reads as down
        record.guid = GuidOf(link, record.netdev);
        record.hasAdapterAddress = link.hasPermanentAddress || record.netdev.hasMac;
        std::memcpy(record.adapterAddress,
                    link.hasPermanentAddress ? link.permanentAddress : record.netdev.mac,
                    sizeof record.adapterAddress);
        StateFacts facts;
        facts.up = link.up;
        facts.iftype = record.netdev.iftype;
        facts.hasSsid = record.netdev.hasSsid;
        if (facts.up && !facts.hasSsid && facts.iftype == NL80211_IFTYPE_STATION)
            facts.station = DumpStationProgress(nl80211, record.netdev.ifindex);
        record.state = DecideInterfaceState(facts);
        const AdapterCapabilities* adapter =
            record.netdev.hasWiphy ? FindAdapter(adapters, record.netdev.wiphy) : nullptr;
        if (adapter != nullptr) {
            record.adapter = *adapter;
            record.adapterKnown = true;
        }
        char driver[64];
        const char* present = link.name[0] != 0 ? link.name : record.netdev.name;
        ProductName product;
        if (ReadProductName(record.netdev.ifindex, present, product))
            DescribeAs(product.vendor, product.model, record.netdev.name, record.description);
        else
            DescribeInterface(
                DriverName(record.netdev.ifindex, present, driver, sizeof driver) ? driver : nullptr,
                record.netdev.name, record.description);
    }
    SeparateSharedGuids(out);
    return 0;
}

}  // namespace wlanlinux
