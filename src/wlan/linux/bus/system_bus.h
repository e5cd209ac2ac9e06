// The system bus of one client, over sd-bus: one connection for the life of
// the client handle, opened by the first operation that needs it. Calls are
// sent together and their replies taken by a wait loop of our own, which
// discards whatever else arrives as it arrives and ends at a deadline: when
// the calls of an operation have gone unanswered for its bound, or when the
// budget of the client's report cycle is spent.
#pragma once

#include <systemd/sd-bus.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wlanlinux {

// How long an operation waits for an answer, and the bus work of one report
// cycle (from one enumeration of the interfaces to the next) in all. A manager
// that keeps answering, however slowly, is waited for up to the cycle's
// budget (a thousand profiles are read one call each); one that has stopped
// answering costs an operation its bound, and the client asks it nothing more
// until the next cycle.
inline constexpr std::uint64_t kOperationBudgetUsec = 2'000'000;
inline constexpr std::uint64_t kCycleBudgetUsec = 10'000'000;

// The clock and the wait the bus work runs on: the system's (CLOCK_MONOTONIC
// in microseconds, sd_bus_wait) unless a test sets its own.
struct BusClock {
    std::uint64_t (*now)();
    int (*wait)(sd_bus* bus, std::uint64_t usec);
};
// Sets the clock and returns the one it replaces.
BusClock SetBusClock(const BusClock& replacement);
std::uint64_t BusNow();

struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using BusMessage = std::unique_ptr<sd_bus_message, MessageUnref>;

// One client's connection and what it has cost in this report cycle.
struct ClientBus {
    sd_bus* bus = nullptr;
    std::uint64_t spentUsec = 0;
    // A call went unanswered until its deadline, or the cycle's budget is
    // spent: the client asks the bus nothing more in this cycle.
    bool silent = false;
    ClientBus() = default;
    ClientBus(const ClientBus&) = delete;
    ClientBus& operator=(const ClientBus&) = delete;
    ~ClientBus();
};

// A new report cycle: its budget whole, a silent manager asked again.
void StartCycle(ClientBus& client);

// The bus work of one operation: it ends where the cycle's budget does, and
// earlier when its calls go unanswered for kOperationBudgetUsec; the time it
// took is charged to the cycle when it ends.
class BusOperation {
public:
    explicit BusOperation(ClientBus& owner);
    ~BusOperation();
    BusOperation(const BusOperation&) = delete;
    BusOperation& operator=(const BusOperation&) = delete;
    ClientBus& client;
    const std::uint64_t started;  // BusNow()
    const std::uint64_t end;      // where what is left of the cycle's budget ends
    std::uint64_t deadline;       // kOperationBudgetUsec after the last answer, at most `end`
};

// The client's connection, opened (within the operation's deadline) when it
// has none or its connection was closed. False when there is no bus, or the
// client has gone silent. Throws std::bad_alloc.
bool ConnectBus(BusOperation& operation);

// How a call ended, decided by the name of its error.
enum class CallStatus {
    Answered,    // a method return: `reply` holds it
    Denied,      // PermissionDenied, AccessDenied: that one item is left out
    NoService,   // ServiceUnknown, NameHasNoOwner: no such manager
    Absent,      // any other error reply (UnknownObject, UnknownMethod, ...): that fact is absent
    Unanswered,  // no reply before the deadline: the manager is silent
};

// A method call with up to two string arguments, and how it ended.
struct BusCall {
    const char* destination = nullptr;
    std::string path;
    const char* interface = nullptr;
    const char* member = nullptr;
    const char* arguments[2] = {};
    CallStatus status = CallStatus::Unanswered;
    BusMessage reply;
};

// Called with each answered or refused call as its reply arrives: a negative
// result stops everything (and is returned), 1 sends no more calls.
using CallTaken = std::function<int(BusCall& call)>;

// Sends the calls with auto-start off, a bounded number in flight at once,
// and takes their replies until all have come or the deadline passes (the
// client then goes silent). Each reply taken moves the deadline on. 0, or a
// negative errno when the deadline passed or the connection failed (the calls
// not taken stay Unanswered). Throws std::bad_alloc.
int RunCalls(BusOperation& operation, std::vector<BusCall>& calls, const CallTaken& taken = {});

// One call; the same as RunCalls with it alone.
int RunCall(BusOperation& operation, BusCall& call);

}  // namespace wlanlinux
