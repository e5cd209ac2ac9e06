// What the machine's network manager adds to the operations: saved profiles in
// the network list and finer interface states. One manager speaks, the first
// of NetworkManager, iwd, ConnMan and wpa_supplicant on the system bus, else
// wpa_supplicant's control sockets; its profiles apply to the interfaces it
// manages. The bus itself says which managers are there, so one that is not
// costs no call. Nothing is started; a call waits at most
// kOperationBudgetUsec for an answer and the manager work of a report cycle
// ends within kCycleBudgetUsec; without a manager or a timely answer the
// lists stay exactly as nl80211 made them. Only our own running out of memory
// fails an operation: a peer's error reply, whatever its name, never.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "wlan/linux/api/interface_record.h"
#include "wlan/linux/profiles/saved_profiles.h"
#include "wlan/linux/bus/system_bus.h"
#include "wlan/linux/platform/network_grouping.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// What one client holds of the network manager: its bus connection and the
// time spent on it in this report cycle, and the profiles it read, for all
// the interfaces of one enumeration.
struct ManagerContact {
    ClientBus bus;
    ProfileSnapshot profiles;          // held until a complete reading replaces it
    bool readInCycle = false;          // read, completely or not, in this cycle
    bool complete = false;             // the last reading was complete
    bool completeInCycle = false;      // ... and made in this cycle: its states are current
    ProfileSnapshot::Source sourceInCycle = ProfileSnapshot::Source::None;  // who answered in this cycle
    std::uint64_t profilesReadAt = 0;  // BusNow() at the end of that reading
    std::vector<std::string> interfaceNames;  // this cycle's interfaces (control sockets)
};

// Within one cycle, a complete set older than this is read again.
inline constexpr std::uint64_t kProfilesFreshUsec = 2'000'000;

// A new report cycle (an enumeration): the bus budget whole again, a silent
// manager asked again, and the profiles read again at the next list.
void StartReportCycle(ManagerContact& contact) noexcept;

// Adds to `networks` (the scan's networks) the entries of the saved profiles
// that match the networks seen on the interface. Returns 0, or ENOMEM (the
// list is then unchanged).
int AddProfileEntries(const InterfaceRecord& record, const ScannedNetworks& scan,
                      std::vector<WLAN_AVAILABLE_NETWORK>& networks, ManagerContact& contact) noexcept;

// Refines the interfaces' states with the manager's states (NetworkManager's
// device states, or those read with the other managers' profiles), all or
// none of them. Returns 0, or ENOMEM (the states are then unchanged).
int RefineStatesWithManager(std::vector<InterfaceRecord>& records, ManagerContact& contact) noexcept;

}  // namespace wlanlinux
