// Client handles. A handle is the address of a heap-allocated client, but it
// is only dereferenced after it has been found in a process-wide table of open
// handles: that is what lets a stale, closed or made-up handle be answered
// with ERROR_INVALID_HANDLE instead of touching freed memory. The table holds
// only addresses; each client owns its socket and its cached interfaces.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "wlan/linux/netlink_socket.h"
#include "wlan/linux/nl80211_interfaces.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

struct Client {
    std::mutex mutex;  // one operation at a time per handle
    NetlinkSocket socket;
    std::uint16_t family = 0;  // 0: the machine has no nl80211
    // The interfaces of the latest enumeration: how a GUID finds its interface.
    std::vector<InterfaceRecord> interfaces;
};

// Adds the client to the table and returns its handle.
HANDLE RegisterClient(std::unique_ptr<Client> client);

// Removes the handle from the table, waiting for an operation in progress on
// it to finish. Empty when the handle is not open.
std::unique_ptr<Client> UnregisterClient(HANDLE handle);

// Exclusive use of an open client for the duration of one operation.
class ClientLease {
public:
    explicit ClientLease(HANDLE handle);
    Client* get() const { return client_; }

private:
    Client* client_ = nullptr;
    std::unique_lock<std::mutex> lock_;
};

}  // namespace wlanlinux
