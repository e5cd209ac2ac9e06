// Client handles. A handle is a generation count, never an address: each open
// takes the next value and no value comes back in the life of the process, so
// a closed or made-up handle is answered with ERROR_INVALID_HANDLE and can
// never reach another client. The process-wide table maps open values to
// their clients; each client owns its sockets, its bus connection and its
// cached interfaces. The table's lock is held only to look a client up: a
// slow operation on one handle never delays another handle.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/api/manager_queries.h"
#include "wlan/linux/nl80211/nl80211_requests.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

struct Client {
    std::mutex mutex;  // one operation at a time per handle
    bool open = true;  // false once closed: a lease taken on it finds nothing
    Nl80211Handle nl80211;
    // The interfaces of the latest enumeration: how a GUID finds its interface.
    std::vector<InterfaceRecord> interfaces;
    ManagerContact manager;
};

// Adds the client to the table and returns its handle. Null when the table
// cannot grow; the client is then freed, its socket closed.
HANDLE RegisterClient(std::shared_ptr<Client> client);

// Removes the handle from the table and closes its client, once an operation
// in progress on that handle has finished. False when the handle is not open.
bool UnregisterClient(HANDLE handle);

// Exclusive use of an open client for the duration of one operation.
class ClientLease {
public:
    explicit ClientLease(HANDLE handle);
    Client* get() const { return client_ != nullptr && client_->open ? client_.get() : nullptr; }

private:
    std::shared_ptr<Client> client_;
    std::unique_lock<std::mutex> lock_;
};

}  // namespace wlanlinux
