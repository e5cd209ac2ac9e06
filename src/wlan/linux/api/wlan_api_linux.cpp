// The six operations of the WLAN client API: argument checks, the client's
// handle, and the lists they return (one allocation each, freed by WlanFreeMemory).
#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "wlan/linux/api/client_handle.h"
#include "wlan/linux/api/machine_interfaces.h"
#include "wlan/linux/api/manager_queries.h"
#include "wlan/linux/api/reason_text.h"
#include "wlan/linux/device/interface_guid.h"
#include "wlan/linux/platform/network_grouping.h"
#include "wlan/wlan_client.h"

namespace {

using namespace wlanlinux;

// Flags that also ask for profiles of ad hoc and hidden networks out of view:
// accepted; only the profiles of networks in view are listed.
constexpr DWORD kProfileListFlags = 0x00000003;

DWORD ResultOf(int error) {
    if (error == 0) return ERROR_SUCCESS;
    if (error == ENOMEM) return ERROR_NOT_ENOUGH_MEMORY;
    return ERROR_SERVICE_NOT_ACTIVE;
}

// One allocation holding the list header and its entries, zeroed; never
// smaller than the list record itself. Given back with WlanFreeMemory.
template <typename List, typename Entry>
List* AllocateList(const std::vector<Entry>& entries, std::size_t entriesOffset) {
    const std::size_t size =
        std::max(sizeof(List), entriesOffset + entries.size() * sizeof(Entry));
    void* memory = std::calloc(1, size);
    if (memory == nullptr) return nullptr;
    auto* list = static_cast<List*>(memory);
    list->dwNumberOfItems = static_cast<DWORD>(entries.size());
    list->dwIndex = 0;
    if (!entries.empty())
        std::memcpy(static_cast<char*>(memory) + entriesOffset, entries.data(),
                    entries.size() * sizeof(Entry));
    return list;
}

// What an exception inside an operation becomes: none may leave one. Running
// out of memory is the one the layer expects; whatever the operation held is
// released on the way out.
DWORD CaughtError() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return ERROR_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return ERROR_SERVICE_NOT_ACTIVE;
    }
}

// A failed read leaves no interface behind, not even part of a list.
int RefreshInterfaces(Client& client) {
    client.interfaces.clear();
    if (client.nl80211.family == 0) return 0;
    std::vector<InterfaceRecord> fresh;
    const int error = ReadInterfaces(client.nl80211, fresh);
    if (error == 0) client.interfaces = std::move(fresh);
    return error;
}

const InterfaceRecord* FindInterface(const Client& client, const GUID& guid) {
    for (const InterfaceRecord& record : client.interfaces)
        if (SameGuid(record.guid, guid)) return &record;
    return nullptr;
}

}  // namespace

extern "C" {

DWORD WlanOpenHandle(DWORD dwClientVersion, PVOID pReserved, PDWORD pdwNegotiatedVersion,
                     PHANDLE phClientHandle) try {
    if (pReserved != nullptr || pdwNegotiatedVersion == nullptr || phClientHandle == nullptr)
        return ERROR_INVALID_PARAMETER;
    if (dwClientVersion != 1 && dwClientVersion != 2) return ERROR_NOT_SUPPORTED;
    auto client = std::make_shared<Client>();
    // A kernel without nl80211 is no failure: the handle works and lists no
    // interface.
    if (OpenNl80211(client->nl80211) != 0) return ERROR_SERVICE_NOT_ACTIVE;
    const HANDLE handle = RegisterClient(std::move(client));
    if (handle == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    *pdwNegotiatedVersion = dwClientVersion;
    *phClientHandle = handle;
    return ERROR_SUCCESS;
} catch (...) {
    return CaughtError();
}

DWORD WlanCloseHandle(HANDLE hClientHandle, PVOID pReserved) try {
    if (pReserved != nullptr) return ERROR_INVALID_PARAMETER;
    // The client goes here, and its socket with it.
    if (!UnregisterClient(hClientHandle)) return ERROR_INVALID_HANDLE;
    return ERROR_SUCCESS;
} catch (...) {
    return CaughtError();
}

DWORD WlanEnumInterfaces(HANDLE hClientHandle, PVOID pReserved,
                         PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) try {
    if (pReserved != nullptr || ppInterfaceList == nullptr) return ERROR_INVALID_PARAMETER;
    const ClientLease lease(hClientHandle);
    Client* client = lease.get();
    if (client == nullptr) return ERROR_INVALID_HANDLE;
    if (const int error = RefreshInterfaces(*client)) return ResultOf(error);
    StartReportCycle(client->manager);
    if (const int error = RefineStatesWithManager(client->interfaces, client->manager)) return ResultOf(error);

    std::vector<WLAN_INTERFACE_INFO> entries(client->interfaces.size());
    for (std::size_t i = 0; i != entries.size(); ++i) {
        const InterfaceRecord& record = client->interfaces[i];
        entries[i].InterfaceGuid = record.guid;
        std::memcpy(entries[i].strInterfaceDescription, record.description,
                    sizeof entries[i].strInterfaceDescription);
        entries[i].isState = record.state;
    }
    auto* list = AllocateList<WLAN_INTERFACE_INFO_LIST>(
        entries, offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo));
    if (list == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    *ppInterfaceList = list;
    return ERROR_SUCCESS;
} catch (...) {
    return CaughtError();
}

DWORD WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD dwFlags,
                                  PVOID pReserved,
                                  PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) try {
    if (pInterfaceGuid == nullptr || pReserved != nullptr || ppAvailableNetworkList == nullptr ||
        (dwFlags & ~kProfileListFlags) != 0)
        return ERROR_INVALID_PARAMETER;
    const ClientLease lease(hClientHandle);
    Client* client = lease.get();
    if (client == nullptr) return ERROR_INVALID_HANDLE;

    // The latest enumeration maps the GUID to its interface; an unknown GUID,
    // or an interface that has gone, is looked up once more afresh.
    ScannedNetworks scan;
    const InterfaceRecord* record = nullptr;
    int error = ENODEV;
    for (int pass = 0; pass != 2 && error == ENODEV; ++pass) {
        record = FindInterface(*client, *pInterfaceGuid);
        if (record == nullptr || pass != 0) {
            if (const int refreshed = RefreshInterfaces(*client)) return ResultOf(refreshed);
            record = FindInterface(*client, *pInterfaceGuid);
        }
        if (record == nullptr) return ERROR_NOT_FOUND;
        error = DumpNetworks(client->nl80211, record->netdev.ifindex,
                             record->adapterKnown ? &record->adapter : nullptr, scan);
    }
    if (error == ENODEV) return ERROR_NOT_FOUND;
    if (error != 0) return ResultOf(error);
    std::vector<WLAN_AVAILABLE_NETWORK> networks = scan.networks;
    if (const int added = AddProfileEntries(*record, scan, networks, client->manager)) return ResultOf(added);

    auto* list = AllocateList<WLAN_AVAILABLE_NETWORK_LIST>(
        networks, offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network));
    if (list == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    *ppAvailableNetworkList = list;
    return ERROR_SUCCESS;
} catch (...) {
    return CaughtError();
}

DWORD WlanReasonCodeToString(DWORD dwReasonCode, DWORD dwBufferSize, PWCHAR pStringBuffer,
                             PVOID pReserved) {
    const char16_t* text = ReasonCodeText(dwReasonCode);
    if (text == nullptr || pStringBuffer == nullptr || dwBufferSize == 0 || pReserved != nullptr)
        return ERROR_INVALID_PARAMETER;
    DWORD length = 0;
    while (text[length] != 0 && length + 1 < dwBufferSize) {
        pStringBuffer[length] = text[length];
        ++length;
    }
    pStringBuffer[length] = 0;
    return ERROR_SUCCESS;
}

VOID WlanFreeMemory(PVOID pMemory) { std::free(pMemory); }

}  // extern "C"
