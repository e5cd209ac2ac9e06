#include "wlan/linux/client_handle.h"

#include <algorithm>
#include <new>

namespace wlanlinux {
namespace {

struct OpenClient {
    std::uintptr_t value;
    Client* client;
};

struct HandleTable {
    std::mutex mutex;
    std::vector<OpenClient> open;
    std::uintptr_t lastGeneration = 0;
};

HandleTable& Table() {
    static HandleTable table;
    return table;
}

// On 64-bit machines the values carry a tag in the top bits, where ordinary
// user-space addresses have none: a pointer to an object is never a handle.
constexpr std::uintptr_t kHandleTag =
    sizeof(std::uintptr_t) == 8 ? static_cast<std::uintptr_t>(0x574cull << 48) : 0;

// The last generation: below the tag on 64-bit machines; on 32-bit ones, where
// 2^32 opens take a long-running process about an hour, the last value before
// the count would wrap to the null handle and come back.
constexpr std::uintptr_t kLastGeneration =
    static_cast<std::uintptr_t>(sizeof(std::uintptr_t) == 8 ? 0xffff'ffff'ffffull : UINTPTR_MAX);

std::uintptr_t ValueOf(HANDLE handle) { return reinterpret_cast<std::uintptr_t>(handle); }

std::vector<OpenClient>::iterator Find(HandleTable& table, HANDLE handle) {
    return std::find_if(table.open.begin(), table.open.end(),
                        [value = ValueOf(handle)](const OpenClient& open) { return open.value == value; });
}

}  // namespace

HANDLE RegisterClient(std::unique_ptr<Client> client) {
    HandleTable& table = Table();
    const std::lock_guard guard(table.mutex);
    if (table.lastGeneration == kLastGeneration) return nullptr;  // every value given once
    const std::uintptr_t value = kHandleTag | ++table.lastGeneration;
    try {
        table.open.push_back({value, client.get()});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    client.release();
    return reinterpret_cast<HANDLE>(value);
}

std::unique_ptr<Client> UnregisterClient(HANDLE handle) {
    HandleTable& table = Table();
    std::unique_lock guard(table.mutex);
    const auto found = Find(table, handle);
    if (found == table.open.end()) return nullptr;
    Client* client = found->client;
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
    const auto found = Find(table, handle);
    if (found == table.open.end()) return;
    client_ = found->client;
    lock_ = std::unique_lock(client_->mutex);
}

}  // namespace wlanlinux
