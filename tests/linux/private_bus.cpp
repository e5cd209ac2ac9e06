#include "private_bus.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>

namespace testing_support {
namespace {

thread_local bool unanswered = false;

std::atomic<std::uint64_t> drivenNow{1'000'000'000};
std::atomic<bool> silence{false};
std::atomic<std::uint64_t> waitsBegun{0};

std::uint64_t RealNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

std::uint64_t DrivenNow() { return drivenNow; }

int DrivenWait(sd_bus* bus, std::uint64_t usec) {
    const std::uint64_t before = RealNow();
    const std::uint64_t quantum = silence ? 50'000 : 5'000;
    ++waitsBegun;
    const int waited = sd_bus_wait(bus, std::min(usec, quantum));
    if (waited == 0) drivenNow += silence ? usec : RealNow() - before;
    return waited;
}

}  // namespace

void LeaveUnanswered() { unanswered = true; }

DrivenClock::DrivenClock() : replaced_(wlanlinux::SetBusClock({DrivenNow, DrivenWait})) {}

DrivenClock::~DrivenClock() {
    silence = false;
    wlanlinux::SetBusClock(replaced_);
}

void DrivenClock::Advance(std::uint64_t usec) { drivenNow += usec; }

void DrivenClock::Silence(bool on) { silence = on; }

Answer Delayed(Answer answer, std::uint64_t usec) {
    // A peer answers one call at a time, so its clock could run ahead of the
    // client by as many answers as the client has calls in flight. Short
    // delays do not add up to an operation's bound; after a long one, the
    // next answer waits until the client has waited since (20 ms at most).
    const auto mark = std::make_shared<std::uint64_t>(0);
    return [answer = std::move(answer), usec, mark](sd_bus_message* call, sd_bus_message* reply) {
        const std::uint64_t start = RealNow();
        while (usec >= 100'000 && waitsBegun <= *mark && RealNow() - start < 20'000) usleep(20);
        DrivenClock::Advance(usec);
        *mark = waitsBegun;
        return answer(call, reply);
    };
}

PrivateBus::PrivateBus() {
    char pattern[] = "/tmp/wlanreport-bus-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return;
    dir_ = pattern;
    mkdir((dir_ + "/services").c_str(), 0700);
    for (const std::string name :
         {"org.freedesktop.NetworkManager", "net.connman.iwd", "net.connman", "fi.w1.wpa_supplicant1"})
        std::ofstream(dir_ + "/services/" + name + ".service")
            << "[D-BUS Service]\nName=" << name << "\nExec=/usr/bin/touch " << dir_ << "/activated\n";
    std::ofstream(dir_ + "/bus.conf")
        << "<busconfig><type>session</type><listen>unix:path=" << dir_ << "/bus"
        << "</listen><servicedir>" << dir_ << "/services</servicedir><auth>EXTERNAL</auth>"
        << "<policy context=\"default\"><allow user=\"*\"/><allow own=\"*\"/>"
        << "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy></busconfig>\n";
    // It prints its address once it listens, then forks and prints the pid. Its
    // complaints (it cannot raise the descriptor limit) are not the test's.
    FILE* printed = popen(("dbus-daemon --fork --nosyslog --print-address=1 --print-pid=1 --config-file=" + dir_ +
                           "/bus.conf 2>/dev/null").c_str(), "re");
    char address[256] = {};
    if (printed != nullptr && std::fgets(address, sizeof address, printed) != nullptr &&
        std::fscanf(printed, "%d", &pid_) == 1)
        setenv("DBUS_SYSTEM_BUS_ADDRESS", std::string(address, std::strcspn(address, "\n")).c_str(), 1);
    if (printed != nullptr) pclose(printed);
}

PrivateBus::~PrivateBus() {
    unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    if (pid_ > 0) kill(pid_, SIGTERM);
    if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
}

bool PrivateBus::Activated() const { return access((dir_ + "/activated").c_str(), F_OK) == 0; }

BusPeer::BusPeer(const char* name, Answer answer, const char* refusal)
    : name_(name), answer_(std::move(answer)), refusal_(refusal) {
    // The filter sees every call before sd-bus's own dispatch could answer it.
    owning_ = sd_bus_open_system(&bus_) >= 0 && sd_bus_add_filter(bus_, nullptr, &BusPeer::Filter, this) >= 0 &&
              sd_bus_request_name(bus_, name, 0) >= 0;
    if (!owning_) std::fprintf(stderr, "The test's peer does not own %s.\n", name);
    thread_ = std::thread([this] { Serve(); });
}

BusPeer::~BusPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    // Given back before the connection goes: the next peer may own it at once.
    if (owning_) sd_bus_release_name(bus_, name_.c_str());
    if (bus_ != nullptr) sd_bus_close_unref(bus_);
}

int BusPeer::Filter(sd_bus_message* call, void* self, sd_bus_error*) {
    auto* peer = static_cast<BusPeer*>(self);
    if (sd_bus_message_is_method_call(call, nullptr, nullptr) <= 0) return 0;
    sd_bus_message* reply = nullptr;
    unanswered = false;
    if (sd_bus_message_new_method_return(call, &reply) >= 0 && peer->answer_(call, reply))
        sd_bus_send(peer->bus_, reply, nullptr);
    else if (!unanswered) sd_bus_reply_method_errorf(call, peer->refusal_.c_str(), "refused by the test");
    sd_bus_message_unref(reply);
    return 1;
}

void BusPeer::Serve() {
    while (!stop_) {
        // A silent peer reads nothing: calls to it wait in the bus for ever.
        if (!answer_) {
            usleep(2'000);
            continue;
        }
        const int processed = sd_bus_process(bus_, nullptr);
        if (processed < 0) return;
        if (processed == 0) sd_bus_wait(bus_, 2'000);
    }
}

int AppendGroups(sd_bus_message* m, const PropertyGroups& groups) {
    int r = sd_bus_message_open_container(m, 'a', "{sa{sv}}");
    for (const auto& [group, properties] : groups) {
        if (r >= 0) r = sd_bus_message_open_container(m, 'e', "sa{sv}");
        if (r >= 0) r = sd_bus_message_append_basic(m, 's', group.c_str());
        if (r >= 0) r = sd_bus_message_open_container(m, 'a', "{sv}");
        for (const Property& p : properties) {
            const char type[2] = {p.type, 0};
            const bool bytes = p.type == 'y', words = p.type == 'a';
            const std::uint32_t number = std::strtoul(p.value.c_str(), nullptr, 10);
            const void* basic = p.type == 'u' ? &number : static_cast<const void*>(p.value.c_str());
            if (r >= 0) r = sd_bus_message_open_container(m, 'e', "sv");
            if (r >= 0) r = sd_bus_message_append_basic(m, 's', p.key.c_str());
            if (r >= 0) r = sd_bus_message_open_container(m, 'v', bytes ? "ay" : words ? "as" : type);
            if (r >= 0 && bytes) r = sd_bus_message_append_array(m, 'y', p.value.data(), p.value.size());
            if (r >= 0 && words) r = sd_bus_message_open_container(m, 'a', "s");
            for (std::size_t at = 0, end = 0; r >= 0 && words && at < p.value.size(); at = end + 1) {
                end = std::min(p.value.find(',', at), p.value.size());
                r = sd_bus_message_append_basic(m, 's', p.value.substr(at, end - at).c_str());
            }
            if (r >= 0 && !bytes && !words) r = sd_bus_message_append_basic(m, p.type, basic);
            for (int i = words ? 0 : 1; i != 3 && r >= 0; ++i) r = sd_bus_message_close_container(m);
        }
        for (int i = 0; i != 2 && r >= 0; ++i) r = sd_bus_message_close_container(m);
    }
    return r >= 0 ? sd_bus_message_close_container(m) : r;
}

}  // namespace testing_support
