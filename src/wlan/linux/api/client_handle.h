// Client handles. A handle is a generation count, never an address: each open
// takes the next value and no value comes back in the life of the process, so
// a closed or made-up handle is answered with ERROR_INVALID_HANDLE and can
// never reach another client. The process-wide table maps open values to
// their clients; each client owns its socket and its cached interfaces.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/api/manager_queries.h"
#include "wlan/linux/netlink/netlink_socket.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

struct Client {
    std::mutex mutex;  // one operation at a time per handle
    NetlinkSocket socket;
    std::uint16_t family = 0;  // 0: the machine has no nl80211
    // The interfaces of the latest enumeration: how a GUID finds its interface.
    std::vector<InterfaceRecord> interfaces;
    ManagerAttempts manager;
};

// Adds the client to the table and returns its handle. Null when the table
// cannot grow; the client is then freed, its socket closed.
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
