#include "wlan/linux/bus/iwd_reader.h"

#include <cerrno>
#include <string>
#include <vector>

#include "wlan/linux/bus/bus_message_reading.h"

namespace wlanlinux {
namespace {

constexpr std::size_t kMaxObjects = 4096;
constexpr std::size_t kPathLimit = 4096;
constexpr std::size_t kNameLimit = 1024;
constexpr std::size_t kMaxSsidLength = 32;

// What one object of iwd's tree says, as far as profiles are concerned.
struct IwdObject {
    std::string path;
    bool knownNetwork = false;
    std::string name;              // KnownNetwork.Name: the SSID
    std::string type;              // KnownNetwork.Type: psk, open, 8021x
    std::string deviceName;        // Device.Name: the interface's name
    std::string connectedNetwork;  // Station.ConnectedNetwork: a Network's path
    std::string networkKnown;      // Network.KnownNetwork: a KnownNetwork's path
};

struct WantedProperty {
    const char* interface;
    const char* key;
    char type;
    std::size_t limit;
    std::string IwdObject::*field;
};

constexpr WantedProperty kWanted[] = {
    {"net.connman.iwd.KnownNetwork", "Name", 's', kNameLimit, &IwdObject::name},
    {"net.connman.iwd.KnownNetwork", "Type", 's', 16, &IwdObject::type},
    {"net.connman.iwd.Device", "Name", 's', 64, &IwdObject::deviceName},
    {"net.connman.iwd.Station", "ConnectedNetwork", 'o', kPathLimit, &IwdObject::connectedNetwork},
    {"net.connman.iwd.Network", "KnownNetwork", 'o', kPathLimit, &IwdObject::networkKnown},
};

int ReadProperty(sd_bus_message* reply, const std::string& interface, const std::string& key,
                 IwdObject& object) {
    if (interface == "net.connman.iwd.KnownNetwork") object.knownNetwork = true;
    for (const WantedProperty& wanted : kWanted)
        if (interface == wanted.interface && key == wanted.key)
            return ReadVariantText(reply, wanted.type, object.*wanted.field, wanted.limit);
    return sd_bus_message_skip(reply, "v");
}

// ObjectManager.GetManagedObjects' a{oa{sa{sv}}}.
int ReadObjects(sd_bus_message* reply, std::vector<IwdObject>& objects) {
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
        objects.push_back(std::move(object));
    }
    return result < 0 ? result : 0;
}

const IwdObject* FindObject(const std::vector<IwdObject>& objects, const std::string& path) {
    if (path.empty()) return nullptr;
    for (const IwdObject& object : objects)
        if (object.path == path) return &object;
    return nullptr;
}

// The known network the station named `interfaceName` is connected through.
std::string InUsePath(const std::vector<IwdObject>& objects, const char* interfaceName) {
    for (const IwdObject& device : objects) {
        if (device.deviceName != interfaceName) continue;
        const IwdObject* network = FindObject(objects, device.connectedNetwork);
        return network != nullptr ? network->networkKnown : std::string();
    }
    return {};
}

bool SecurityOf(const std::string& type, ProfileSecurity& security) {
    if (type == "open") security = ProfileSecurity::Open;
    else if (type == "psk") security = ProfileSecurity::Psk;
    else if (type == "8021x") security = ProfileSecurity::Enterprise;
    else return false;
    return true;
}

}  // namespace

int ReadIwdProfiles(BusSession& session, const char* interfaceName, ProfileSet& out) {
    out = ProfileSet{};
    BusMessage reply;
    int result = CallMethod(session, kIwdName, "/", "org.freedesktop.DBus.ObjectManager",
                            "GetManagedObjects", {}, reply);
    std::vector<IwdObject> objects;
    if (result < 0 || (result = ReadObjects(reply.get(), objects)) < 0) return result;
    const std::string inUse = InUsePath(objects, interfaceName);
    for (const IwdObject& object : objects) {
        SavedProfile profile;
        if (!object.knownNetwork || object.name.empty() || object.name.size() > kMaxSsidLength ||
            !SecurityOf(object.type, profile.security))
            continue;
        profile.name = object.name;
        profile.ssid = object.name;
        if (!inUse.empty() && object.path == inUse) out.inUse = out.profiles.size();
        out.profiles.push_back(std::move(profile));
    }
    return 0;
}

}  // namespace wlanlinux
