// The system bus for one operation, over sd-bus: every call carries the time
// left of one deadline as its timeout and has auto-start switched off, so no
// call can start a service or hold the operation past its budget.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <initializer_list>
#include <memory>

namespace wlanlinux {

// All bus work of one operation together.
inline constexpr std::uint64_t kBusBudgetUsec = 2'000'000;

struct MessageUnref {
    void operator()(sd_bus_message* message) const { sd_bus_message_unref(message); }
};
using BusMessage = std::unique_ptr<sd_bus_message, MessageUnref>;

struct BusSession {
    sd_bus* bus = nullptr;
    std::uint64_t deadline = 0;  // CLOCK_MONOTONIC, microseconds
    BusSession() = default;
    BusSession(const BusSession&) = delete;
    BusSession& operator=(const BusSession&) = delete;
    ~BusSession();
};

// Connects to the system bus (DBUS_SYSTEM_BUS_ADDRESS, else the standard
// socket) and completes the handshake within `budgetUsec`, which becomes the
// session's deadline. Returns 0 or a negative errno.
int OpenSystemBus(BusSession& session, std::uint64_t budgetUsec);

// Calls a method with string arguments and waits for its reply until the
// deadline. Returns 0 or a negative errno.
int CallMethod(BusSession& session, const char* destination, const char* path,
               const char* interface, const char* member, std::initializer_list<const char*> args,
               BusMessage& reply);

// The result of a call: 0 when it succeeded, 1 when the peer refused it (an
// error reply: no such object, permission denied, ...), which makes that one
// fact absent. What ends the caller's reading stays a negative errno: no
// answer in time, a broken connection, no memory.
int AbsentIfRefused(BusSession& session, int result);

// Whether the session's deadline has passed.
bool BudgetSpent(const BusSession& session);

}  // namespace wlanlinux
