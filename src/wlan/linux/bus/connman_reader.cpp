#include "wlan/linux/bus/connman_reader.h"

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "wlan/linux/bus/bus_message_reading.h"
#include "wlan/linux/bus/bus_properties.h"
#include "wlan/linux/profiles/profile_texts.h"

namespace wlanlinux {
namespace {

// Entries read of one reply (services of every technology count), and the
// profiles and interfaces kept of them.
constexpr std::size_t kMaxServices = 16384;
constexpr std::size_t kMaxProfiles = 1024;
constexpr std::size_t kMaxInterfaces = 256;
// A Wi-Fi service's path is at most about 130 bytes; a longer one names none.
constexpr std::size_t kPathLimit = 256;
constexpr std::size_t kNameLimit = 1024;
constexpr std::size_t kShortLimit = 64;
constexpr std::size_t kMaxSecurities = 8;
constexpr std::size_t kMaxSsidLength = 32;

struct Service {
    std::string path;
    std::string type;
    std::string name;
    std::string state;
    std::string interfaceName;  // Ethernet.Interface
    std::vector<std::string> security;
    bool favorite = false;
};

int ReadEthernet(sd_bus_message* reply, Service& service) {
    int result = EnterVariant(reply, "a{sv}");
    if (result <= 0) return result;
    result = ReadProperties(reply, [&](const std::string& key) {
        if (key == "Interface") return ReadVariantText(reply, 's', service.interfaceName, kShortLimit);
        return sd_bus_message_skip(reply, "v");
    });
    if (result < 0) return result;
    result = sd_bus_message_exit_container(reply);
    return result < 0 ? result : 1;
}

// The properties a service is named, matched and placed by, and how each is
// read; the rest are skipped.
struct PropertyReader {
    const char* key;
    int (*read)(sd_bus_message* reply, Service& service);
};

constexpr PropertyReader kProperties[] = {
    {"Type", [](sd_bus_message* m, Service& s) { return ReadVariantText(m, 's', s.type, kShortLimit); }},
    {"Name", [](sd_bus_message* m, Service& s) { return ReadVariantText(m, 's', s.name, kNameLimit); }},
    {"State", [](sd_bus_message* m, Service& s) { return ReadVariantText(m, 's', s.state, kShortLimit); }},
    {"Favorite", [](sd_bus_message* m, Service& s) { return ReadVariantBool(m, s.favorite); }},
    {"Security",
     [](sd_bus_message* m, Service& s) {
         return ReadVariantTextList(m, s.security, kMaxSecurities, kShortLimit);
     }},
    {"Ethernet", ReadEthernet},
};

// The security a service's path ends with; its Security property lists the
// same, beside "wps" when the network offers it.
constexpr struct {
    std::string_view word;
    ProfileKeyMgmt keyMgmt;
} kSecurities[] = {
    {"none", ProfileKeyMgmt::ConnManNone},
    {"wep", ProfileKeyMgmt::ConnManWep},
    {"psk", ProfileKeyMgmt::ConnManPsk},
    {"ieee8021x", ProfileKeyMgmt::ConnMan8021x},
};

constexpr struct {
    std::string_view word;
    ProfileMode mode;
} kModes[] = {{"managed", ProfileMode::Infrastructure}, {"adhoc", ProfileMode::AdHoc}};

// A service's SSID (its bytes as the air gives them), mode and security, read
// from its path: /net/connman/service/wifi_<address>_<SSID in hex>_<mode>_<security>.
// False for another kind of path, for a hidden network's (it has "hidden" in
// place of the SSID), and when `listed` (the Security property) names another
// security than the path's.
bool ReadServicePath(std::string_view path, const std::vector<std::string>& listed,
                     SavedProfile& profile) {
    constexpr std::string_view kPrefix = "/net/connman/service/wifi_";
    if (path.size() > kPathLimit || path.substr(0, kPrefix.size()) != kPrefix) return false;
    std::string_view rest = path.substr(kPrefix.size());
    std::string_view parts[4];
    for (std::size_t i = 0; i != 4; ++i) {
        const std::size_t end = rest.find('_');
        if ((end == std::string_view::npos) != (i == 3)) return false;
        parts[i] = rest.substr(0, end);
        rest.remove_prefix(i == 3 ? rest.size() : end + 1);
    }
    const std::string_view address = parts[0], hex = parts[1], mode = parts[2], security = parts[3];
    if (address.empty() || hex.empty() || hex.size() % 2 != 0 || hex.size() / 2 > kMaxSsidLength)
        return false;
    if (!DecodeHex(hex, profile.ssid)) return false;
    const auto modeRow = std::find_if(std::begin(kModes), std::end(kModes),
                                      [&](const auto& row) { return row.word == mode; });
    if (modeRow == std::end(kModes)) return false;
    profile.mode = modeRow->mode;
    bool secured = false;
    for (const auto& row : kSecurities) {
        const bool named = row.word == security;
        if (named != (std::find(listed.begin(), listed.end(), row.word) != listed.end())) return false;
        if (named) profile.keyMgmt = row.keyMgmt;
        secured = secured || named;
    }
    return secured;
}

// How far a service has gone, so that an interface with several that are not
// idle (one failed or leaving, another joining) takes the furthest. A service
// being joined is the one the interface uses: the kernel says whether the
// link is up, and this names the profile it is up with.
constexpr struct {
    std::string_view state;
    bool inUse;
} kStates[] = {
    {"failure", false},      {"disconnect", false}, {"association", true},
    {"configuration", true}, {"ready", true},       {"online", true},
};

// 0 for "idle" and any state ConnMan does not have.
std::size_t RankOf(std::string_view state) {
    for (std::size_t i = 0; i != std::size(kStates); ++i)
        if (kStates[i].state == state) return i + 1;
    return 0;
}

struct InterfaceUse {
    std::string name;
    std::size_t rank = 0;
    std::string state;
    std::string path;  // of the furthest service
};

void TakeService(Service& service, std::vector<InterfaceUse>& uses, std::vector<SavedProfile>& profiles) {
    if (service.type != "wifi") return;
    if (!service.interfaceName.empty()) {
        auto use = std::find_if(uses.begin(), uses.end(),
                                [&](const InterfaceUse& u) { return u.name == service.interfaceName; });
        if (use == uses.end() && uses.size() != kMaxInterfaces)
            use = uses.insert(uses.end(), InterfaceUse{service.interfaceName, 0, {}, {}});
        const std::size_t rank = RankOf(service.state);
        if (use != uses.end() && rank > use->rank) {
            use->rank = rank;
            use->state = service.state;
            use->path = service.path;
        }
    }
    SavedProfile profile;
    if (!service.favorite || profiles.size() == kMaxProfiles || service.name.empty() ||
        !ReadServicePath(service.path, service.security, profile))
        return;
    profile.name = std::move(service.name);
    profile.interfaceName = std::move(service.interfaceName);
    profile.path = std::move(service.path);
    profiles.push_back(std::move(profile));
}

int ReadServices(sd_bus_message* reply, std::vector<InterfaceUse>& uses,
                 std::vector<SavedProfile>& profiles) {
    int result = sd_bus_message_enter_container(reply, 'a', "(oa{sv})");
    if (result <= 0) return result < 0 ? result : -EBADMSG;
    for (std::size_t read = 0; read != kMaxServices &&
                               (result = sd_bus_message_enter_container(reply, 'r', "oa{sv}")) > 0;
         ++read) {
        Service service;
        // One byte past the bound: a path cut there is too long to be read.
        if ((result = ReadText(reply, 'o', service.path, kPathLimit + 1)) < 0) return result;
        result = ReadProperties(reply, [&](const std::string& key) {
            for (const PropertyReader& property : kProperties)
                if (key == property.key) return property.read(reply, service);
            return sd_bus_message_skip(reply, "v");
        });
        if (result < 0 || (result = sd_bus_message_exit_container(reply)) < 0) return result;
        TakeService(service, uses, profiles);
    }
    return result < 0 ? result : 0;
}

}  // namespace

int ReadConnManServices(sd_bus_message* reply, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    out.source = ProfileSnapshot::Source::ConnMan;
    std::vector<InterfaceUse> uses;
    const int result = ReadServices(reply, uses, out.profiles);
    if (result < 0) {
        out.profiles.clear();
        return result;
    }
    KeepFirstOfEach(out.profiles, [](const SavedProfile& p) -> const std::string& { return p.path; });
    for (InterfaceUse& use : uses) {
        out.managedInterfaces.push_back(use.name);
        if (use.rank == 0) continue;
        if (kStates[use.rank - 1].inUse) out.active.push_back({use.name, use.path});
        out.states.push_back({std::move(use.name), std::move(use.state)});
    }
    // ConnMan lists a technology's services only while it is powered, and
    // ties each to the device it was seen with: the interfaces named are its
    // own. With none named (Wi-Fi off, nothing in range) nothing is said of
    // any interface.
    out.interfacesKnown = !out.managedInterfaces.empty();
    return 0;
}

int ReadConnManProfiles(BusOperation& operation, ProfileSnapshot& out) {
    out = ProfileSnapshot{};
    BusCall call = MethodCall(kConnManName, "/", "net.connman.Manager", "GetServices");
    const int result = RunCall(operation, call);
    if (result < 0) return result;
    if (call.status == CallStatus::NoService) return 0;
    out.source = ProfileSnapshot::Source::ConnMan;
    if (call.status == CallStatus::Answered) (void)ReadConnManServices(call.reply.get(), out);
    return 1;
}

}  // namespace wlanlinux
