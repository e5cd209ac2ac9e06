#include "wlan/linux/api/manager_queries.h"

#include <algorithm>
#include <cerrno>
#include <new>

#include "wlan/linux/api/device_state_mapping.h"
#include "wlan/linux/api/profile_entries.h"
#include "wlan/linux/bus/bus_properties.h"
#include "wlan/linux/bus/iwd_reader.h"
#include "wlan/linux/bus/networkmanager_reader.h"
#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {
namespace {

int ReadProfiles(BusSession& session, const char* interfaceName, ProfileSet& profiles) {
    int owned = NameHasOwner(session, kNetworkManagerName);
    if (owned > 0) return ReadNetworkManagerProfiles(session, interfaceName, profiles);
    if (owned == 0) owned = NameHasOwner(session, kIwdName);
    if (owned > 0) return ReadIwdProfiles(session, interfaceName, profiles);
    return owned;
}

}  // namespace

int AddProfileEntries(const char* interfaceName, std::vector<WLAN_AVAILABLE_NETWORK>& networks,
                      ManagerAttempts& attempts) noexcept {
    if (networks.empty() || attempts.silent) return 0;
    try {
        BusSession session;
        ProfileSet profiles;
        int result = OpenSystemBus(session, kBusBudgetUsec);
        if (result >= 0) result = ReadProfiles(session, interfaceName, profiles);
        attempts.silent = BudgetSpent(session);
        if (result < 0 || profiles.profiles.empty()) return 0;
        networks = WithProfileEntries(networks, profiles, interfaceName);
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}

int RefineStatesWithManager(std::vector<InterfaceRecord>& records,
                            ManagerAttempts& attempts) noexcept {
    // An interface that is down stays not ready: with none up, no bus at all.
    const bool anyUp = std::any_of(records.begin(), records.end(), [](const InterfaceRecord& r) {
        return r.state != wlan_interface_state_not_ready;
    });
    if (!anyUp || attempts.silent) return 0;
    try {
        BusSession session;
        int result = OpenSystemBus(session, kBusBudgetUsec);
        if (result >= 0) result = NameHasOwner(session, kNetworkManagerName);
        attempts.silent = BudgetSpent(session);
        if (result <= 0) return 0;
        std::vector<WLAN_INTERFACE_STATE> refined(records.size());
        for (std::size_t i = 0; i != records.size(); ++i) {
            refined[i] = records[i].state;
            if (refined[i] == wlan_interface_state_not_ready) continue;
            std::uint32_t deviceState = 0;
            result = ReadNetworkManagerDeviceState(session, records[i].netdev.name, deviceState);
            attempts.silent = BudgetSpent(session);
            if (result < 0) return 0;
            refined[i] = RefineWithDeviceState(refined[i], deviceState);
        }
        for (std::size_t i = 0; i != records.size(); ++i) records[i].state = refined[i];
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}

}  // namespace wlanlinux
