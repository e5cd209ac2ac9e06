#include "wlan/linux/bus/system_bus.h"

#include <poll.h>
#include <time.h>

#include <cerrno>

namespace wlanlinux {
namespace {

std::uint64_t Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

// Microseconds left before the deadline; 0 once it has passed. sd-bus reads a
// timeout of 0 as "its default", so callers never hand it 0.
std::uint64_t TimeLeft(const BusSession& session) {
    const std::uint64_t now = Now();
    return now < session.deadline ? session.deadline - now : 0;
}

// sd_bus_call would wait for the handshake without any bound, so it is driven
// here first: authentication and the bus's Hello reply, until the deadline.
int WaitUntilReady(BusSession& session) {
    for (;;) {
        const int processed = sd_bus_process(session.bus, nullptr);
        if (processed < 0) return processed;
        const int ready = sd_bus_is_ready(session.bus);
        if (ready != 0) return ready < 0 ? ready : 0;
        const std::uint64_t left = TimeLeft(session);
        if (left == 0) return -ETIMEDOUT;
        if (processed > 0) continue;
        const int fd = sd_bus_get_fd(session.bus);
        const int events = sd_bus_get_events(session.bus);
        if (fd < 0) return fd;
        if (events < 0) return events;
        pollfd wait{fd, static_cast<short>(events), 0};
        const int milliseconds = static_cast<int>((left + 999) / 1000);
        if (poll(&wait, 1, milliseconds) < 0 && errno != EINTR) return -errno;
    }
}

int NewCall(BusSession& session, const char* destination, const char* path,
            const char* interface, const char* member, BusMessage& message) {
    sd_bus_message* created = nullptr;
    int result = sd_bus_message_new_method_call(session.bus, &created, destination, path,
                                                interface, member);
    if (result < 0) return result;
    message.reset(created);
    // A name without an owner must not be started on our behalf.
    return sd_bus_message_set_auto_start(created, 0);
}

}  // namespace

BusSession::~BusSession() {
    // Closing without flushing: a flush could wait on a peer that reads nothing.
    if (bus != nullptr) sd_bus_close_unref(bus);
}

int OpenSystemBus(BusSession& session, std::uint64_t budgetUsec) {
    session.deadline = Now() + budgetUsec;
    const int result = sd_bus_open_system(&session.bus);
    if (result < 0) {
        session.bus = nullptr;
        return result;
    }
    return WaitUntilReady(session);
}

int CallMethod(BusSession& session, const char* destination, const char* path,
               const char* interface, const char* member, std::initializer_list<const char*> args,
               BusMessage& reply) {
    reply.reset();
    BusMessage call;
    int result = NewCall(session, destination, path, interface, member, call);
    for (const char* arg : args)
        if (result >= 0) result = sd_bus_message_append_basic(call.get(), 's', arg);
    if (result < 0) return result;
    const std::uint64_t left = TimeLeft(session);
    if (left == 0) return -ETIMEDOUT;
    sd_bus_error error{};
    sd_bus_message* answer = nullptr;
    result = sd_bus_call(session.bus, call.get(), left, &error, &answer);
    sd_bus_error_free(&error);
    if (result < 0) return result;
    reply.reset(answer);
    return 0;
}

bool BudgetSpent(const BusSession& session) { return TimeLeft(session) == 0; }

int AbsentIfRefused(BusSession& session, int result) {
    if (result >= 0) return 0;
    // sd-bus gives a local failure the same shape as a peer's error reply, so
    // what is not a refusal is told apart by its cause.
    if (result == -ENOMEM || result == -ETIMEDOUT || TimeLeft(session) == 0 ||
        sd_bus_is_open(session.bus) <= 0)
        return result;
    return 1;
}

}  // namespace wlanlinux
