// Times the Linux layer's bus work against a NetworkManager of the bench's own
// on a private bus (tests/linux/private_bus.h), the way a report drives it:
// one enumeration's states, then the network list of every interface.
//
//   many:  1,000 saved profiles, 100 interfaces, 10 networks each (every
//          profile matches one network): seconds per report, entries listed.
//   flood: the same while another connection floods ours with 20,000
//          unicast signals of 4 KiB (78 MiB): the peak resident size
//          against a quiet run.
//   storm: the same with signals that never stop: the bus work still ends
//          within the cycle's budget.
//   slow:  a manager that answers each call after 250 ms: seconds per report
//          against the bus budget of a report cycle.
//   none:  no manager on the bus: what asking costs a report that finds none.
//
// usage: manager_bus_bench [runs]   (medians of `runs`, default 5)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "private_bus.h"
#include "bss_facts.h"
#include "wlan/linux/api/manager_queries.h"

using testing_support::AppendGroups;
using testing_support::BusPeer;
using testing_support::PrivateBus;

namespace {

constexpr int kProfiles = 1000;
constexpr int kInterfaces = 100;
constexpr int kNetworks = 10;

std::string Ssid(int i) { return "net" + std::to_string(i % kNetworks); }

bool AnswerAsNetworkManager(sd_bus_message* call, sd_bus_message* reply) {
    const std::string member = sd_bus_message_get_member(call);
    const std::string path = sd_bus_message_get_path(call);
    if (member == "ListConnections") {
        int r = sd_bus_message_open_container(reply, 'a', "o");
        for (int i = 0; i != kProfiles && r >= 0; ++i)
            r = sd_bus_message_append_basic(reply, 'o', ("/S/" + std::to_string(i)).c_str());
        return r >= 0 && sd_bus_message_close_container(reply) >= 0;
    }
    if (member == "GetSettings") {
        const int i = std::atoi(path.c_str() + 3);
        return AppendGroups(reply, {{"connection", {{"id", 's', "Profile " + std::to_string(i)},
                                                    {"type", 's', "802-11-wireless"}}},
                                    {"802-11-wireless", {{"ssid", 'y', Ssid(i)}}},
                                    {"802-11-wireless-security", {{"key-mgmt", 's', "wpa-psk"}}}}) >= 0;
    }
    if (member == "GetDeviceByIpIface") return sd_bus_message_append(reply, "o", "/D/0") >= 0;
    if (member == "Get") return sd_bus_message_append(reply, "v", "u", 30u) >= 0;
    return false;
}

bool AnswerSlowly(sd_bus_message* call, sd_bus_message* reply) {
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
    return AnswerAsNetworkManager(call, reply);
}

std::vector<wlanlinux::InterfaceRecord> Records() {
    std::vector<wlanlinux::InterfaceRecord> records(kInterfaces);
    for (int i = 0; i != kInterfaces; ++i) {
        std::snprintf(records[i].netdev.name, sizeof records[i].netdev.name, "wlan%d", i);
        records[i].state = wlan_interface_state_disconnected;
    }
    return records;
}

// WPA2-Personal networks of one BSS each.
wlanlinux::ScannedNetworks Networks() {
    wlanlinux::ScannedNetworks scan;
    scan.networks.resize(kNetworks);
    for (int i = 0; i != kNetworks; ++i) {
        const std::string ssid = Ssid(i);
        WLAN_AVAILABLE_NETWORK& network = scan.networks[i];
        network.dot11Ssid.uSSIDLength = static_cast<ULONG>(ssid.size());
        std::memcpy(network.dot11Ssid.ucSSID, ssid.data(), ssid.size());
        network.dot11BssType = dot11_BSS_type_infrastructure;
        network.bSecurityEnabled = 1;
        network.dot11DefaultAuthAlgorithm = DOT11_AUTH_ALGO_RSNA_PSK;
        scan.bsses.push_back({testing_support::BssFacts(ssid)});
    }
    return scan;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// One report's bus work: entries listed in all, and the seconds the first
// list took (the one that reads the profiles).
std::size_t Report(wlanlinux::ManagerContact& contact, double& firstSeconds) {
    auto records = Records();
    wlanlinux::StartReportCycle(contact);
    wlanlinux::RefineStatesWithManager(records, contact);
    std::size_t entries = 0;
    for (const auto& record : records) {
        const auto scan = Networks();
        auto networks = scan.networks;
        const auto start = std::chrono::steady_clock::now();
        wlanlinux::AddProfileEntries(record, scan, networks, contact);
        if (entries == 0) firstSeconds = Seconds(start);
        entries += networks.size();
    }
    return entries;
}

// Sends `count` unicast signals of 4 KiB to `destination` (0: for ever), as
// fast as the bus takes them.
constexpr unsigned kFloodSignals = 20000;

[[noreturn]] void Flood(const std::string& destination, unsigned count) {
    sd_bus* bus = nullptr;
    if (sd_bus_open_system(&bus) < 0) _exit(1);
    const std::string noise(4096, 'x');
    for (unsigned n = 1; count == 0 || n <= count; ++n) {
        sd_bus_message* m = nullptr;
        if (sd_bus_message_new_signal(bus, &m, "/flood", "org.example.Flood", "Noise") >= 0 &&
            sd_bus_message_set_destination(m, destination.c_str()) >= 0 &&
            sd_bus_message_append_basic(m, 's', noise.c_str()) >= 0)
            sd_bus_send(bus, m, nullptr);
        sd_bus_message_unref(m);
        if (n % 64 == 0) sd_bus_flush(bus);
    }
    sd_bus_flush(bus);
    pause();
    _exit(0);
}

struct Measure {
    double seconds;
    double firstSeconds;
    std::size_t entries;
    long peakKib;
};

// One report in a child process of its own (so its peak size is its own).
// `connected`: the client's connection is up before the timing starts, and
// flooded from a second child then with `flood` signals (0: for ever).
Measure Run(bool connected, bool flooded, unsigned flood = kFloodSignals) {
    int pipes[2];
    if (pipe(pipes) != 0) std::exit(1);
    const pid_t child = fork();
    if (child == 0) {
        close(pipes[0]);
        wlanlinux::ManagerContact contact;
        auto records = Records();
        if (connected) wlanlinux::RefineStatesWithManager(records, contact);
        pid_t flooder = -1;
        if (flooded) {
            const char* name = nullptr;
            sd_bus_get_unique_name(contact.bus.bus, &name);
            const std::string destination = name != nullptr ? name : "";
            flooder = fork();
            if (flooder == 0) Flood(destination, flood);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        contact.bus.spentUsec = 0;
        const auto start = std::chrono::steady_clock::now();
        Measure m{};
        m.entries = Report(contact, m.firstSeconds);
        m.seconds = Seconds(start);
        if (flooder > 0) {
            kill(flooder, SIGKILL);
            waitpid(flooder, nullptr, 0);
        }
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        m.peakKib = usage.ru_maxrss;
        if (write(pipes[1], &m, sizeof m) != sizeof m) _exit(1);
        _exit(0);
    }
    close(pipes[1]);
    Measure m{};
    if (read(pipes[0], &m, sizeof m) != sizeof m) std::fprintf(stderr, "a run failed\n");
    close(pipes[0]);
    waitpid(child, nullptr, 0);
    return m;
}

template <typename T>
T Median(std::vector<T> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Print(const char* what, int runs, const std::function<Measure()>& run) {
    std::vector<double> seconds;
    std::vector<double> first;
    std::vector<long> peaks;
    std::size_t entries = 0;
    for (int i = 0; i != runs; ++i) {
        const Measure m = run();
        seconds.push_back(m.seconds);
        first.push_back(m.firstSeconds);
        peaks.push_back(m.peakKib);
        entries = m.entries;
    }
    std::printf("%-6s %8.4f s (first list %.4f s)  %7zu entries  peak %5.1f MiB\n", what,
                Median(seconds), Median(first), entries, static_cast<double>(Median(peaks)) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    PrivateBus bus;
    if (!bus.Running()) {
        std::fprintf(stderr, "dbus-daemon did not start\n");
        return 1;
    }
    std::printf("%d profiles, %d interfaces, %d networks each; medians of %d runs\n", kProfiles,
                kInterfaces, kNetworks, runs);
    Print("none", runs, [] { return Run(false, false); });
    {
        BusPeer manager("org.freedesktop.NetworkManager", AnswerAsNetworkManager);
        Print("many", runs, [] { return Run(false, false); });
        Print("quiet", runs, [] { return Run(true, false); });
        Print("flood", runs, [] { return Run(true, true); });
        Print("storm", runs, [] { return Run(true, true, 0); });
    }
    BusPeer slow("org.freedesktop.NetworkManager", AnswerSlowly);
    Print("slow", 1, [] { return Run(false, false); });
    return 0;
}
