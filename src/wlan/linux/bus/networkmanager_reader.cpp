#include "wlan/linux/bus/networkmanager_reader.h"

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "wlan/linux/bus/bus_message_reading.h"
#include "wlan/linux/bus/bus_properties.h"
#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {
namespace {

constexpr char kRootPath[] = "/org/freedesktop/NetworkManager";
constexpr char kSettingsPath[] = "/org/freedesktop/NetworkManager/Settings";
constexpr char kDeviceInterface[] = "org.freedesktop.NetworkManager.Device";

// Bounds on what a peer can make us hold: Wi-Fi profiles (other kinds do not
// count), and the bytes of the paths listed.
constexpr std::size_t kMaxProfiles = 1024;
constexpr std::size_t kPathBytes = 1 << 20;
constexpr std::size_t kPathLimit = 4096;
constexpr std::size_t kNameLimit = 1024;  // far beyond the 255 units a name is shown with
constexpr std::size_t kShortLimit = 64;   // interface names, modes, key management
constexpr std::size_t kMaxSsidLength = 32;

int Malformed(int result) { return result < 0 ? result : -EBADMSG; }

struct ProfileFields {
    SavedProfile profile;
    std::string type;
    std::string mode;
    std::string keyManagement;
    bool hasSsid = false;
    bool secured = false;  // the profile has security settings
};

// One setting: the fields a profile is matched and named by; the rest skipped.
int ReadSetting(sd_bus_message* reply, const std::string& group, const std::string& key,
                ProfileFields& fields) {
    if (group == "connection" && key == "id")
        return ReadVariantText(reply, 's', fields.profile.name, kNameLimit);
    if (group == "connection" && key == "type")
        return ReadVariantText(reply, 's', fields.type, kShortLimit);
    if (group == "connection" && key == "interface-name")
        return ReadVariantText(reply, 's', fields.profile.interfaceName, kShortLimit);
    if (group == "802-11-wireless" && key == "mode")
        return ReadVariantText(reply, 's', fields.mode, kShortLimit);
    if (group == "802-11-wireless" && key == "ssid") {
        const int result = ReadVariantBytes(reply, fields.profile.ssid, kMaxSsidLength);
        fields.hasSsid = result > 0;
        return result;
    }
    if (group == "802-11-wireless" && key == "mac-address") {
        // An address that cannot be read still locks the profile: to no adapter.
        const int result = ReadVariantBytes(reply, fields.profile.lockedAddress, kShortLimit);
        if (result == 0) fields.profile.lockedAddress.assign(1, '?');
        return result;
    }
    if (group == "802-11-wireless-security") {
        fields.secured = true;
        if (key == "key-mgmt") return ReadVariantText(reply, 's', fields.keyManagement, kShortLimit);
    }
    return sd_bus_message_skip(reply, "v");
}

// key-mgmt as NetworkManager saves it. "none" is static WEP: the keys
// themselves are secrets, never in the settings anyone may read.
constexpr struct {
    const char* keyManagement;
    ProfileSecurity security;
} kKeyManagement[] = {
    {"none", ProfileSecurity::Wep},
    {"ieee8021x", ProfileSecurity::Wep},
    {"wpa-psk", ProfileSecurity::Personal},
    {"sae", ProfileSecurity::Personal},
    {"wpa-eap", ProfileSecurity::Enterprise},
    {"wpa-eap-suite-b-192", ProfileSecurity::Enterprise},
    {"owe", ProfileSecurity::Owe},
};

ProfileSecurity SecurityOf(const ProfileFields& fields) {
    if (!fields.secured) return ProfileSecurity::Open;
    for (const auto& row : kKeyManagement)
        if (fields.keyManagement == row.keyManagement) return row.security;
    return ProfileSecurity::Unknown;
}

ProfileMode ModeOf(const std::string& mode) {
    if (mode.empty() || mode == "infrastructure") return ProfileMode::Infrastructure;
    if (mode == "adhoc") return ProfileMode::AdHoc;
    return ProfileMode::Other;
}

BusCall ManagerCall(std::string path, const char* interface, const char* member) {
    BusCall call;
    call.destination = kNetworkManagerName;
    call.path = std::move(path);
    call.interface = interface;
    call.member = member;
    return call;
}

BusCall DeviceCall(const char* interfaceName) {
    BusCall call = ManagerCall(kRootPath, kNetworkManagerName, "GetDeviceByIpIface");
    call.arguments[0] = interfaceName;
    return call;
}

// An object path a call answered with; empty when it was refused or malformed.
std::string PathAnswer(const BusCall& call) {
    std::string path;
    if (call.status != CallStatus::Answered || ReadPathReply(call.reply.get(), path) < 0) path.clear();
    return path;
}

// The same for a path property; "/" stands for none.
std::string PathPropertyAnswer(const BusCall& call) {
    std::string path;
    if (call.status != CallStatus::Answered ||
        ReadTextPropertyReply(call.reply.get(), 'o', path) < 0 || path == "/")
        path.clear();
    return path;
}

}  // namespace

int ReadConnectionPaths(sd_bus_message* reply, std::vector<std::string>& paths) {
    paths.clear();
    int result = sd_bus_message_enter_container(reply, 'a', "o");
    if (result <= 0) return Malformed(result);
    std::string path;
    std::size_t bytes = 0;
    while (bytes < kPathBytes && (result = sd_bus_message_peek_type(reply, nullptr, nullptr)) > 0) {
        if ((result = ReadText(reply, 'o', path, kPathLimit)) < 0) break;
        bytes += path.size();
        paths.push_back(path);
    }
    if (result < 0) {
        paths.clear();
        return result;
    }
    KeepFirstOfEach(paths, [](const std::string& p) -> const std::string& { return p; });
    return 0;
}

int ReadConnectionSettings(sd_bus_message* reply, SavedProfile& profile) {
    ProfileFields fields;
    const int result = ReadGroupedProperties(
        reply, [&](const std::string& group, const std::string& key) {
            return ReadSetting(reply, group, key, fields);
        });
    if (result < 0) return result;
    if (fields.type != "802-11-wireless" || !fields.hasSsid || fields.profile.ssid.empty()) return 0;
    fields.profile.mode = ModeOf(fields.mode);
    fields.profile.security = SecurityOf(fields);
    profile = std::move(fields.profile);
    return 1;
}

int ReadNetworkManagerProfiles(BusOperation& operation, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    BusCall list = ManagerCall(kSettingsPath, "org.freedesktop.NetworkManager.Settings",
                               "ListConnections");
    int result = RunCall(operation, list);
    if (result < 0) return result;
    if (list.status == CallStatus::NoService) return 0;
    out.source = ProfileSnapshot::Source::NetworkManager;
    std::vector<std::string> paths;
    if (list.status != CallStatus::Answered || ReadConnectionPaths(list.reply.get(), paths) < 0)
        return 1;
    list.reply.reset();

    std::vector<BusCall> calls;
    calls.reserve(paths.size());
    for (std::string& path : paths)
        calls.push_back(ManagerCall(std::move(path), "org.freedesktop.NetworkManager.Settings.Connection",
                                    "GetSettings"));
    // Each reply is read as it comes and let go; profiles the caller may not
    // read, and replies refused or malformed, are left out.
    // A Wi-Fi profile read is one with an SSID; the others stay empty.
    std::vector<SavedProfile> read(calls.size());
    std::size_t wifi = 0;
    result = RunCalls(operation, calls, [&](BusCall& call) {
        const auto index = static_cast<std::size_t>(&call - calls.data());
        if (call.status == CallStatus::Answered &&
            ReadConnectionSettings(call.reply.get(), read[index]) > 0)
            ++wifi;
        call.reply.reset();
        return wifi == kMaxProfiles ? 1 : 0;
    });
    if (result < 0) return result;
    for (std::size_t i = 0; i != calls.size(); ++i) {
        if (read[i].ssid.empty()) continue;
        read[i].path = std::move(calls[i].path);
        out.profiles.push_back(std::move(read[i]));
    }
    return 1;
}

int ReadActiveProfilePath(BusOperation& operation, const char* interfaceName, std::string& path) {
    path.clear();
    BusCall device = DeviceCall(interfaceName);
    int result = RunCall(operation, device);
    std::string devicePath = result < 0 ? std::string() : PathAnswer(device);
    if (devicePath.empty()) return result;
    BusCall active = PropertyCall(kNetworkManagerName, std::move(devicePath), kDeviceInterface,
                                  "ActiveConnection");
    result = RunCall(operation, active);
    std::string activePath = result < 0 ? std::string() : PathPropertyAnswer(active);
    if (activePath.empty()) return result;
    BusCall connection = PropertyCall(kNetworkManagerName, std::move(activePath),
                                      "org.freedesktop.NetworkManager.Connection.Active", "Connection");
    result = RunCall(operation, connection);
    if (result >= 0) path = PathPropertyAnswer(connection);
    return result;
}

int ReadNetworkManagerDeviceStates(BusOperation& operation, const std::vector<const char*>& names,
                                   std::vector<std::uint32_t>& states) {
    states.assign(names.size(), 0);
    std::vector<BusCall> devices;
    devices.reserve(names.size());
    for (const char* name : names) devices.push_back(DeviceCall(name));
    int result = RunCalls(operation, devices);
    if (result < 0) return result;
    std::vector<BusCall> calls;
    std::vector<std::size_t> of;  // the name each state call is for
    for (std::size_t i = 0; i != devices.size(); ++i) {
        if (devices[i].status == CallStatus::NoService) return 0;
        std::string path = PathAnswer(devices[i]);
        if (path.empty()) continue;
        calls.push_back(PropertyCall(kNetworkManagerName, std::move(path), kDeviceInterface, "State"));
        of.push_back(i);
    }
    if ((result = RunCalls(operation, calls)) < 0) return result;
    for (std::size_t i = 0; i != calls.size(); ++i)
        if (calls[i].status != CallStatus::Answered ||
            ReadU32PropertyReply(calls[i].reply.get(), states[of[i]]) < 0)
            states[of[i]] = 0;
    return 1;
}

}  // namespace wlanlinux
