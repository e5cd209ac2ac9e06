#include "wlan/linux/bus/networkmanager_reader.h"

#include <cerrno>
#include <string>
#include <vector>

#include "wlan/linux/bus/bus_message_reading.h"
#include "wlan/linux/bus/bus_properties.h"

namespace wlanlinux {
namespace {

constexpr char kRootPath[] = "/org/freedesktop/NetworkManager";
constexpr char kSettingsPath[] = "/org/freedesktop/NetworkManager/Settings";
constexpr char kDeviceInterface[] = "org.freedesktop.NetworkManager.Device";

// Bounds on what a peer can make us hold.
constexpr std::size_t kMaxProfiles = 1024;
constexpr std::size_t kPathLimit = 4096;
constexpr std::size_t kNameLimit = 1024;  // far beyond the 255 units a name is shown with
constexpr std::size_t kShortLimit = 64;   // interface names, modes
constexpr std::size_t kMaxSsidLength = 32;

int Malformed(int result) { return result < 0 ? result : -EBADMSG; }

int ReadPaths(sd_bus_message* reply, std::vector<std::string>& paths) {
    int result = sd_bus_message_enter_container(reply, 'a', "o");
    if (result <= 0) return Malformed(result);
    std::string path;
    while (paths.size() != kMaxProfiles &&
           (result = sd_bus_message_peek_type(reply, nullptr, nullptr)) > 0) {
        if ((result = ReadText(reply, 'o', path, kPathLimit)) < 0) return result;
        paths.push_back(path);
    }
    return result < 0 ? result : 0;
}

struct ProfileFields {
    SavedProfile profile;
    std::string mode;
    bool hasSsid = false;
};

// One setting: the fields a profile is matched and named by; the rest skipped.
int ReadSetting(sd_bus_message* reply, const std::string& group, const std::string& key,
                ProfileFields& fields) {
    if (group == "connection" && key == "id")
        return ReadVariantText(reply, 's', fields.profile.name, kNameLimit);
    if (group == "connection" && key == "interface-name")
        return ReadVariantText(reply, 's', fields.profile.interfaceName, kShortLimit);
    if (group == "802-11-wireless" && key == "mode")
        return ReadVariantText(reply, 's', fields.mode, kShortLimit);
    if (group == "802-11-wireless" && key == "ssid") {
        const int result = ReadVariantBytes(reply, fields.profile.ssid, kMaxSsidLength);
        fields.hasSsid = result > 0;
        return result;
    }
    return sd_bus_message_skip(reply, "v");
}

ProfileMode ModeOf(const std::string& mode) {
    if (mode.empty() || mode == "infrastructure") return ProfileMode::Infrastructure;
    if (mode == "adhoc") return ProfileMode::AdHoc;
    return ProfileMode::Other;
}

// GetSettings' a{sa{sv}}: 1 for a Wi-Fi profile with an SSID, 0 for another
// kind of profile, or a negative errno.
int ParseSettings(sd_bus_message* reply, SavedProfile& profile) {
    ProfileFields fields;
    const int result = ReadGroupedProperties(
        reply, [&](const std::string& group, const std::string& key) {
            return ReadSetting(reply, group, key, fields);
        });
    if (result < 0) return result;
    if (!fields.hasSsid || fields.profile.ssid.empty()) return 0;
    fields.profile.mode = ModeOf(fields.mode);
    profile = std::move(fields.profile);
    return 1;
}

// The device's object path; empty when NetworkManager has no such device.
int DevicePath(BusSession& session, const char* interfaceName, std::string& path) {
    path.clear();
    BusMessage reply;
    const int result = AbsentIfRefused(
        session, CallMethod(session, kNetworkManagerName, kRootPath, kNetworkManagerName,
                            "GetDeviceByIpIface", {interfaceName}, reply));
    if (result != 0) return result < 0 ? result : 0;
    return ReadText(reply.get(), 'o', path, kPathLimit);
}

// The settings path of the profile the device's active connection uses;
// empty when it has none.
int ActiveProfilePath(BusSession& session, const char* interfaceName, std::string& path) {
    path.clear();
    std::string device;
    std::string active;
    int result = DevicePath(session, interfaceName, device);
    if (result < 0 || device.empty()) return result;
    result = AbsentIfRefused(session, GetTextProperty(session, kNetworkManagerName, device.c_str(),
                                                      kDeviceInterface, "ActiveConnection", 'o',
                                                      active));
    if (result != 0 || active == "/") return result < 0 ? result : 0;
    result = AbsentIfRefused(
        session, GetTextProperty(session, kNetworkManagerName, active.c_str(),
                                 "org.freedesktop.NetworkManager.Connection.Active", "Connection",
                                 'o', path));
    return result < 0 ? result : 0;
}

}  // namespace

int ReadNetworkManagerProfiles(BusSession& session, const char* interfaceName, ProfileSet& out) {
    out = ProfileSet{};
    BusMessage reply;
    int result = CallMethod(session, kNetworkManagerName, kSettingsPath,
                            "org.freedesktop.NetworkManager.Settings", "ListConnections", {}, reply);
    std::vector<std::string> paths;
    if (result < 0 || (result = ReadPaths(reply.get(), paths)) < 0) return result;
    std::vector<const std::string*> profilePaths;
    for (const std::string& path : paths) {
        // Profiles the caller may not read answer PermissionDenied.
        result = AbsentIfRefused(session, CallMethod(session, kNetworkManagerName, path.c_str(),
                                                     "org.freedesktop.NetworkManager.Settings.Connection",
                                                     "GetSettings", {}, reply));
        if (result < 0) return result;
        if (result > 0) continue;
        SavedProfile profile;
        if ((result = ParseSettings(reply.get(), profile)) < 0) return result;
        if (result == 0) continue;
        out.profiles.push_back(std::move(profile));
        profilePaths.push_back(&path);
    }
    std::string active;
    if ((result = ActiveProfilePath(session, interfaceName, active)) < 0) return result;
    for (std::size_t i = 0; i != profilePaths.size(); ++i)
        if (!active.empty() && *profilePaths[i] == active) out.inUse = i;
    return 0;
}

int ReadNetworkManagerDeviceState(BusSession& session, const char* interfaceName,
                                  std::uint32_t& state) {
    state = 0;
    std::string device;
    int result = DevicePath(session, interfaceName, device);
    if (result < 0 || device.empty()) return result;
    result = AbsentIfRefused(session, GetU32Property(session, kNetworkManagerName, device.c_str(),
                                                     kDeviceInterface, "State", state));
    if (result > 0) state = 0;
    return result < 0 ? result : 0;
}

}  // namespace wlanlinux
