#include "wlan/linux/api/client_handle.h"

#include <algorithm>
#include <new>
#include <utility>

namespace wlanlinux {
namespace {

struct OpenClient {
    std::uintptr_t value;
    std::shared_ptr<Client> client;
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

HANDLE RegisterClient(std::shared_ptr<Client> client) {
    HandleTable& table = Table();
    const std::lock_guard guard(table.mutex);
    if (table.lastGeneration == kLastGeneration) return nullptr;  // every value given once
    const std::uintptr_t value = kHandleTag | ++table.lastGeneration;
    try {
        table.open.push_back({value, std::move(client)});
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    // A handle is a tagged count, never an address: nothing dereferences it.
    return reinterpret_cast<HANDLE>(value);  // NOLINT(performance-no-int-to-ptr)
}

namespace {

std::shared_ptr<Client> Lookup(HANDLE handle, bool remove) {
    HandleTable& table = Table();
    const std::lock_guard guard(table.mutex);
    const auto found = Find(table, handle);
    if (found == table.open.end()) return nullptr;
    std::shared_ptr<Client> client = found->client;
    if (remove) table.open.erase(found);
    return client;
}

}  // namespace

bool UnregisterClient(HANDLE handle) {
    const std::shared_ptr<Client> client = Lookup(handle, true);
    if (client == nullptr) return false;
    // An operation on this handle that began before the removal finishes
    // first; what the client holds goes with the last reference to it.
    const std::lock_guard wait(client->mutex);
    client->open = false;
    return true;
}

ClientLease::ClientLease(HANDLE handle) : client_(Lookup(handle, false)) {
    // The table is no longer locked: waiting here for this client's operation
    // in progress delays no other handle.
    if (client_ != nullptr) lock_ = std::unique_lock(client_->mutex);
}

}  // namespace wlanlinux
