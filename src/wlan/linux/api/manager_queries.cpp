#include "wlan/linux/api/manager_queries.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <string>
#include <utility>

#include "wlan/linux/platform/manager_states.h"
#include "wlan/linux/bus/iwd_reader.h"
#include "wlan/linux/bus/networkmanager_reader.h"
#include "wlan/linux/platform/profile_entries.h"

namespace wlanlinux {
namespace {

// Read once a cycle, and again within it only when the set held is complete
// and older than kProfilesFreshUsec.
bool NeedsReading(const ManagerContact& contact, std::uint64_t now) {
    if (!contact.readInCycle) return true;
    return contact.complete && now - contact.profilesReadAt >= kProfilesFreshUsec;
}

// NetworkManager's profiles, else iwd's. A complete reading replaces the set
// held; one cut short (silence, a closed connection, the budget) replaces it
// only when it holds more, so a list never shows fewer profiles than were read.
void ReadProfiles(BusOperation& operation, ManagerContact& contact) {
    ProfileSnapshot read;
    int result = -ENOTCONN;
    if (ConnectBus(operation)) {
        result = ReadNetworkManagerProfiles(operation, read);
        if (result == 0) result = ReadIwdProfiles(operation, read);
    }
    contact.readInCycle = true;
    contact.complete = result >= 0;
    if (result >= 0) {
        contact.profiles = std::move(read);
        contact.profilesReadAt = BusNow();
    } else if (read.profiles.size() > contact.profiles.profiles.size()) {
        contact.profiles = std::move(read);
    }
}

bool Manages(const ProfileSnapshot& snapshot, const char* interfaceName) {
    return !snapshot.interfacesKnown ||
           std::find(snapshot.managedInterfaces.begin(), snapshot.managedInterfaces.end(),
                     interfaceName) != snapshot.managedInterfaces.end();
}

std::size_t IndexOfPath(const std::vector<SavedProfile>& profiles, const std::string& path) {
    if (path.empty()) return kNoProfile;
    for (std::size_t i = 0; i != profiles.size(); ++i)
        if (profiles[i].path == path) return i;
    return kNoProfile;
}

// The profile the interface's connection uses.
std::size_t ProfileInUse(const ProfileSnapshot& snapshot, const char* interfaceName) {
    for (const ActiveProfile& active : snapshot.active)
        if (active.interfaceName == interfaceName) return IndexOfPath(snapshot.profiles, active.path);
    return kNoProfile;
}

}  // namespace

void StartReportCycle(ManagerContact& contact) noexcept {
    StartCycle(contact.bus);
    contact.readInCycle = false;
}

int AddProfileEntries(const InterfaceRecord& record, const ScannedNetworks& scan,
                      std::vector<WLAN_AVAILABLE_NETWORK>& networks, ManagerContact& contact) noexcept {
    if (networks.empty()) return 0;
    try {
        BusOperation operation(contact.bus);
        if (NeedsReading(contact, operation.started)) ReadProfiles(operation, contact);
        const ProfileSnapshot& snapshot = contact.profiles;
        if (snapshot.profiles.empty() || !Manages(snapshot, record.netdev.name)) return 0;
        const bool connected = std::any_of(networks.begin(), networks.end(), [](const auto& n) {
            return (n.dwFlags & WLAN_AVAILABLE_NETWORK_CONNECTED) != 0;
        });
        const std::size_t inUse = connected ? ProfileInUse(snapshot, record.netdev.name) : kNoProfile;
        const ProfileInterface target{record.netdev.name,
                                      record.hasAdapterAddress ? record.adapterAddress : nullptr};
        networks = WithProfileEntries(scan, snapshot.profiles, inUse, target);
        return 0;
    } catch (const std::bad_alloc&) {
        // The set held stays; the next list reads again.
        contact.readInCycle = false;
        return ENOMEM;
    }
}

int RefineStatesWithManager(std::vector<InterfaceRecord>& records, ManagerContact& contact) noexcept {
    if (contact.bus.silent) return 0;
    try {
        // An interface that is down stays not ready: with none up, no bus at all.
        std::vector<const char*> names;
        std::vector<std::size_t> up;
        for (std::size_t i = 0; i != records.size(); ++i)
            if (records[i].state != wlan_interface_state_not_ready) {
                names.push_back(records[i].netdev.name);
                up.push_back(i);
            }
        if (names.empty()) return 0;
        BusOperation operation(contact.bus);
        std::vector<std::uint32_t> states;
        if (!ConnectBus(operation) || ReadNetworkManagerDeviceStates(operation, names, states) <= 0)
            return 0;
        for (std::size_t i = 0; i != up.size(); ++i)
            records[up[i]].state = RefineWithDeviceState(records[up[i]].state, states[i]);
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}

}  // namespace wlanlinux
