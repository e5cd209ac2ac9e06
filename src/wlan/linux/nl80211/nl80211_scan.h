// The kernel's cached scan results: one NL80211_CMD_GET_SCAN dump message per
// BSS, read into the facts it carries.
#pragma once

#include <libmnl/libmnl.h>

#include <cstdint>
#include <optional>

#include "wlan/linux/ieee80211/information_elements.h"

namespace wlanlinux {

enum class BssKind { Infrastructure, Independent };

struct BssRecord {
    std::uint8_t bssid[6] = {};  // zero when the kernel gave none
    BssKind kind = BssKind::Infrastructure;
    std::uint32_t frequencyMhz = 0;  // 0 when not given
    bool privacy = false;            // the capability's privacy bit
    std::optional<std::int32_t> signalMbm;          // in 1/100 dBm
    std::optional<std::uint8_t> signalUnspecified;  // the driver's own 0..100 scale
    bool connected = false;  // the interface is associated with it or has joined it
    ElementSummary elements;  // the latest elements (beacon or probe response)
};

// One scan dump message. Empty when it carries no BSS, or a BSS that is
// neither an infrastructure network nor an ad hoc one.
std::optional<BssRecord> ParseScanMessage(const nlmsghdr* message);

}  // namespace wlanlinux
