// What the network manager on the system bus adds to the operations: saved
// profiles in the network list and finer interface states. NetworkManager
// answers when it is on the bus, else iwd (profiles only). Nothing is started,
// all bus work of one call ends within kBusBudgetUsec, and without a bus, a
// manager or a timely answer the lists stay exactly as nl80211 made them.
// Only our own running out of memory fails an operation: any failure of a
// bus call does not, -ENOMEM included, since sd-bus gives a peer's NoMemory
// error reply that same code and a peer must not be able to fail the list.
#pragma once

#include <vector>

#include "wlan/linux/api/interface_record.h"
#include "wlan/wlan_types.h"

namespace wlanlinux {

// What one client has learnt of the bus: once its budget ran out, the
// manager (or the bus) is not answering, and the client's later operations
// ask it nothing more. A stuck manager then costs one budget per client, not
// one per operation.
struct ManagerAttempts {
    bool silent = false;
};

// Adds the entries of the saved profiles that match the networks seen on the
// interface. Returns 0, or ENOMEM (the list is then unchanged).
int AddProfileEntries(const char* interfaceName, std::vector<WLAN_AVAILABLE_NETWORK>& networks,
                      ManagerAttempts& attempts) noexcept;

// Refines the interfaces' states with NetworkManager's device states, all or
// none of them. Returns 0, or ENOMEM (the states are then unchanged).
int RefineStatesWithManager(std::vector<InterfaceRecord>& records,
                            ManagerAttempts& attempts) noexcept;

}  // namespace wlanlinux
