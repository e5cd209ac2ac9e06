// A bus of the test's own in place of the system bus: a dbus-daemon in a
// temporary folder, named by DBUS_SYSTEM_BUS_ADDRESS while it runs, with
// activation files for NetworkManager, iwd, ConnMan and wpa_supplicant that
// only leave a mark; and peers on it that own a name and answer calls (or
// never answer).
#pragma once

#include <systemd/sd-bus.h>
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "wlan/linux/bus/system_bus.h"

namespace testing_support {

class PrivateBus {
public:
    PrivateBus();  // starts the daemon; check Running()
    ~PrivateBus();
    bool Running() const { return pid_ > 0; }
    // Whether the bus has tried to start any of the managers.
    bool Activated() const;

private:
    std::string dir_;
    pid_t pid_ = -1;
};

// Builds the reply to a call; returns false to refuse it.
using Answer = std::function<bool(sd_bus_message* call, sd_bus_message* reply)>;

// Called in an answer: the call gets no reply at all.
void LeaveUnanswered();

// A connection that owns `name` and answers each method call through
// `answer` in a thread of its own (it says on stderr when it cannot own the
// name). An empty `answer` never replies. A call the answer refuses gets the
// error `refusal`.
class BusPeer {
public:
    BusPeer(const char* name, Answer answer, const char* refusal = "org.example.Refused");
    ~BusPeer();

private:
    static int Filter(sd_bus_message* call, void* self, sd_bus_error* error);
    void Serve();
    sd_bus* bus_ = nullptr;
    std::string name_;
    Answer answer_;
    std::string refusal_;
    bool owning_ = false;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// The clock of the bus work while it lives, in place of the system's: it moves
// when the test or a peer advances it, and while the client waits with
// nothing to read, with real time; in silence, at once to the end of the wait
// (after a short real wait for what may still be on its way).
class DrivenClock {
public:
    DrivenClock();
    ~DrivenClock();
    static void Advance(std::uint64_t usec);
    static void Silence(bool silence);

private:
    wlanlinux::BusClock replaced_;
};

// `answer`, each call answered `usec` later.
Answer Delayed(Answer answer, std::uint64_t usec);

// a{sa{sv}} in a message: groups of key, type ('s', 'o', 'u' as decimal text,
// 'y' for a byte array, 'a' for a string array separated by commas), value.
struct Property {
    std::string key;
    char type;
    std::string value;
};
using PropertyGroups = std::vector<std::pair<std::string, std::vector<Property>>>;
int AppendGroups(sd_bus_message* message, const PropertyGroups& groups);

}  // namespace testing_support
