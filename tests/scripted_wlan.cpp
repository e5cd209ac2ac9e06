#include "scripted_wlan.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifndef _WIN32
#define WINAPI
#endif

namespace {

struct HeldList {
    void* memory;
    std::string name;
};

// The one service a test process talks to: the operations are free functions,
// so the double that answers them has to be reachable from them.
struct ScriptedService {
    const WlanScript* script = nullptr;
    bool opened = false;
    bool closed = false;
    std::vector<HeldList> held;  // in the order handed out
    WlanCallLog log;
};

ScriptedService& Service() {
    static ScriptedService service;
    return service;
}

void Problem(const std::string& text) { Service().log.problems.push_back(text); }

// Records a call and checks the rules every handle-taking call shares.
bool Call(const std::string& name, HANDLE client, PVOID reserved) {
    ScriptedService& service = Service();
    service.log.calls.push_back(name);
    if (service.script == nullptr) {
        Problem(name + ": no script installed");
        return false;
    }
    if (service.closed) Problem(name + ": called after close");
    if (reserved != nullptr) Problem(name + ": reserved pointer is not null");
    if (client != &service || !service.opened) {
        Problem(name + ": not an open client handle");
        return false;
    }
    return true;
}

// One allocation per list, sized by its count.
template <typename List, typename Entry>
List* AllocateList(DWORD count) {
    const std::size_t header = 2 * sizeof(DWORD);
    auto* list = static_cast<List*>(std::malloc(header + std::size_t{count} * sizeof(Entry)));
    list->dwNumberOfItems = count;
    list->dwIndex = 0;
    return list;
}

void Hold(void* memory, const std::string& name) { Service().held.push_back(HeldList{memory, name}); }

}  // namespace

void InstallWlanScript(const WlanScript& script) {
    ScriptedService& service = Service();
    service = ScriptedService{};
    service.script = &script;
}

WlanCallLog FinishWlanScript() {
    ScriptedService& service = Service();
    if (service.opened && !service.closed) Problem("never closed");
    for (const HeldList& list : service.held) {
        Problem(list.name + " never freed");
        std::free(list.memory);
    }
    WlanCallLog log = std::move(service.log);
    service = ScriptedService{};
    return log;
}

extern "C" {

DWORD WINAPI WlanOpenHandle(DWORD dwClientVersion, PVOID pReserved, PDWORD pdwNegotiatedVersion,
                            PHANDLE phClientHandle) {
    ScriptedService& service = Service();
    service.log.calls.push_back("open " + std::to_string(dwClientVersion));
    if (service.script == nullptr) {
        Problem("open: no script installed");
        return ERROR_SERVICE_NOT_ACTIVE;
    }
    if (service.opened) Problem("open: called twice");
    if (dwClientVersion != 2) Problem("open: asks for a version other than 2");
    if (pReserved != nullptr) Problem("open: reserved pointer is not null");
    if (service.script->openResult != 0) return service.script->openResult;
    service.opened = true;
    *pdwNegotiatedVersion = service.script->negotiatedVersion;
    *phClientHandle = &service;
    return 0;
}

DWORD WINAPI WlanCloseHandle(HANDLE hClientHandle, PVOID pReserved) {
    if (!Call("close", hClientHandle, pReserved)) return ERROR_INVALID_HANDLE;
    ScriptedService& service = Service();
    service.closed = true;
    for (const HeldList& list : service.held) Problem(list.name + " still held at close");
    return service.script->closeResult;
}

DWORD WINAPI WlanEnumInterfaces(HANDLE hClientHandle, PVOID pReserved,
                                PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) {
    if (!Call("enum", hClientHandle, pReserved)) return ERROR_INVALID_HANDLE;
    const WlanScript& script = *Service().script;
    if (script.enumResult != 0) return script.enumResult;

    const auto count = static_cast<DWORD>(script.interfaces.size());
    auto* list = AllocateList<WLAN_INTERFACE_INFO_LIST, WLAN_INTERFACE_INFO>(count);
    WLAN_INTERFACE_INFO* entries = &list->InterfaceInfo[0];
    for (DWORD i = 0; i != count; ++i) {
        const ScriptedInterface& source = script.interfaces[i];
        std::memset(&entries[i], 0, sizeof entries[i]);
        entries[i].InterfaceGuid = source.guid;
        SetWideText(entries[i].strInterfaceDescription, source.description);
        entries[i].isState = static_cast<WLAN_INTERFACE_STATE>(source.state);
    }
    Hold(list, "interface list");
    *ppInterfaceList = list;
    return 0;
}

DWORD WINAPI WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                         DWORD dwFlags, PVOID pReserved,
                                         PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) {
    const WlanScript* script = Service().script;
    std::size_t index = 0;
    if (script != nullptr) {
        while (index < script->interfaces.size() &&
               std::memcmp(&script->interfaces[index].guid, pInterfaceGuid, sizeof(GUID)) != 0)
            ++index;
    }
    const std::string name = "networks " + std::to_string(index);
    if (!Call(name, hClientHandle, pReserved)) return ERROR_INVALID_HANDLE;
    if (dwFlags != 0) Problem(name + ": flags are not 0");
    if (std::none_of(Service().held.begin(), Service().held.end(),
                     [](const HeldList& list) { return list.name == "interface list"; }))
        Problem(name + ": asked without the interface list held");
    if (index == script->interfaces.size()) {
        Problem(name + ": unknown interface GUID");
        return ERROR_NOT_FOUND;
    }
    const ScriptedInterface& source = script->interfaces[index];
    if (source.networkListResult != 0) return source.networkListResult;

    const bool generated = script->generateNetwork != nullptr;
    const DWORD count =
        generated ? script->generatedNetworks : static_cast<DWORD>(source.networks.size());
    auto* list = AllocateList<WLAN_AVAILABLE_NETWORK_LIST, WLAN_AVAILABLE_NETWORK>(count);
    WLAN_AVAILABLE_NETWORK* entries = &list->Network[0];
    for (DWORD j = 0; j != count; ++j) {
        if (generated) script->generateNetwork(index, j, entries[j]);
        else entries[j] = source.networks[j];
    }
    Hold(list, "network list " + std::to_string(index));
    *ppAvailableNetworkList = list;
    return 0;
}

DWORD WINAPI WlanReasonCodeToString(DWORD dwReasonCode, DWORD dwBufferSize, PWCHAR pStringBuffer,
                                    PVOID pReserved) {
    ScriptedService& service = Service();
    char code[16];
    std::snprintf(code, sizeof code, "reason %08x", static_cast<unsigned>(dwReasonCode));
    service.log.calls.push_back(code);
    if (service.closed) Problem("reason: called after close");
    if (pReserved != nullptr) Problem("reason: reserved pointer is not null");
    if (service.script == nullptr) return ERROR_INVALID_PARAMETER;
    for (const ScriptedReason& reason : service.script->reasons) {
        if (reason.code != dwReasonCode) continue;
        std::size_t i = 0;
        for (; i < reason.text.size() && i < dwBufferSize; ++i)
            pStringBuffer[i] = static_cast<WCHAR>(reason.text[i]);
        if (reason.terminate && i < dwBufferSize) pStringBuffer[i] = 0;
        return reason.result;
    }
    return ERROR_INVALID_PARAMETER;
}

VOID WINAPI WlanFreeMemory(PVOID pMemory) {
    ScriptedService& service = Service();
    auto it = std::find_if(service.held.begin(), service.held.end(),
                           [pMemory](const HeldList& list) { return list.memory == pMemory; });
    if (it == service.held.end()) {
        service.log.calls.push_back("free ?");
        Problem("free: memory freed twice or never handed out");
        return;
    }
    service.log.calls.push_back("free " + it->name);
    if (service.closed) Problem("free: called after close");
    if (it + 1 != service.held.end()) Problem(it->name + " freed out of order");
    std::free(it->memory);
    service.held.erase(it);
}

}  // extern "C"
