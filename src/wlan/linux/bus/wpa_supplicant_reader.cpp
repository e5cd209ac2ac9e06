#include "wlan/linux/bus/wpa_supplicant_reader.h"

#include <cerrno>
#include <string>
#include <utility>
#include <vector>

#include "wlan/linux/bus/bus_message_reading.h"
#include "wlan/linux/bus/bus_properties.h"
#include "wlan/linux/profiles/supplicant_settings.h"

namespace wlanlinux {
namespace {

constexpr char kRootPath[] = "/fi/w1/wpa_supplicant1";
constexpr char kInterfaceInterface[] = "fi.w1.wpa_supplicant1.Interface";
constexpr char kNetworkInterface[] = "fi.w1.wpa_supplicant1.Network";

// Bounds on what a peer can make us hold: interfaces, networks over all of
// them (one call each), settings read per network, and texts. Its paths are
// about 50 bytes; the longest value read is an id_str of 1024 bytes written
// as hex, and a longer one is refused, never read in part.
constexpr std::size_t kMaxInterfaces = 256;
constexpr std::size_t kMaxNetworks = 1024;
constexpr std::size_t kMaxSettings = 512;
constexpr std::size_t kPathLimit = 256;
constexpr std::size_t kShortLimit = 64;
constexpr std::size_t kValueLimit = 4096;

int Malformed(int result) { return result < 0 ? result : -EBADMSG; }

// Paths longer than kPathLimit were read cut (one byte past it) and are
// dropped: a cut path may name another object, or none that can be called.
void DropLongPaths(std::vector<std::string>& paths) {
    std::erase_if(paths, [](const std::string& path) { return path.size() > kPathLimit; });
}

struct WantedProperty {
    const char* key;
    char type;
    std::size_t limit;
    std::string SupplicantInterface::*field;
};

constexpr WantedProperty kWanted[] = {
    {"Ifname", 's', kShortLimit, &SupplicantInterface::name},
    {"State", 's', kShortLimit, &SupplicantInterface::state},
    {"CurrentNetwork", 'o', kPathLimit + 1, &SupplicantInterface::currentNetwork},
};

// The root's Interfaces (Get's reply), each path once. 0, or a negative errno
// for a malformed reply.
int ReadInterfacePaths(sd_bus_message* reply, std::vector<std::string>& paths) {
    const int result = ReadVariantPathList(reply, paths, kMaxInterfaces, kPathLimit + 1);
    if (result <= 0) return Malformed(result);
    DropLongPaths(paths);
    KeepFirstOfEach(paths, [](const std::string& p) -> const std::string& { return p; });
    return 0;
}

BusCall InterfaceCall(std::string path) {
    BusCall call = MethodCall(kWpaSupplicantName, std::move(path), "org.freedesktop.DBus.Properties", "GetAll");
    call.arguments[0] = kInterfaceInterface;
    return call;
}

// A network and the interface whose it is.
struct ListedNetwork {
    std::string path;
    std::size_t interface;
};

// Each readable interface's networks in its order, each path once; the
// interfaces named, their states and the networks they use go to `out`.
std::vector<ListedNetwork> ListNetworks(std::vector<SupplicantInterface>& interfaces, ProfileSnapshot& out) {
    std::vector<ListedNetwork> networks;
    for (std::size_t i = 0; i != interfaces.size(); ++i) {
        SupplicantInterface& interface = interfaces[i];
        if (interface.name.empty()) continue;
        out.managedInterfaces.push_back(interface.name);
        if (!interface.state.empty()) out.states.push_back({interface.name, std::move(interface.state)});
        if (interface.currentNetwork == "/") interface.currentNetwork.clear();
        out.active.push_back({interface.name, std::move(interface.currentNetwork)});
        for (std::string& path : interface.networks) networks.push_back({std::move(path), i});
    }
    KeepFirstOfEach(networks, [](const ListedNetwork& n) -> const std::string& { return n.path; });
    return networks;
}

}  // namespace

int ReadSupplicantInterface(sd_bus_message* reply, std::size_t maxNetworks, SupplicantInterface& interface) {
    interface = SupplicantInterface{};
    const int result = ReadProperties(reply, [&](const std::string& key) {
        for (const WantedProperty& wanted : kWanted)
            if (key == wanted.key)
                return ReadVariantText(reply, wanted.type, interface.*wanted.field, wanted.limit);
        if (key == "Networks")
            return ReadVariantPathList(reply, interface.networks, maxNetworks, kPathLimit + 1);
        return sd_bus_message_skip(reply, "v");
    });
    if (result < 0) {
        interface = SupplicantInterface{};
        return result;
    }
    DropLongPaths(interface.networks);
    return 0;
}

int ReadSupplicantNetwork(sd_bus_message* reply, SavedProfile& profile) {
    int result = EnterVariant(reply, "a{sv}");
    if (result <= 0) return Malformed(result);
    SavedProfile read;
    bool readable = true;
    std::size_t settings = 0;
    std::string value;
    result = ReadProperties(reply, [&](const std::string& key) {
        if (!readable || ++settings > kMaxSettings) return sd_bus_message_skip(reply, "v");
        // wpa_supplicant gives every setting as text; anything else is no
        // setting of its own.
        const int text = ReadVariantText(reply, 's', value, kValueLimit + 1);
        if (text < 0) return text;
        readable = text > 0 && value.size() <= kValueLimit && ReadSupplicantSetting(key, value, read);
        return 0;
    });
    if (result < 0 || (result = sd_bus_message_exit_container(reply)) < 0) return result;
    if (!readable || read.ssid.empty()) return 0;
    FinishSupplicantProfile(read);
    // Its bus never gives a key: whether WEP keys are set is unknown.
    read.wepKeysUnknown = !read.wepKeys;
    profile = std::move(read);
    return 1;
}

int ReadSupplicantProfiles(BusOperation& operation, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    BusCall list = PropertyCall(kWpaSupplicantName, kRootPath, kWpaSupplicantName, "Interfaces");
    int result = RunCall(operation, list);
    if (result < 0) return result;
    if (list.status == CallStatus::NoService) return 0;
    out.source = ProfileSnapshot::Source::WpaSupplicant;
    std::vector<std::string> paths;
    if (list.status != CallStatus::Answered || ReadInterfacePaths(list.reply.get(), paths) < 0) return 1;
    list.reply.reset();

    // Every interface's properties, read as each reply comes and let go; the
    // networks listed count toward one bound for all interfaces.
    std::vector<BusCall> calls;
    calls.reserve(paths.size());
    for (std::string& path : paths) calls.push_back(InterfaceCall(std::move(path)));
    std::vector<SupplicantInterface> interfaces(calls.size());
    std::size_t listed = 0;
    result = RunCalls(operation, calls, [&](BusCall& call) {
        SupplicantInterface& read = interfaces[static_cast<std::size_t>(&call - calls.data())];
        if (call.status == CallStatus::Answered &&
            ReadSupplicantInterface(call.reply.get(), kMaxNetworks - listed, read) == 0)
            listed += read.networks.size();
        call.reply.reset();
        return 0;
    });
    if (result < 0) return result;
    out.interfacesKnown = true;
    const std::vector<ListedNetwork> networks = ListNetworks(interfaces, out);

    calls.clear();
    calls.reserve(networks.size());
    for (const ListedNetwork& network : networks)
        calls.push_back(PropertyCall(kWpaSupplicantName, network.path, kNetworkInterface, "Properties"));
    // Networks refused, malformed or left out stay without an SSID.
    std::vector<SavedProfile> read(calls.size());
    result = RunCalls(operation, calls, [&](BusCall& call) {
        const auto index = static_cast<std::size_t>(&call - calls.data());
        if (call.status == CallStatus::Answered) (void)ReadSupplicantNetwork(call.reply.get(), read[index]);
        call.reply.reset();
        return 0;
    });
    // A reading cut short keeps what was answered.
    for (std::size_t i = 0; i != calls.size(); ++i) {
        if (read[i].ssid.empty()) continue;
        read[i].interfaceName = interfaces[networks[i].interface].name;
        read[i].path = std::move(calls[i].path);
        out.profiles.push_back(std::move(read[i]));
    }
    return result < 0 ? result : 1;
}

}  // namespace wlanlinux
