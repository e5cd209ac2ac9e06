// Profiles and states from a network manager on a bus of the test's own:
// what an answering NetworkManager, iwd, ConnMan or wpa_supplicant adds, and
// that without a bus, a manager or an answer the lists stay as they are,
// within the time bound, and nothing is started.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "allocation_faults.h"
#include "private_bus.h"
#include "bss_facts.h"
#include "wlan/linux/api/manager_queries.h"
#include "wlan/linux/bus/networkmanager_reader.h"
#include "wlan/linux/bus/wpa_supplicant_reader.h"

using namespace testing_support;

namespace {

constexpr char kNm[] = "org.freedesktop.NetworkManager";
constexpr char kIwd[] = "net.connman.iwd";
constexpr char kConnMan[] = "net.connman";
constexpr char kSupplicant[] = "fi.w1.wpa_supplicant1";

WLAN_AVAILABLE_NETWORK Network(const char* ssid, bool secured, bool connected) {
    WLAN_AVAILABLE_NETWORK network{};
    network.dot11Ssid.uSSIDLength = static_cast<ULONG>(std::strlen(ssid));
    std::memcpy(network.dot11Ssid.ucSSID, ssid, network.dot11Ssid.uSSIDLength);
    network.dot11BssType = dot11_BSS_type_infrastructure;
    network.bSecurityEnabled = secured;
    network.dot11DefaultAuthAlgorithm = secured ? DOT11_AUTH_ALGO_RSNA_PSK : DOT11_AUTH_ALGO_80211_OPEN;
    network.dwFlags = connected ? WLAN_AVAILABLE_NETWORK_CONNECTED : 0;
    return network;
}

std::vector<WLAN_AVAILABLE_NETWORK> Networks() {
    return {Network("home", true, true), Network("home", false, false), Network("cafe", true, false)};
}

// The networks with one BSS each: open, or WPA2-Personal.
wlanlinux::ScannedNetworks Scan(const std::vector<WLAN_AVAILABLE_NETWORK>& networks) {
    wlanlinux::ScannedNetworks scan{networks, {}};
    for (const WLAN_AVAILABLE_NETWORK& network : networks) {
        const auto* ssid = reinterpret_cast<const char*>(network.dot11Ssid.ucSSID);
        scan.bsses.push_back({BssFacts({ssid, network.dot11Ssid.uSSIDLength}, network.bSecurityEnabled != 0)});
    }
    return scan;
}

// "name:flags" per entry.
std::vector<std::string> Shape(const std::vector<WLAN_AVAILABLE_NETWORK>& entries) {
    std::vector<std::string> shape;
    for (const WLAN_AVAILABLE_NETWORK& entry : entries) {
        const std::u16string name = entry.strProfileName;
        shape.push_back(std::string(name.begin(), name.end()) + ":" + std::to_string(entry.dwFlags));
    }
    return shape;
}

// wlan0 (connected), wlan1 (disconnected) and wlan2 (not ready), on adapters
// 02:00:00:00:00:01, :02 and :03.
std::vector<wlanlinux::InterfaceRecord> Records() {
    std::vector<wlanlinux::InterfaceRecord> records(3);
    const WLAN_INTERFACE_STATE states[] = {wlan_interface_state_connected, wlan_interface_state_disconnected,
                                           wlan_interface_state_not_ready};
    for (std::size_t i = 0; i != records.size(); ++i) {
        std::snprintf(records[i].netdev.name, sizeof records[i].netdev.name, "wlan%zu", i);
        records[i].state = states[i];
        records[i].adapterAddress[0] = 2;
        records[i].adapterAddress[5] = static_cast<std::uint8_t>(1 + i);
        records[i].hasAdapterAddress = true;
    }
    return records;
}

// The shape of wlan0's (or wlan1's) list once the manager's profiles are added.
std::vector<std::string> ListedOn(wlanlinux::ManagerContact& contact, int index = 0) {
    auto networks = Networks();
    EXPECT_EQ(wlanlinux::AddProfileEntries(Records()[index], Scan(networks), networks, contact), 0);
    return Shape(networks);
}

std::vector<WLAN_INTERFACE_STATE> States(const std::vector<wlanlinux::InterfaceRecord>& records) {
    std::vector<WLAN_INTERFACE_STATE> states;
    for (const auto& record : records) states.push_back(record.state);
    return states;
}

// One bus for the whole binary: each test's peers give their names back.
PrivateBus& Bus() {
    static PrivateBus bus;
    return bus;
}

class ManagerProfiles : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Bus().Running()) << "dbus-daemon did not start"; }
    const DrivenClock clock;
};

bool Is(const char* text, const char* expected) { return text != nullptr && std::strcmp(text, expected) == 0; }

// NetworkManager with seven profiles, one the caller may not read, one wired,
// one with an SSID of the wrong type, one open, one locked to another
// adapter; wlan0 is configuring through "Home".
bool AnswerAsNetworkManager(sd_bus_message* call, sd_bus_message* reply) {
    const char* member = sd_bus_message_get_member(call);
    const std::string path = sd_bus_message_get_path(call);
    const auto wifi = [](const char* id, const char* ssid, char ssidType, const char* ifname,
                         const char* keyManagement = "wpa-psk", const char* address = "") {
        PropertyGroups groups{
            {"connection", {{"id", 's', id}, {"type", 's', "802-11-wireless"},
                            {"interface-name", 's', ifname}, {"timestamp", 'u', "12"}}},
            {"802-11-wireless", {{"ssid", ssidType, ssid}, {"mode", 's', "infrastructure"},
                                 {"mac-address", 'y', std::string(address, *address ? 6 : 0)}}},
            {"ipv4", {{"method", 's', "auto"}}}};
        if (*keyManagement != 0) groups.push_back({"802-11-wireless-security", {{"key-mgmt", 's', keyManagement}}});
        return groups;
    };
    if (Is(member, "ListConnections"))
        return sd_bus_message_append(reply, "ao", 7, "/S/1", "/S/2", "/S/3", "/S/4", "/S/5", "/S/6", "/S/7") >= 0;
    const std::map<std::string, PropertyGroups> settings = {  // /S/2's refused
        {"/S/1", wifi("Home", "home", 'y', "")},
        {"/S/3", {{"connection", {{"id", 's', "Wired"}, {"type", 's', "802-3-ethernet"}}},
                  {"802-11-wireless", {{"ssid", 'y', "home"}}}}},
        {"/S/4", wifi("Odd", "home", 's', "")},
        {"/S/5", wifi("Home here", "home", 'y', "wlan0")},
        {"/S/6", wifi("Open home", "home", 'y', "", "")},
        {"/S/7", wifi("Elsewhere", "home", 'y', "", "sae", "\2\0\0\0\0\x09")}};
    if (Is(member, "GetSettings")) return settings.count(path) != 0 && AppendGroups(reply, settings.at(path)) >= 0;
    const char* name = "";  // the interface GetDeviceByIpIface asks for, the property Get does
    if (Is(member, "GetDeviceByIpIface"))
        return sd_bus_message_read(call, "s", &name) >= 0 && Is(name, "wlan0") &&
               sd_bus_message_append(reply, "o", "/D/0") >= 0;
    if (Is(member, "GetDevices")) return sd_bus_message_append(reply, "ao", 2, "/D/0", "/D/1") >= 0;
    if (Is(member, "GetAll"))
        return sd_bus_message_append(reply, "a{sv}", 4, "Interface", "s", path == "/D/0" ? "wlan0" : "wlan1",
                                     "DeviceType", "u", 2u, "Managed", "b", path == "/D/0",
                                     "ActiveConnection", "o", path == "/D/0" ? "/A/0" : "/") >= 0;
    if (!Is(member, "Get") || sd_bus_message_read(call, "ss", nullptr, &name) < 0) return false;
    if (path == "/D/0" && Is(name, "State")) return sd_bus_message_append(reply, "v", "u", 50u) >= 0;
    if (path == "/A/0" && Is(name, "Connection")) return sd_bus_message_append(reply, "v", "o", "/S/1") >= 0;
    return false;
}

int AppendObject(sd_bus_message* reply, const char* path, const PropertyGroups& interfaces) {
    int r = sd_bus_message_open_container(reply, 'e', "oa{sa{sv}}");
    if (r >= 0) r = sd_bus_message_append_basic(reply, 'o', path);
    if (r >= 0) r = AppendGroups(reply, interfaces);
    return r >= 0 ? sd_bus_message_close_container(reply) : r;
}

// iwd knowing "home" as psk and open and "cafe" as wep (not a kind it
// connects to), after `others` more known networks; wlan0 is connected to
// the psk one.
Answer AnswerAsIwd(int others = 0) {
    return [others](sd_bus_message* call, sd_bus_message* reply) {
        if (!Is(sd_bus_message_get_member(call), "GetManagedObjects")) return false;
        int r = sd_bus_message_open_container(reply, 'a', "{oa{sa{sv}}}");
        for (int i = 0; i != others && r >= 0; ++i)
            r = AppendObject(reply, ("/o/" + std::to_string(i)).c_str(),
                             {{"net.connman.iwd.KnownNetwork", {{"Name", 's', "other"}, {"Type", 's', "psk"}}}});
        if (r >= 0)
            r = AppendObject(reply, "/d0", {{"net.connman.iwd.Device", {{"Name", 's', "wlan0"}}},
                                            {"net.connman.iwd.Station", {{"ConnectedNetwork", 'o', "/d0/n"},
                                                                         {"State", 's', "connecting"}}}});
        if (r >= 0) r = AppendObject(reply, "/d0/n", {{"net.connman.iwd.Network", {{"KnownNetwork", 'o', "/k2"}}}});
        const char* known[][3] = {{"/k1", "home", "open"}, {"/k2", "home", "psk"}, {"/k3", "cafe", "wep"}};
        for (const auto& [path, name, type] : known)
            if (r >= 0)
                r = AppendObject(reply, path, {{"net.connman.iwd.KnownNetwork",
                                                {{"Name", 's', name}, {"Type", 's', type}, {"Hidden", 's', "no"}}}});
        return r >= 0 && sd_bus_message_close_container(reply) >= 0;
    };
}

// ConnMan with, on wlan0, "Home" (SSID "home") saved and being joined, "Open
// home" saved, "cafe" failed and not saved, a saved hidden service and an
// online service of another type; on wlan2 a saved "home", online; and a
// saved "Cafe" that names no interface. It answers "refused" or "malformed"
// when told so.
Answer AnswerAsConnMan(std::string how = "") {
    return [how](sd_bus_message* call, sd_bus_message* reply) {
        if (!Is(sd_bus_message_get_member(call), "GetServices") || how == "refused") return false;
        if (how == "malformed") return sd_bus_message_append(reply, "a(os)", 1, "/", "wifi") >= 0;
        const char* services[][7] = {
            {"wifi_020000000001_63616665_managed_psk", "wifi", "cafe", "", "failure", "wlan0", "psk"},
            {"wifi_020000000001_686f6d65_managed_psk", "wifi", "Home", "saved", "association", "wlan0", "psk"},
            {"wifi_020000000001_686f6d65_managed_none", "wifi", "Open home", "saved", "idle", "wlan0", "none"},
            {"wifi_020000000001_hidden_managed_psk", "wifi", "Hidden", "saved", "idle", "wlan0", "psk"},
            {"wifi_020000000001_63616665_managed_none", "ethernet", "Wired", "saved", "online", "wlan0", "none"},
            {"wifi_020000000003_686f6d65_managed_psk", "wifi", "Home there", "saved", "online", "wlan2", "psk"},
            {"wifi_020000000002_63616665_managed_psk", "wifi", "Cafe", "saved", "idle", "", "psk"},
        };
        int r = sd_bus_message_open_container(reply, 'a', "(oa{sv})");
        for (const auto& [id, type, name, saved, state, interfaceName, security] : services)
            if (r >= 0)
                r = sd_bus_message_append(reply, "(oa{sv})", ("/net/connman/service/" + std::string(id)).c_str(),
                                          6, "Type", "s", type, "Name", "s", name, "Favorite", "b", *saved != 0,
                                          "State", "s", state, "Security", "as", 2, security, "wps", "Ethernet",
                                          "a{sv}", 1, "Interface", "s", interfaceName);
        return r >= 0 && sd_bus_message_close_container(reply) >= 0;
    };
}

// wpa_supplicant with wlan0 (listed twice), wlan2 and an interface that is
// gone. On wlan0: "Home" (id_str) in use, "home" by a hex SSID, one whose
// bssid cannot be read and a disabled "cafe"; on wlan2 its own "home". It
// refuses every call when told so.
Answer AnswerAsSupplicant(bool refuse = false) {
    return [refuse](sd_bus_message* call, sd_bus_message* reply) {
        const char* member = sd_bus_message_get_member(call);
        const std::string path = sd_bus_message_get_path(call);
        if (refuse) return false;
        if (path == "/fi/w1/wpa_supplicant1")
            return sd_bus_message_append(reply, "v", "ao", 4, "/w/0", "/w/1", "/w/0", "/w/9") >= 0;
        if (Is(member, "GetAll") && path.size() == 4)
            return path != "/w/9" &&
                   sd_bus_message_append(reply, "a{sv}", 4, "Ifname", "s", path == "/w/0" ? "wlan0" : "wlan2",
                                         "State", "s", path == "/w/0" ? "associating" : "completed",
                                         "CurrentNetwork", "o", path == "/w/0" ? "/w/0/n/0" : "/", "Networks",
                                         "ao", path == "/w/0" ? 4 : 1, path == "/w/0" ? "/w/0/n/0" : "/w/1/n/0",
                                         "/w/0/n/1", "/w/0/n/2", "/w/0/n/3") >= 0;
        const std::map<std::string, std::vector<const char*>> networks = {
            {"/w/0/n/0", {"ssid", "\"home\"", "id_str", "\"Home\"", "key_mgmt", "WPA-PSK", "priority", "5"}},
            {"/w/0/n/1", {"ssid", "686f6d65", "key_mgmt", "NONE"}},
            {"/w/0/n/2", {"ssid", "\"cafe\"", "bssid", "02:00"}},
            {"/w/0/n/3", {"ssid", "\"cafe\"", "disabled", "1"}},
            {"/w/1/n/0", {"ssid", "\"home\"", "key_mgmt", "WPA-PSK"}}};
        if (networks.count(path) == 0) return false;
        const std::vector<const char*>& settings = networks.at(path);
        int r = sd_bus_message_open_container(reply, 'v', "a{sv}");
        if (r >= 0) r = sd_bus_message_open_container(reply, 'a', "{sv}");
        for (std::size_t i = 0; i + 1 < settings.size() && r >= 0; i += 2)
            r = sd_bus_message_append(reply, "{sv}", settings[i], "s", settings[i + 1]);
        return r >= 0 && sd_bus_message_close_container(reply) >= 0 && sd_bus_message_close_container(reply) >= 0;
    };
}

// The same NetworkManager listing "/S/1" twice and answering with a device
// path and an active connection of the wrong type.
bool AnswerAsOddNetworkManager(sd_bus_message* call, sd_bus_message* reply) {
    const char* member = sd_bus_message_get_member(call);
    if (Is(member, "GetAll"))
        return sd_bus_message_append(reply, "a{sv}", 4, "Interface", "s", "wlan0", "DeviceType", "u", 2u,
                                     "Managed", "b", 1, "ActiveConnection", "s", "/A/0") >= 0;
    if (Is(member, "ListConnections"))
        return sd_bus_message_append(reply, "ao", 8, "/S/1", "/S/2", "/S/1", "/S/3", "/S/4", "/S/5",
                                     "/S/6", "/S/7") >= 0;
    if (Is(member, "GetDeviceByIpIface")) return sd_bus_message_append(reply, "s", "/D/0") >= 0;
    return AnswerAsNetworkManager(call, reply);
}

}  // namespace

TEST_F(ManagerProfiles, WhatAnAnsweringManagerAdds) {
    const auto unrefined = States(Records());
    const std::vector<WLAN_INTERFACE_STATE> joining = {
        wlan_interface_state_associating, wlan_interface_state_disconnected, wlan_interface_state_not_ready};
    const struct {
        const char* owner;
        Answer answer;
        std::vector<std::string> shape;
        std::vector<WLAN_INTERFACE_STATE> states;
        const char* later = nullptr;  // a manager after it in the order, also on the bus
        Answer laterAnswer = {};
        const char* error = "org.freedesktop.NetworkManager.Settings.PermissionDenied";
    } cases[] = {
        {kNm, AnswerAsNetworkManager, {"Home:3", "Home here:2", ":0", "Open home:2", ":0", ":0"}, joining},
        // A peer's error naming no memory is its trouble, not ours: nothing fails.
        {kNm, [](sd_bus_message*, sd_bus_message*) { return false; }, {":1", ":0", ":0"}, unrefined, nullptr,
         {}, "org.freedesktop.DBus.Error.NoMemory"},
        {kNm, AnswerAsOddNetworkManager, {"Home:2", "Home here:2", ":1", "Open home:2", ":0", ":0"}, unrefined},
        {kIwd, AnswerAsIwd(), {"home:3", ":0", "home:2", ":0", ":0"}, joining},
        // Devices and stations do not count toward the cap on known networks.
        {kIwd, AnswerAsIwd(4093), {"home:3", ":0", "home:2", ":0", ":0"}, joining},
        {kConnMan, AnswerAsConnMan(), {"Home:3", ":0", "Open home:2", ":0", "Cafe:2", ":0"}, joining},
        {kConnMan, AnswerAsConnMan("refused"), {":1", ":0", ":0"}, unrefined},
        {kConnMan, AnswerAsConnMan("malformed"), {":1", ":0", ":0"}, unrefined},
        {kSupplicant, AnswerAsSupplicant(), {"Home:3", ":0", "home:2", ":0", "cafe:2", ":0"}, joining},
        {kSupplicant, AnswerAsSupplicant(true), {":1", ":0", ":0"}, unrefined},
        // The first manager in the order speaks alone: wpa_supplicant's networks
        // are the transient copies of the manager that drives it.
        {kNm, AnswerAsNetworkManager, {"Home:3", "Home here:2", ":0", "Open home:2", ":0", ":0"}, joining,
         kSupplicant, AnswerAsSupplicant()},
        {kIwd, AnswerAsIwd(), {"home:3", ":0", "home:2", ":0", ":0"}, joining, kConnMan, AnswerAsConnMan()},
        {kConnMan, AnswerAsConnMan(), {"Home:3", ":0", "Open home:2", ":0", "Cafe:2", ":0"}, joining,
         kSupplicant, AnswerAsSupplicant()},
    };
    for (const auto& c : cases) {
        std::atomic<int> listings = 0;
        const auto counted = [&](sd_bus_message* call, sd_bus_message* reply) {
            const char* member = sd_bus_message_get_member(call);
            listings += Is(member, "ListConnections") || Is(member, "GetManagedObjects") ||
                        Is(member, "GetServices") || Is(sd_bus_message_get_path(call), "/fi/w1/wpa_supplicant1");
            return c.answer(call, reply);
        };
        SCOPED_TRACE(c.owner);
        BusPeer peer(c.owner, counted, c.error);
        const auto later = c.later != nullptr ? std::make_unique<BusPeer>(c.later, c.laterAnswer) : nullptr;
        wlanlinux::ManagerContact contact;
        // The profiles are read once for the lists of one enumeration.
        for (const int expected : {1, 1, 2}) {
            if (expected == 2) wlanlinux::StartReportCycle(contact);
            EXPECT_EQ(ListedOn(contact), c.shape);
            EXPECT_EQ(listings, expected);
        }
        // wlan1 is not the manager's: none of its profiles there.
        EXPECT_EQ(ListedOn(contact, 1), Shape(Networks()));
        auto records = Records();
        EXPECT_EQ(wlanlinux::RefineStatesWithManager(records, contact), 0);
        EXPECT_FALSE(contact.bus.silent);
        EXPECT_EQ(States(records), c.states);
    }
}

// Our own memory running out at any allocation fails that one operation
// (the list or the states unchanged) and leaks nothing.
TEST_F(ManagerProfiles, EachAllocationFailingFailsOnlyItsOperation) {
    BusPeer peer(kNm, AnswerAsNetworkManager, "org.freedesktop.NetworkManager.Settings.PermissionDenied");
    for (std::size_t failAt = 1;; ++failAt) {
        wlanlinux::ManagerContact contact;
        auto networks = Networks();
        const auto scan = Scan(networks);
        auto records = Records();
        allocation_faults::Arm(failAt);
        const int listed = wlanlinux::AddProfileEntries(records[0], scan, networks, contact);
        const int refined = wlanlinux::RefineStatesWithManager(records, contact);
        allocation_faults::Disarm();
        EXPECT_EQ(allocation_faults::Injected(), listed == ENOMEM || refined == ENOMEM) << failAt;
        if (listed != 0) {
            EXPECT_EQ(Shape(networks), Shape(Networks())) << failAt;
        }
        if (refined != 0) {
            EXPECT_EQ(States(records), States(Records())) << failAt;
        }
        if (!allocation_faults::Injected()) break;
    }
}

TEST_F(ManagerProfiles, ListsStayAsTheyAreWithoutAnAnswerInTime) {
    // A bus that accepts connections (the backlog does) and never says a word.
    const std::string mutePath = "/tmp/wlanreport-mute-" + std::to_string(getpid());
    sockaddr_un address{.sun_family = AF_UNIX, .sun_path = {}};
    mutePath.copy(address.sun_path, sizeof address.sun_path - 1);
    const int mute = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(mutePath.c_str());
    ASSERT_EQ(bind(mute, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(mute, 16), 0);
    const std::string shared = getenv("DBUS_SYSTEM_BUS_ADDRESS");
    using wlanlinux::AddProfileEntries, wlanlinux::kCycleBudgetUsec;
    const struct {
        const char* what;
        std::string bus;
        const char* owner = nullptr;  // a manager that never answers, unless `answer` does
        Answer answer = {};
        bool silent = false;  // no word comes
        std::uint64_t boundUsec = wlanlinux::kOperationBudgetUsec + 100'000;  // for reading the profiles
        bool listed = false;                                                // the manager's profiles
    } cases[] = {
        {"no bus", "unix:path=/nonexistent/wlanreport-bus"},
        {"mute bus", "unix:path=" + mutePath, nullptr, {}, true},
        {"no manager", shared},
        {"silent NetworkManager", shared, kNm, {}, true},
        {"silent iwd", shared, kIwd, {}, true},
        {"silent wpa_supplicant", shared, kSupplicant, {}, true},
        {"NetworkManager answering each call after 400 ms", shared, kNm, Delayed(AnswerAsNetworkManager, 400'000),
         false, kCycleBudgetUsec, true},
        // Cut at the cycle's end (its last answer 1.9 s late at most), before the devices are read.
        {"NetworkManager answering each call after 1.9 s", shared, kNm, Delayed(AnswerAsNetworkManager, 1'900'000),
         false, kCycleBudgetUsec + 1'900'000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DrivenClock::Silence(c.silent);
        setenv("DBUS_SYSTEM_BUS_ADDRESS", c.bus.c_str(), 1);
        const auto peer = c.owner != nullptr ? std::make_unique<BusPeer>(c.owner, c.answer) : nullptr;
        // A call unanswered for 2 s ends its operation, and once that has
        // happened, or the cycle's 10 s are spent, the next one of the cycle
        // asks nothing; a manager that answers is waited for within the 10 s.
        const auto within = [](std::uint64_t boundUsec, const auto& operation) {
            const std::uint64_t before = wlanlinux::BusNow();
            EXPECT_EQ(operation(), 0);
            return wlanlinux::BusNow() - before <= boundUsec;
        };
        wlanlinux::ManagerContact contact;
        auto networks = Networks();
        auto records = Records();
        EXPECT_TRUE(within(c.boundUsec,
                           [&] { return AddProfileEntries(records[0], Scan(networks), networks, contact); }));
        EXPECT_EQ(contact.bus.silent, c.silent || c.boundUsec > kCycleBudgetUsec);
        EXPECT_TRUE(within(contact.bus.silent ? 0 : kCycleBudgetUsec - contact.bus.spentUsec,
                           [&] { return wlanlinux::RefineStatesWithManager(records, contact); }));
        EXPECT_EQ(Shape(networks) == Shape(Networks()), !c.listed);
        if (!c.listed) {
            EXPECT_EQ(States(records), States(Records()));
        }
        EXPECT_FALSE(Bus().Activated());
    }
    setenv("DBUS_SYSTEM_BUS_ADDRESS", shared.c_str(), 1);
    close(mute);
    unlink(mutePath.c_str());
}

namespace {

// NetworkManager managing wlan0 and wlan1, with `count` profiles for "cafe";
// after answering `answered` GetSettings it falls silent.
Answer AnswerWithProfiles(int count, int answered) {
    const auto served = std::make_shared<std::atomic<int>>(0);
    return [=](sd_bus_message* call, sd_bus_message* reply) {
        const char* member = sd_bus_message_get_member(call);
        const std::string path = sd_bus_message_get_path(call);
        if (Is(member, "ListConnections")) {
            int r = sd_bus_message_open_container(reply, 'a', "o");
            for (int i = 0; i != count && r >= 0; ++i)
                r = sd_bus_message_append_basic(reply, 'o', ("/P/" + std::to_string(i)).c_str());
            return r >= 0 && sd_bus_message_close_container(reply) >= 0;
        }
        if (Is(member, "GetDevices")) return sd_bus_message_append(reply, "ao", 2, "/D/0", "/D/1") >= 0;
        if (Is(member, "GetAll"))
            return sd_bus_message_append(reply, "a{sv}", 3, "Interface", "s", path == "/D/0" ? "wlan0" : "wlan1",
                                         "DeviceType", "u", 2u, "Managed", "b", 1) >= 0;
        if (!Is(member, "GetSettings")) return false;
        if (++*served > answered) {
            DrivenClock::Silence(true);
            LeaveUnanswered();
            return false;
        }
        return AppendGroups(reply, {{"connection", {{"id", 's', "P" + path}, {"type", 's', "802-11-wireless"}}},
                                    {"802-11-wireless", {{"ssid", 'y', "cafe"}}},
                                    {"802-11-wireless-security", {{"key-mgmt", 's', "wpa-psk"}}}}) >= 0;
    };
}

std::size_t Named(const std::vector<std::string>& shape) {
    const auto named = [](const std::string& entry) { return entry[0] != ':'; };
    return static_cast<std::size_t>(std::count_if(shape.begin(), shape.end(), named));
}

// The profiles `read` finds over a connection of its own, which it must say it
// has read (1) or not (0).
wlanlinux::ProfileSnapshot ReadOverTheBus(int (*read)(wlanlinux::BusOperation&, wlanlinux::ProfileSnapshot&),
                                          int expected) {
    wlanlinux::ClientBus client;
    wlanlinux::BusOperation operation(client);
    EXPECT_TRUE(wlanlinux::ConnectBus(operation));
    wlanlinux::ProfileSnapshot snapshot;
    EXPECT_EQ(read(operation, snapshot), expected);
    return snapshot;
}

}  // namespace

// Profiles a manager gave are listed on every interface it manages, in every
// report cycle, however slowly it answered and whatever came after.
TEST_F(ManagerProfiles, ProfilesReadAreNeverLost) {
    const struct {
        const char* what;
        const char* owner;
        Answer answer;
        int cycles;
        std::size_t listed[2];  // on wlan0, wlan1
    } cases[] = {
        {"1,000 answered at 2.2 ms each", kNm, Delayed(AnswerWithProfiles(1000, 1000), 2'200), 2, {1000, 1000}},
        // The five stay through the next cycle, which asks again and meets silence.
        {"5 of 10 answered, then silence", kNm, AnswerWithProfiles(10, 5), 2, {5, 5}},
        // 15 s in all: the budget is a cycle's, not the handle's.
        {"every call answered in 1.9 s", kIwd, Delayed(AnswerAsIwd(), 1'900'000), 8, {2, 0}},
        // Past the 400 cycles of 10 ms after which a 4 s budget for a handle's
        // whole life was spent.
        {"a handle used for 600 cycles", kIwd, Delayed(AnswerAsIwd(), 10'000), 600, {2, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DrivenClock::Silence(false);  // as the row before may have left it
        BusPeer peer(c.owner, c.answer);
        wlanlinux::ManagerContact contact;
        for (int cycle = 0; cycle != c.cycles; ++cycle) {
            wlanlinux::StartReportCycle(contact);
            for (int index : {0, 1})
                ASSERT_EQ(Named(ListedOn(contact, index)), c.listed[index]) << "cycle " << cycle << ", wlan" << index;
        }
    }
}

// What the managers match on, read as they saved it: every field of a
// NetworkManager profile, and the defaults of one that names none of them.
TEST_F(ManagerProfiles, SettingsAreReadAsSaved) {
    using namespace wlanlinux;
    BusPeer peer(kNm, [](sd_bus_message* call, sd_bus_message* reply) {
        const char* member = sd_bus_message_get_member(call);
        const std::string path = sd_bus_message_get_path(call);
        if (Is(member, "ListConnections")) return sd_bus_message_append(reply, "ao", 3, "/S/1", "/S/2", "/S/3") >= 0;
        PropertyGroups groups{{"connection", {{"id", 's', path}, {"type", 's', "802-11-wireless"}}},
                              {"802-11-wireless", {{"ssid", 'y', "home"}}}};
        auto& wireless = groups[1].second;
        if (path == "/S/1") {
            wireless.insert(wireless.end(), {{"mode", 's', "adhoc"}, {"bssid", 'y', std::string("\2\0\0\0\1\0", 6)},
                                             {"band", 's', "a"}, {"channel", 'u', "36"},
                                             {"mac-address-denylist", 'a', "02:00:00:00:00:0A,bad,02:00:00:00:00:0b"}});
            groups.push_back({"802-11-wireless-security", {{"key-mgmt", 's', "sae"}, {"proto", 'a', "rsn"},
                                                           {"pairwise", 'a', "ccmp,tkip"}, {"group", 'a', "wep104"}}});
        }
        if (path == "/S/3") groups.push_back({"802-11-wireless-security", {{"key-mgmt", 's', "wpa-eap-suite-b-192"}}});
        return Is(member, "GetSettings") && AppendGroups(reply, groups) >= 0;
    });
    const ProfileSnapshot snapshot = ReadOverTheBus(ReadNetworkManagerProfiles, 1);
    ASSERT_EQ(snapshot.profiles.size(), 3u);
    const auto matched = [](const SavedProfile& p) {
        return std::tuple(p.mode, p.keyMgmt, p.protos, p.pairwise, p.group, p.bssid, p.band, p.channel,
                          p.deniedAddresses);
    };
    EXPECT_EQ(matched(snapshot.profiles[0]),
              std::tuple(ProfileMode::AdHoc, ProfileKeyMgmt::Sae, kProtoRsn, kProfileCipherCcmp | kProfileCipherTkip,
                         kProfileCipherWep104, std::string("\2\0\0\0\1\0", 6), ProfileBand::A, 36u,
                         std::vector<std::string>{std::string("\2\0\0\0\0\x0a", 6), std::string("\2\0\0\0\0\x0b", 6)}));
    SavedProfile bare;  // the defaults, the mode left unsaid
    bare.mode = ProfileMode::Unspecified;
    EXPECT_EQ(matched(snapshot.profiles[1]), matched(bare));
    EXPECT_EQ(snapshot.profiles[2].keyMgmt, ProfileKeyMgmt::WpaEapSuiteB192);
}

// wpa_supplicant's networks as read: each tied to the interface that holds
// it, by its path; the network each interface uses; the states as named. A
// refusal leaves none, and without wpa_supplicant on the bus it is not there.
TEST_F(ManagerProfiles, SupplicantNetworksAreReadPerInterface) {
    using namespace wlanlinux;
    const struct {
        Answer answer;
        int expected;
        std::string read;
    } cases[] = {
        {AnswerAsSupplicant(), 1,
         "wlan0 Home /w/0/n/0,wlan0 home /w/0/n/1,wlan0 cafe /w/0/n/3,wlan2 home /w/1/n/0,"
         "|wlan0:/w/0/n/0,wlan2:,|wlan0:associating,wlan2:completed,"},
        {AnswerAsSupplicant(true), 1, "||"},
        {nullptr, 0, "||"},
    };
    for (const auto& c : cases) {
        const auto peer =
            c.answer ? std::make_unique<BusPeer>(kSupplicant, c.answer, SD_BUS_ERROR_ACCESS_DENIED) : nullptr;
        const ProfileSnapshot snapshot = ReadOverTheBus(ReadSupplicantProfiles, c.expected);
        std::string profiles, active, states;
        for (const SavedProfile& p : snapshot.profiles) profiles += p.interfaceName + " " + p.name + " " + p.path + ",";
        for (const ActiveProfile& a : snapshot.active) active += a.interfaceName + ":" + a.path + ",";
        for (const ManagerState& s : snapshot.states) states += s.interfaceName + ":" + s.state + ",";
        EXPECT_EQ(profiles + "|" + active + "|" + states, c.read);
        EXPECT_EQ(snapshot.source == ProfileSnapshot::Source::WpaSupplicant, c.expected == 1);
    }
}
