// Replies of NetworkManager, iwd, ConnMan and wpa_supplicant as a peer could
// write them, handed to the readers of those replies. The input is a small
// program: it picks the reply's types (mostly the shapes the readers expect,
// sometimes anything, nested deep) and then its values (words the readers look
// for, raw bytes that may be invalid UTF-8, long texts, many or repeated
// entries). Each message is built and sealed on a bus started over a socket
// pair whose other end no one reads, so no daemon runs and no byte crosses it.
#include <sys/socket.h>
#include <systemd/sd-bus.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "wlan/linux/bus/bus_properties.h"
#include "wlan/linux/bus/connman_reader.h"
#include "wlan/linux/bus/iwd_reader.h"
#include "wlan/linux/bus/networkmanager_reader.h"
#include "wlan/linux/bus/wpa_supplicant_reader.h"

namespace {

using namespace wlanlinux;

// Bounds on one message, so that every input builds in little time. The
// readers' caps on counts (thousands of profiles and objects) are the unit
// tests'; here arrays stay short and texts just pass the readers' limits.
constexpr int kMaxDepth = 40;
constexpr std::size_t kLongText = 1100;
constexpr std::size_t kManyElements = 80;

struct Input {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t values = 1000;      // values left to append
    std::size_t bulk = 16 * 1024;  // bytes of long texts and arrays left
    // Whether `count` more bytes fit the message's bound; takes them when so.
    bool Take(std::size_t count) {
        if (count > bulk) return false;
        bulk -= count;
        return true;
    }
    std::uint8_t Byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    std::string Bytes(std::size_t count) {
        if (count > size) count = size;
        std::string text(reinterpret_cast<const char*>(data), count);
        data += count;
        size -= count;
        return text;
    }
};

// What the readers look for, and neighbours of it.
constexpr const char* kWords[] = {
    "connection", "id", "interface-name", "type", "uuid", "802-11-wireless", "ssid", "mode",
    "mac-address", "802-11-wireless-security", "key-mgmt", "wep-key0", "infrastructure",
    "adhoc", "ap", "mesh", "none", "wpa-psk", "sae", "wpa-eap", "owe", "wlan1", "wlan2",
    "net.connman.iwd.KnownNetwork", "net.connman.iwd.Device", "net.connman.iwd.Station",
    "net.connman.iwd.Network", "Name", "Type", "ConnectedNetwork", "KnownNetwork", "psk",
    "open", "8021x", "lab-home", "", "bssid", "band", "channel", "mac-address-denylist",
    "proto", "pairwise", "group", "a", "bg", "rsn", "wpa", "ccmp", "tkip", "wep40",
    "02:00:00:00:00:01", "ieee8021x", "wpa-eap-suite-b-192", "Interface", "DeviceType", "Managed",
    "mac-address-blacklist", "ActiveConnection", "Favorite", "State", "Security", "Ethernet", "wifi",
    "ethernet", "wep", "wps", "idle", "association", "configuration", "ready", "online", "failure",
    "Ifname", "Networks", "CurrentNetwork", "key_mgmt", "id_str", "disabled", "6c61622d686f6d65",
    "WPA-PSK SAE", "completed", "1"};
constexpr const char* kPaths[] = {
    "/", "/org/freedesktop/NetworkManager/Settings/1", "/org/freedesktop/NetworkManager/Settings/2",
    "/net/connman/iwd/0/3", "/net/connman/iwd/0/3/6c61622d686f6d65_psk",
    "/net/connman/iwd/6c61622d686f6d65_psk", "/net/connman/service/wifi_020000000001_6c61622d686f6d65_managed_psk",
    "/net/connman/service/wifi_020000000001_hidden_managed_none",
    "/fi/w1/wpa_supplicant1/Interfaces/0/Networks/0"};
// Whole replies: GetSettings, GetManagedObjects, ListConnections, the single
// values of GetDeviceByIpIface and Properties.Get, and ConnMan's GetServices.
constexpr const char* kShapes[] = {"a{sa{sv}}", "a{oa{sa{sv}}}", "ao", "o", "v", "a{sv}", "s", "a(oa{sv})"};
// What a variant holds, mostly.
constexpr const char* kHeld[] = {"s", "o", "ay", "u", "b", "as", "a{sv}", "v", "aay", "i", "ao"};

template <std::size_t N>
const char* Pick(Input& in, const char* const (&list)[N]) { return list[in.Byte() % N]; }

// A single complete type chosen by the input.
std::string AnyType(Input& in, int depth) {
    static constexpr char kBasic[] = "sybuoqxd";
    const std::uint8_t choice = in.Byte();
    if (depth >= kMaxDepth || choice % 16 < 8) return std::string(1, kBasic[choice % 8]);
    switch (choice % 16) {
    case 8: case 9: return "a" + AnyType(in, depth + 1);
    case 10: return std::string("a{") + kBasic[in.Byte() % 5] + AnyType(in, depth + 1) + "}";
    case 11: return "(" + AnyType(in, depth + 1) + AnyType(in, depth + 1) + ")";
    case 12: return Pick(in, kShapes);
    default: return "v";
    }
}

// The length of the single complete type at the start of `signature`.
std::size_t TypeLength(const char* signature) {
    if (*signature == 'a') return 1 + TypeLength(signature + 1);
    if (*signature != '(' && *signature != '{') return 1;
    std::size_t length = 1;
    while (signature[length] != ')' && signature[length] != '}') length += TypeLength(signature + length);
    return length + 1;
}

std::string Text(Input& in) {
    const std::uint8_t kind = in.Byte();
    if (kind % 4 != 0) return Pick(in, kWords);
    if (kind % 16 == 4 && in.Take(kLongText)) return std::string(kLongText, static_cast<char>('a' + kind % 7));
    return in.Bytes(in.Byte() % 48);  // any bytes: invalid UTF-8, a NUL cutting it short
}

int AppendValue(sd_bus_message* m, Input& in, const std::string& type, int depth);

// Appends one value of each type in `types` (a sequence of complete types).
int AppendValues(sd_bus_message* m, Input& in, const std::string& types, int depth) {
    for (std::size_t at = 0; at < types.size();) {
        const std::size_t length = TypeLength(types.c_str() + at);
        const int result = AppendValue(m, in, types.substr(at, length), depth);
        if (result < 0) return result;
        at += length;
    }
    return 0;
}

int AppendContainer(sd_bus_message* m, Input& in, char kind, const std::string& contents, int depth) {
    int result = sd_bus_message_open_container(m, kind, contents.c_str());
    if (result < 0) return result;
    if (kind == 'a') {
        // Mostly a few elements; sometimes more.
        const std::uint8_t count = in.Byte();
        const std::size_t elements = count >= 250 ? kManyElements : count % 8;
        for (std::size_t i = 0; i != elements && in.values != 0 && result >= 0; ++i)
            result = AppendValue(m, in, contents, depth + 1);
    } else {
        result = AppendValues(m, in, contents, depth + 1);
    }
    return result < 0 ? result : sd_bus_message_close_container(m);
}

int AppendValue(sd_bus_message* m, Input& in, const std::string& type, int depth) {
    if (in.values != 0) --in.values;
    switch (type[0]) {
    case 's':
        // sd-bus refuses text that is not UTF-8 without spoiling the message.
        if (sd_bus_message_append_basic(m, 's', Text(in).c_str()) >= 0) return 0;
        return sd_bus_message_append_basic(m, 's', "");
    case 'o': {
        const std::uint8_t kind = in.Byte();
        const std::string path = kind % 4 == 0 ? "/" + in.Bytes(kind % 32) : Pick(in, kPaths);
        if (sd_bus_message_append_basic(m, 'o', path.c_str()) >= 0) return 0;
        return sd_bus_message_append_basic(m, 'o', "/");
    }
    case 'a':
        if (type == "ay") {  // an SSID or MAC address: any bytes, sometimes too many
            const std::uint8_t length = in.Byte();
            const bool many = length >= 240 && in.Take(length);
            const std::string bytes = many ? std::string(length, 'x') : in.Bytes(length % 40);
            return sd_bus_message_append_array(m, 'y', bytes.data(), bytes.size());
        }
        return AppendContainer(m, in, 'a', type.substr(1), depth);
    case '{': return AppendContainer(m, in, 'e', type.substr(1, type.size() - 2), depth);
    case '(': return AppendContainer(m, in, 'r', type.substr(1, type.size() - 2), depth);
    case 'v': {
        const std::uint8_t kind = in.Byte();
        const std::string held = depth >= kMaxDepth ? "s"
                                 : kind % 4 != 0    ? Pick(in, kHeld)
                                                    : AnyType(in, depth + 1);
        return AppendContainer(m, in, 'v', held, depth);
    }
    default: {
        std::uint64_t value = 0;
        for (int i = 0; i != 8; ++i) value = value << 8 | in.Byte();
        return sd_bus_message_append_basic(m, type[0], &value);
    }
    }
}

// A bus to build messages on; null when it could not be started. It lives as
// long as the process.
sd_bus* StartedBus() {
    int fds[2];
    sd_bus* bus = nullptr;
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) < 0 || sd_bus_new(&bus) < 0) return nullptr;
    sd_bus_set_fd(bus, fds[0], fds[0]);
    return sd_bus_start(bus) >= 0 ? bus : nullptr;
}

}  // namespace

// Each input's memory is freed by its end: no leak check per input, and short
// allocation stacks.
extern "C" const char* __asan_default_options() { return "detect_leaks=0:malloc_context_size=5"; }

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static sd_bus* const bus = StartedBus();
    if (bus == nullptr) __builtin_trap();
    Input in{data, size};
    sd_bus_message* m = nullptr;
    if (sd_bus_message_new_signal(bus, &m, "/", "org.example.Fuzz", "Reply") < 0) return 0;
    // One reply, rarely more values after it.
    const std::uint8_t first = in.Byte();
    std::string types = first < 200 ? Pick(in, kShapes) : AnyType(in, 0);
    if (first % 16 == 15) types += AnyType(in, 0);
    if (AppendValues(m, in, types, 0) >= 0 && sd_bus_message_seal(m, 1, 0) >= 0) {
        std::vector<std::string> paths;
        SavedProfile profile;
        std::vector<IwdObject> objects;
        ProfileSnapshot snapshot;
        std::string text;
        std::uint32_t state = 0;
        NetworkManagerDevice device;
        const auto reread = [&] { return sd_bus_message_rewind(m, 1) >= 0; };
        if (reread()) (void)ReadConnectionPaths(m, paths);
        if (reread()) (void)ReadConnectionSettings(m, profile);
        if (reread() && ReadIwdObjects(m, objects) >= 0) IwdProfilesOf(objects, snapshot);
        if (reread()) (void)ReadPathReply(m, text);
        if (reread()) (void)ReadTextPropertyReply(m, 'o', text);
        if (reread()) (void)ReadU32PropertyReply(m, state);
        if (reread()) (void)ReadDeviceProperties(m, device);
        if (reread()) (void)ReadConnManServices(m, snapshot);
        SupplicantInterface interface;
        if (reread()) (void)ReadSupplicantInterface(m, kManyElements, interface);
        if (reread()) (void)ReadSupplicantNetwork(m, profile);
    }
    sd_bus_message_unref(m);
    return 0;
}
