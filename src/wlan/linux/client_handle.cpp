#include "wlan/linux/client_handle.h"

#include <algorithm>

namespace wlanlinux {
namespace {

struct HandleTable {
    std::mutex mutex;
    std::vector<Client*> open;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

}  // namespace

HANDLE RegisterClient(std::unique_ptr<Client> client) {
    HandleTable& table = Table();
    const std::lock_guard guard(table.mutex);
    table.open.push_back(client.get());
    return client.release();
}

std::unique_ptr<Client> UnregisterClient(HANDLE handle) {
    HandleTable& table = Table();
    std::unique_lock guard(table.mutex);
    const auto found = std::find(table.open.begin(), table.open.end(), handle);
    if (handle == nullptr || found == table.open.end()) return nullptr;
    Client* client = *found;
    table.open.erase(found);
    guard.unlock();
    // A lease taken before the removal holds the client's mutex; wait for it.
    { const std::lock_guard wait(client->mutex); }
    return std::unique_ptr<Client>(client);
}

ClientLease::ClientLease(HANDLE handle) {
    HandleTable& table = Table();
    // The client's mutex is taken while the table is still locked, so the
    // client cannot be removed and freed between lookup and use.
    const std::lock_guard guard(table.mutex);
    const auto found = std::find(table.open.begin(), table.open.end(), handle);
    if (handle == nullptr || found == table.open.end()) return;
    client_ = *found;
    lock_ = std::unique_lock(client_->mutex);
}

}  // namespace wlanlinux
