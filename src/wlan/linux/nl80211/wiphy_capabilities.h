// What an adapter (a wiphy) can do, as far as joining a network goes: read
// from the NL80211_CMD_GET_WIPHY dump, whose split form spreads one wiphy over
// several messages.
#pragma once

#include <libmnl/libmnl.h>

#include <cstdint>
#include <vector>

namespace wlanlinux {

struct AdapterCapabilities {
    std::uint32_t wiphy = 0;
    bool sae = false;              // can authenticate with SAE
    bool ibss = false;             // supports ad hoc (IBSS) mode
    bool cipherListKnown = false;  // the wiphy listed its cipher suites
    std::uint32_t ciphers = 0;     // those suites, as 00-0F-AC types (bit n)
};

// Adds what one wiphy dump message says to the entry for its wiphy.
void MergeWiphyMessage(const nlmsghdr* message, std::vector<AdapterCapabilities>& adapters);

const AdapterCapabilities* FindAdapter(const std::vector<AdapterCapabilities>& adapters,
                                       std::uint32_t wiphy);

}  // namespace wlanlinux
