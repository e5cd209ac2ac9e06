#include "wlan/linux/api/manager_queries.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <string>
#include <utility>

#include "wlan/linux/platform/manager_states.h"
#include "wlan/linux/bus/bus_names.h"
#include "wlan/linux/bus/connman_reader.h"
#include "wlan/linux/bus/iwd_reader.h"
#include "wlan/linux/bus/networkmanager_reader.h"
#include "wlan/linux/bus/wpa_supplicant_reader.h"
#include "wlan/linux/control/supplicant_control.h"
#include "wlan/linux/platform/profile_entries.h"

namespace wlanlinux {
namespace {

// Read once a cycle, and again within it only when the set held is complete
// and older than kProfilesFreshUsec.
bool NeedsReading(const ManagerContact& contact, std::uint64_t now) {
    if (!contact.readInCycle) return true;
    return contact.complete && now - contact.profilesReadAt >= kProfilesFreshUsec;
}

// The managers in the order in which they speak for the machine. When
// NetworkManager or ConnMan drives wpa_supplicant, wpa_supplicant's networks
// are their transient copies: the first manager found is the only one read.
using ProfileReader = int (*)(BusOperation&, ProfileSnapshot&);
struct Manager {
    const char* busName;
    ProfileReader read;
};
constexpr Manager kManagers[] = {
    {kNetworkManagerName, ReadNetworkManagerProfiles},
    {kIwdName, ReadIwdProfiles},
    {kConnManName, ReadConnManProfiles},
    {kWpaSupplicantName, ReadSupplicantProfiles},
};
constexpr std::size_t kManagerCount = sizeof kManagers / sizeof kManagers[0];

// The first manager on the bus that answers: 1, 0 when none is there (or there
// is no bus), or a negative errno (deadline, connection).
int ReadBusManagers(BusOperation& operation, ProfileSnapshot& read) {
    if (!ConnectBus(operation)) return 0;
    const char* names[kManagerCount];
    bool present[kManagerCount];
    for (std::size_t i = 0; i != kManagerCount; ++i) names[i] = kManagers[i].busName;
    int result = FindBusNames(operation, names, kManagerCount, present);
    if (result < 0) return result;
    for (std::size_t i = 0; i != kManagerCount; ++i)
        if (present[i] && (result = kManagers[i].read(operation, read)) != 0) return result;
    return 0;
}

// The profiles of the manager that speaks. A complete reading replaces the
// set held; one cut short (silence, a closed connection, the budget) replaces
// it only when it holds more, so a list never shows fewer profiles than were
// read.
void ReadProfiles(BusOperation& operation, ManagerContact& contact) {
    ProfileSnapshot read;
    int result = ReadBusManagers(operation, read);
    if (result == 0 && !contact.interfaceNames.empty()) {
        const std::uint64_t now = BusNow();
        if (now < operation.end)
            result = ReadSupplicantControl(contact.interfaceNames,
                                           std::min(operation.end - now, kOperationBudgetUsec), read);
    }
    contact.readInCycle = true;
    contact.sourceInCycle = read.source;
    contact.complete = result >= 0;
    contact.completeInCycle = contact.complete;
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
    contact.completeInCycle = false;
    contact.sourceInCycle = ProfileSnapshot::Source::None;
}

int AddProfileEntries(const InterfaceRecord& record, const ScannedNetworks& scan,
                      std::vector<WLAN_AVAILABLE_NETWORK>& networks, ManagerContact& contact) noexcept {
    if (networks.empty()) return 0;
    try {
        BusOperation operation(contact.bus);
        const std::string name = record.netdev.name;
        if (std::find(contact.interfaceNames.begin(), contact.interfaceNames.end(), name) ==
            contact.interfaceNames.end())
            contact.interfaceNames.push_back(name);
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
    try {
        // An interface that is down stays not ready: with none up, no manager is asked.
        std::vector<const char*> names;
        std::vector<std::size_t> up;
        for (std::size_t i = 0; i != records.size(); ++i)
            if (records[i].state != wlan_interface_state_not_ready) {
                names.push_back(records[i].netdev.name);
                up.push_back(i);
            }
        if (names.empty()) return 0;
        contact.interfaceNames.assign(names.begin(), names.end());
        BusOperation operation(contact.bus);
        if (NeedsReading(contact, operation.started)) ReadProfiles(operation, contact);
        if (contact.sourceInCycle == ProfileSnapshot::Source::NetworkManager) {
            std::vector<std::uint32_t> states;
            if (contact.bus.silent || ReadNetworkManagerDeviceStates(operation, names, states) <= 0)
                return 0;
            for (std::size_t i = 0; i != up.size(); ++i)
                records[up[i]].state = RefineWithDeviceState(records[up[i]].state, states[i]);
            return 0;
        }
        if (!contact.completeInCycle) return 0;
        for (const ManagerState& state : contact.profiles.states)
            for (std::size_t i = 0; i != up.size(); ++i)
                if (state.interfaceName == names[i])
                    records[up[i]].state =
                        RefineWithManagerState(contact.profiles.source, records[up[i]].state, state.state);
        return 0;
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
}

}  // namespace wlanlinux
