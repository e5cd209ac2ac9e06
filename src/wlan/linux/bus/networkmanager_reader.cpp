#include "wlan/linux/bus/networkmanager_reader.h"

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "wlan/linux/bus/bus_message_reading.h"
#include "wlan/linux/bus/bus_properties.h"
#include "wlan/linux/profiles/profile_texts.h"
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

constexpr std::size_t kMaxListed = 16;     // proto, pairwise, group, denied adapters
constexpr std::size_t kMaxDevices = 256;

int Malformed(int result) { return result < 0 ? result : -EBADMSG; }

struct ProfileFields {
    SavedProfile profile;
    std::string type;
    std::string mode;
    std::string keyManagement;
    std::string band;
    std::vector<std::string> protos;
    std::vector<std::string> pairwise;
    std::vector<std::string> group;
    std::vector<std::string> denied;
    bool hasSsid = false;
    bool secured = false;  // the profile has security settings
};

int ReadAddressLock(sd_bus_message* reply, ProfileFields& fields) {
    // An address that cannot be read still locks the profile: to no adapter.
    const int result = ReadVariantBytes(reply, fields.profile.lockedAddress, kShortLimit);
    if (result == 0) fields.profile.lockedAddress.assign(1, '?');
    return result;
}

int ReadBssid(sd_bus_message* reply, ProfileFields& fields) {
    // The same for an access point that cannot be told.
    const int result = ReadVariantBytes(reply, fields.profile.bssid, kShortLimit);
    if (result == 0 || (result > 0 && !fields.profile.bssid.empty() && fields.profile.bssid.size() != 6))
        fields.profile.bssid.assign(1, '?');
    return result;
}

// A variant holding a 32-bit unsigned, else skipped: 1 read, 0 skipped, or a
// negative errno.
int ReadU32(sd_bus_message* reply, std::uint32_t& value) {
    int result = EnterVariant(reply, "u");
    if (result <= 0) return result;
    if ((result = sd_bus_message_read_basic(reply, 'u', &value)) <= 0) return Malformed(result);
    result = sd_bus_message_exit_container(reply);
    return result < 0 ? result : 1;
}

// The settings a profile is matched and named by, and how each is read; the
// rest are skipped.
struct SettingReader {
    const char* group;
    const char* key;
    int (*read)(sd_bus_message* reply, ProfileFields& fields);
};

constexpr SettingReader kSettings[] = {
    {"connection", "id",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantText(m, 's', f.profile.name, kNameLimit); }},
    {"connection", "type",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantText(m, 's', f.type, kShortLimit); }},
    {"connection", "interface-name",
     [](sd_bus_message* m, ProfileFields& f) {
         return ReadVariantText(m, 's', f.profile.interfaceName, kShortLimit);
     }},
    {"802-11-wireless", "ssid",
     [](sd_bus_message* m, ProfileFields& f) {
         const int result = ReadVariantBytes(m, f.profile.ssid, kMaxSsidLength);
         f.hasSsid = result > 0;
         return result;
     }},
    {"802-11-wireless", "mode",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantText(m, 's', f.mode, kShortLimit); }},
    {"802-11-wireless", "mac-address", ReadAddressLock},
    {"802-11-wireless", "mac-address-denylist",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantTextList(m, f.denied, kMaxListed, kShortLimit); }},
    {"802-11-wireless", "mac-address-blacklist",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantTextList(m, f.denied, kMaxListed, kShortLimit); }},
    {"802-11-wireless", "bssid", ReadBssid},
    {"802-11-wireless", "band",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantText(m, 's', f.band, kShortLimit); }},
    {"802-11-wireless", "channel",
     [](sd_bus_message* m, ProfileFields& f) { return ReadU32(m, f.profile.channel); }},
    {"802-11-wireless-security", "key-mgmt",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantText(m, 's', f.keyManagement, kShortLimit); }},
    {"802-11-wireless-security", "proto",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantTextList(m, f.protos, kMaxListed, kShortLimit); }},
    {"802-11-wireless-security", "pairwise",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantTextList(m, f.pairwise, kMaxListed, kShortLimit); }},
    {"802-11-wireless-security", "group",
     [](sd_bus_message* m, ProfileFields& f) { return ReadVariantTextList(m, f.group, kMaxListed, kShortLimit); }},
};

int ReadSetting(sd_bus_message* reply, const std::string& group, const std::string& key,
                ProfileFields& fields) {
    if (group == "802-11-wireless-security") fields.secured = true;
    for (const SettingReader& setting : kSettings)
        if (group == setting.group && key == setting.key) return setting.read(reply, fields);
    return sd_bus_message_skip(reply, "v");
}

// key-mgmt as NetworkManager saves it. "none" is static WEP: the keys
// themselves are secrets, never in the settings anyone may read.
constexpr struct {
    const char* keyManagement;
    ProfileKeyMgmt keyMgmt;
} kKeyManagement[] = {
    {"none", ProfileKeyMgmt::StaticWep},
    {"ieee8021x", ProfileKeyMgmt::DynamicWep},
    {"wpa-psk", ProfileKeyMgmt::WpaPsk},
    {"sae", ProfileKeyMgmt::Sae},
    {"wpa-eap", ProfileKeyMgmt::WpaEap},
    {"wpa-eap-suite-b-192", ProfileKeyMgmt::WpaEapSuiteB192},
    {"owe", ProfileKeyMgmt::Owe},
};

void SetSecurity(const ProfileFields& fields, SavedProfile& profile) {
    profile.keyMgmt = ProfileKeyMgmt::None;
    if (!fields.secured) return;
    profile.keyMgmt = ProfileKeyMgmt::Unknown;
    for (const auto& row : kKeyManagement)
        if (fields.keyManagement == row.keyManagement) profile.keyMgmt = row.keyMgmt;
}

ProfileMode ModeOf(const std::string& mode) {
    if (mode.empty()) return ProfileMode::Unspecified;
    if (mode == "infrastructure") return ProfileMode::Infrastructure;
    if (mode == "adhoc") return ProfileMode::AdHoc;
    return ProfileMode::Other;
}

ProfileBand BandOf(const std::string& band) {
    if (band == "a") return ProfileBand::A;
    if (band == "bg") return ProfileBand::Bg;
    return ProfileBand::Any;
}

// Protocol and cipher names as bits; a name NetworkManager would not save
// adds none.
std::uint32_t BitsOf(const std::vector<std::string>& names) {
    constexpr struct {
        const char* name;
        std::uint32_t bit;
    } kBits[] = {{"wpa", kProtoWpa},      {"rsn", kProtoRsn},   {"wep40", kProfileCipherWep40},
                 {"wep104", kProfileCipherWep104}, {"tkip", kProfileCipherTkip}, {"ccmp", kProfileCipherCcmp}};
    std::uint32_t bits = 0;
    for (const std::string& name : names)
        for (const auto& row : kBits)
            if (name == row.name) bits |= row.bit;
    return bits;
}

// "aa:bb:cc:dd:ee:ff" as 6 bytes; empty when it is not such an address.
std::string AddressBytes(const std::string& text) {
    std::string bytes;
    DecodeAddress(text, bytes);
    return bytes;
}

BusCall ManagerCall(std::string path, const char* interface, const char* member) {
    return MethodCall(kNetworkManagerName, std::move(path), interface, member);
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

// The Wi-Fi devices NetworkManager manages, by interface name, and the
// settings path of each one's active connection: GetDevices, then the
// properties of every device, then the connection of every active one, each
// step's calls in flight together. A list it refuses or sends malformed
// leaves them unknown.
int ReadManagedDevices(BusOperation& operation, ProfileSnapshot& out) {
    BusCall list = ManagerCall(kRootPath, kNetworkManagerName, "GetDevices");
    int result = RunCall(operation, list);
    std::vector<std::string> paths;
    if (result < 0 || list.status != CallStatus::Answered ||
        ReadConnectionPaths(list.reply.get(), paths) < 0)
        return result;
    list.reply.reset();
    if (paths.size() > kMaxDevices) paths.resize(kMaxDevices);
    std::vector<BusCall> calls;
    calls.reserve(paths.size());
    for (std::string& path : paths) {
        calls.push_back(ManagerCall(std::move(path), "org.freedesktop.DBus.Properties", "GetAll"));
        calls.back().arguments[0] = kDeviceInterface;
    }
    if ((result = RunCalls(operation, calls)) < 0) return result;
    out.interfacesKnown = true;
    std::vector<BusCall> active;
    for (const BusCall& call : calls) {
        NetworkManagerDevice device;
        if (call.status != CallStatus::Answered || ReadDeviceProperties(call.reply.get(), device) < 0 ||
            !device.managed || device.type != kWifiDeviceType || device.interfaceName.empty())
            continue;
        out.managedInterfaces.push_back(device.interfaceName);
        if (device.activeConnection.empty() || device.activeConnection == "/") continue;
        active.push_back(PropertyCall(kNetworkManagerName, std::move(device.activeConnection),
                                      "org.freedesktop.NetworkManager.Connection.Active", "Connection"));
        out.active.push_back({std::move(device.interfaceName), std::string()});
    }
    if ((result = RunCalls(operation, active)) < 0) return result;
    for (std::size_t i = 0; i != active.size(); ++i) out.active[i].path = PathPropertyAnswer(active[i]);
    return 0;
}

}  // namespace

int ReadDeviceProperties(sd_bus_message* reply, NetworkManagerDevice& device) {
    device = NetworkManagerDevice{};
    return ReadProperties(reply, [&](const std::string& key) {
        if (key == "Interface") return ReadVariantText(reply, 's', device.interfaceName, kShortLimit);
        if (key == "DeviceType") return ReadU32(reply, device.type);
        if (key == "Managed") return ReadVariantBool(reply, device.managed);
        if (key == "ActiveConnection") return ReadVariantText(reply, 'o', device.activeConnection, kPathLimit);
        return sd_bus_message_skip(reply, "v");
    });
}

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
    SavedProfile& read = fields.profile;
    read.mode = ModeOf(fields.mode);
    SetSecurity(fields, read);
    read.protos = BitsOf(fields.protos);
    read.pairwise = BitsOf(fields.pairwise);
    read.group = BitsOf(fields.group);
    read.band = BandOf(fields.band);
    for (const std::string& text : fields.denied) {
        // An address that cannot be read denies no adapter.
        std::string address = AddressBytes(text);
        if (!address.empty()) read.deniedAddresses.push_back(std::move(address));
    }
    profile = std::move(read);
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
    // The devices first: profiles without them would apply nowhere.
    if ((result = ReadManagedDevices(operation, out)) < 0) return result;

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
    // A reading cut short keeps what was answered.
    for (std::size_t i = 0; i != calls.size(); ++i) {
        if (read[i].ssid.empty()) continue;
        read[i].path = std::move(calls[i].path);
        out.profiles.push_back(std::move(read[i]));
    }
    return result < 0 ? result : 1;
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
