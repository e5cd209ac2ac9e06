// A received netlink buffer as a scan dump delivers it: walked message by
// message, each message parsed as a BSS and grouped into networks, and the
// networks given the entries of a few saved profiles. The same messages also
// go through the other nl80211 message parsers and the route link parser.
#include <linux/netlink.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "wlan/linux/device/route_link.h"
#include "wlan/linux/netlink/netlink_reply_walk.h"
#include "wlan/linux/nl80211/nl80211_interfaces.h"
#include "wlan/linux/nl80211/nl80211_scan.h"
#include "wlan/linux/nl80211/wiphy_capabilities.h"
#include "wlan/linux/platform/network_grouping.h"
#include "wlan/linux/platform/profile_entries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace wlanlinux;
    // The walk only accepts messages for our sequence and port: take them from
    // the first header so the fuzzer can reach the parsers.
    nlmsghdr first{};
    if (size >= sizeof first) std::memcpy(&first, data, sizeof first);
    const std::uint32_t sequence = first.nlmsg_seq;
    // An aligned block of exactly the input's size, as a receive buffer is.
    const std::unique_ptr<std::uint8_t[]> buffer(new std::uint8_t[size]);
    if (size != 0) std::memcpy(buffer.get(), data, size);

    const AdapterCapabilities adapter{.sae = size % 3 == 0, .cipherListKnown = size % 2 == 0, .ciphers = 1u << 4};
    ScannedNetworks scan;
    std::vector<AdapterCapabilities> adapters;
    (void)WalkReplyChunk(buffer.get(), size, sequence, first.nlmsg_pid, [&](const nlmsghdr* message) {
        if (const auto bss = ParseScanMessage(message)) AddToScan(scan, *bss, &adapter);
        (void)ParseInterfaceMessage(message);
        (void)ParseStationMessage(message);
        (void)ParseLinkMessage(message, sequence);  // the fuzzer picks the index
        MergeWiphyMessage(message, adapters);
    });
    // An open, a personal and an ad hoc profile, the first in use.
    static const std::vector<SavedProfile> profiles = {
        {.name = "open", .ssid = "a", .keyMgmt = ProfileKeyMgmt::None},
        {.name = "home", .ssid = "home", .keyMgmt = ProfileKeyMgmt::WpaPsk},
        {.name = "adhoc", .ssid = "a", .mode = ProfileMode::AdHoc},
    };
    (void)WithProfileEntries(scan, profiles, 0, {"wlan0", nullptr});
    return 0;
}
