#include "wlan/linux/bus/iwd_reader.h"

#include <cerrno>
#include <string>
#include <vector>

#include "wlan/linux/bus/bus_message_reading.h"
#include "wlan/linux/bus/bus_properties.h"

namespace wlanlinux {
namespace {

// Objects kept from one reply (only those that say something of profiles),
// and known networks among them: devices and stations are kept whatever the
// number of known networks.
constexpr std::size_t kMaxObjects = 16384;
constexpr std::size_t kMaxKnownNetworks = 4096;
constexpr std::size_t kPathLimit = 4096;
constexpr std::size_t kNameLimit = 1024;
constexpr std::size_t kMaxSsidLength = 32;

constexpr char kKnownNetworkInterface[] = "net.connman.iwd.KnownNetwork";
constexpr char kStationInterface[] = "net.connman.iwd.Station";

struct WantedProperty {
    const char* interface;
    const char* key;
    char type;
    std::size_t limit;
    std::string IwdObject::*field;
};

constexpr WantedProperty kWanted[] = {
    {kKnownNetworkInterface, "Name", 's', kNameLimit, &IwdObject::name},
    {kKnownNetworkInterface, "Type", 's', 16, &IwdObject::type},
    {"net.connman.iwd.Device", "Name", 's', 64, &IwdObject::deviceName},
    {kStationInterface, "ConnectedNetwork", 'o', kPathLimit, &IwdObject::connectedNetwork},
    {kStationInterface, "State", 's', 32, &IwdObject::stationState},
    {"net.connman.iwd.Network", "KnownNetwork", 'o', kPathLimit, &IwdObject::knownNetworkPath},
};

int ReadProperty(sd_bus_message* reply, const std::string& interface, const std::string& key,
                 IwdObject& object) {
    if (interface == kKnownNetworkInterface) object.isKnownNetwork = true;
    if (interface == kStationInterface) object.isStation = true;
    for (const WantedProperty& wanted : kWanted)
        if (interface == wanted.interface && key == wanted.key)
            return ReadVariantText(reply, wanted.type, object.*wanted.field, wanted.limit);
    return sd_bus_message_skip(reply, "v");
}

bool SaysSomething(const IwdObject& object) {
    return object.isKnownNetwork || !object.deviceName.empty() || !object.knownNetworkPath.empty();
}

int ReadObjectList(sd_bus_message* reply, std::vector<IwdObject>& objects) {
    int result = sd_bus_message_enter_container(reply, 'a', "{oa{sa{sv}}}");
    if (result <= 0) return result < 0 ? result : -EBADMSG;
    while (objects.size() != kMaxObjects &&
           (result = sd_bus_message_enter_container(reply, 'e', "oa{sa{sv}}")) > 0) {
        IwdObject object;
        if ((result = ReadText(reply, 'o', object.path, kPathLimit)) < 0) return result;
        result = ReadGroupedProperties(
            reply, [&](const std::string& interface, const std::string& key) {
                return ReadProperty(reply, interface, key, object);
            });
        if (result < 0) return result;
        if ((result = sd_bus_message_exit_container(reply)) < 0) return result;
        if (SaysSomething(object)) objects.push_back(std::move(object));
    }
    return result < 0 ? result : 0;
}

const IwdObject* FindObject(const std::vector<IwdObject>& objects, const std::string& path) {
    if (path.empty()) return nullptr;
    for (const IwdObject& object : objects)
        if (object.path == path) return &object;
    return nullptr;
}

// Known-network types iwd connects with.
constexpr struct {
    const char* type;
    ProfileKeyMgmt keyMgmt;
} kTypes[] = {
    {"open", ProfileKeyMgmt::IwdOpen},
    {"psk", ProfileKeyMgmt::IwdPsk},
    {"8021x", ProfileKeyMgmt::Iwd8021x},
};

bool SetSecurity(const std::string& type, SavedProfile& profile) {
    for (const auto& row : kTypes)
        if (type == row.type) {
            profile.keyMgmt = row.keyMgmt;
            return true;
        }
    return false;
}

}  // namespace

int ReadIwdObjects(sd_bus_message* reply, std::vector<IwdObject>& objects) {
    objects.clear();
    const int result = ReadObjectList(reply, objects);
    if (result < 0) {
        objects.clear();
        return result;
    }
    KeepFirstOfEach(objects, [](const IwdObject& o) -> const std::string& { return o.path; });
    return 0;
}

void IwdProfilesOf(const std::vector<IwdObject>& objects, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    out.source = ProfileSnapshot::Source::Iwd;
    out.interfacesKnown = true;
    for (const IwdObject& object : objects) {
        if (object.isStation && !object.deviceName.empty()) {
            out.managedInterfaces.push_back(object.deviceName);
            if (!object.stationState.empty())
                out.states.push_back({object.deviceName, object.stationState});
        }
        if (!object.deviceName.empty()) {
            const IwdObject* network = FindObject(objects, object.connectedNetwork);
            out.active.push_back(
                {object.deviceName, network != nullptr ? network->knownNetworkPath : std::string()});
        }
        SavedProfile profile;
        if (!object.isKnownNetwork || out.profiles.size() == kMaxKnownNetworks ||
            object.name.empty() || object.name.size() > kMaxSsidLength ||
            !SetSecurity(object.type, profile))
            continue;
        profile.name = object.name;
        profile.ssid = object.name;
        profile.path = object.path;
        out.profiles.push_back(std::move(profile));
    }
}

int ReadIwdProfiles(BusOperation& operation, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    BusCall call = MethodCall(kIwdName, "/", "org.freedesktop.DBus.ObjectManager", "GetManagedObjects");
    const int result = RunCall(operation, call);
    if (result < 0) return result;
    if (call.status == CallStatus::NoService) return 0;
    out.source = ProfileSnapshot::Source::Iwd;
    std::vector<IwdObject> objects;
    if (call.status != CallStatus::Answered || ReadIwdObjects(call.reply.get(), objects) < 0) return 1;
    IwdProfilesOf(objects, out);
    return 1;
}

}  // namespace wlanlinux
