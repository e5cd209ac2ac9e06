// What the network manager on the system bus adds to the operations: saved
// profiles in the network list and finer interface states. NetworkManager
// answers when it is on the bus, else iwd (profiles only). Nothing is started;
// a call waits at most kOperationBudgetUsec for an answer and a client's bus
// work ends within kClientBudgetUsec in all; without a bus, a manager or a
// timely answer
// the lists stay exactly as nl80211 made them. Only our own running out of
// memory fails an operation: a peer's error reply, whatever its name, never.
#pragma once

#include <cstdint>
#include <vector>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/bus/saved_profiles.h"
#include "wlan/linux/bus/system_bus.h"
#include "wlan/linux/platform/network_grouping.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// What one client holds of the network manager: its bus connection and the
// time spent on it, and the profiles it read last, for all the interfaces of
// one enumeration.
struct ManagerContact {
    ClientBus bus;
    ProfileSnapshot profiles;
    bool profilesRead = false;
    std::uint64_t profilesReadAt = 0;  // CLOCK_MONOTONIC, microseconds
};

// Profiles are read again at the next list after an enumeration, and when
// the ones held are older than this.
inline constexpr std::uint64_t kProfilesFreshUsec = 2'000'000;

// The next list reads the profiles afresh.
void ForgetProfiles(ManagerContact& contact) noexcept;

// Adds to `networks` (the scan's networks) the entries of the saved profiles
// that match the networks seen on the interface. Returns 0, or ENOMEM (the
// list is then unchanged).
int AddProfileEntries(const InterfaceRecord& record, const ScannedNetworks& scan,
                      std::vector<WLAN_AVAILABLE_NETWORK>& networks, ManagerContact& contact) noexcept;

// Refines the interfaces' states with NetworkManager's device states, all or
// none of them. Returns 0, or ENOMEM (the states are then unchanged).
int RefineStatesWithManager(std::vector<InterfaceRecord>& records, ManagerContact& contact) noexcept;

}  // namespace wlanlinux
