#include "wlan/linux/bus/system_bus.h"

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <new>
#include <utility>

namespace wlanlinux {
namespace {

// Calls awaiting a reply at once: far below the bus's own limit on a
// connection's pending replies, and enough to keep a manager busy.
constexpr std::size_t kCallsInFlight = 64;

std::uint64_t SystemNow() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint64_t>(now.tv_sec) * 1'000'000u +
           static_cast<std::uint64_t>(now.tv_nsec) / 1000u;
}

BusClock busClock{SystemNow, sd_bus_wait};

std::uint64_t BudgetEnd(ClientBus& client, std::uint64_t now) {
    const std::uint64_t left =
        client.spentUsec < kCycleBudgetUsec ? kCycleBudgetUsec - client.spentUsec : 0;
    if (left == 0) client.silent = true;
    return now + left;
}

// Microseconds left before the deadline; 0 once it has passed.
std::uint64_t TimeLeft(const BusOperation& operation) {
    const std::uint64_t now = busClock.now();
    return now < operation.deadline ? operation.deadline - now : 0;
}

// sd-bus fails a local allocation with -ENOMEM; that is our memory.
int ThrowIfNoMemory(int result) {
    if (result == -ENOMEM) throw std::bad_alloc();
    return result;
}

// Waits for the connection to be usable or for the deadline, whichever comes
// first: 0 when ready, else a negative errno (-ETIMEDOUT when the time ran out).
int WaitUntilReady(BusOperation& operation, sd_bus* bus) {
    for (;;) {
        const int processed = ThrowIfNoMemory(sd_bus_process(bus, nullptr));
        if (processed < 0) return processed;
        const int ready = sd_bus_is_ready(bus);
        if (ready != 0) return ready < 0 ? ready : 0;
        const std::uint64_t left = TimeLeft(operation);
        if (left == 0) return -ETIMEDOUT;
        if (processed > 0) continue;
        const int waited = busClock.wait(bus, left);
        if (waited < 0 && waited != -EINTR) return waited;
    }
}

void CloseBus(ClientBus& client) {
    // Closing without flushing: a flush could wait on a peer that reads nothing.
    if (client.bus != nullptr) sd_bus_close_unref(client.bus);
    client.bus = nullptr;
}

int Send(sd_bus* bus, const BusCall& call, std::uint64_t& cookie) {
    sd_bus_message* created = nullptr;
    int result = ThrowIfNoMemory(sd_bus_message_new_method_call(bus, &created, call.destination,
                                                        call.path.c_str(), call.interface,
                                                        call.member));
    if (result < 0) return result;
    const BusMessage message(created);
    // A name without an owner must not be started on our behalf.
    result = sd_bus_message_set_auto_start(created, 0);
    for (const char* argument : call.arguments)
        if (result >= 0 && argument != nullptr)
            result = ThrowIfNoMemory(sd_bus_message_append_basic(created, 's', argument));
    if (result >= 0) result = ThrowIfNoMemory(sd_bus_send(bus, created, &cookie));
    return result < 0 ? result : 0;
}

// Error names a reply may carry and what each means; any other name makes the
// fact the call asked for absent.
constexpr struct {
    const char* name;
    CallStatus status;
} kErrorNames[] = {
    {SD_BUS_ERROR_SERVICE_UNKNOWN, CallStatus::NoService},
    {SD_BUS_ERROR_NAME_HAS_NO_OWNER, CallStatus::NoService},
    {SD_BUS_ERROR_ACCESS_DENIED, CallStatus::Denied},
    {"org.freedesktop.NetworkManager.Settings.PermissionDenied", CallStatus::Denied},
    {"org.freedesktop.NetworkManager.PermissionDenied", CallStatus::Denied},
};

CallStatus StatusOf(sd_bus_message* reply) {
    const sd_bus_error* error = sd_bus_message_get_error(reply);
    if (error == nullptr) return CallStatus::Answered;
    for (const auto& known : kErrorNames)
        if (sd_bus_error_has_name(error, known.name)) return known.status;
    return CallStatus::Absent;
}

struct InFlight {
    std::uint64_t cookie;
    std::size_t call;
};

// The call a reply answers, taken out of `inFlight`; calls.size() for a
// message that answers none of them.
std::size_t TakeAnswered(sd_bus_message* message, std::vector<InFlight>& inFlight,
                         std::size_t none) {
    std::uint8_t type = 0;
    std::uint64_t cookie = 0;
    if (sd_bus_message_get_type(message, &type) < 0 ||
        (type != SD_BUS_MESSAGE_METHOD_RETURN && type != SD_BUS_MESSAGE_METHOD_ERROR) ||
        sd_bus_message_get_reply_cookie(message, &cookie) < 0)
        return none;
    const auto found = std::find_if(inFlight.begin(), inFlight.end(),
                                    [cookie](const InFlight& f) { return f.cookie == cookie; });
    if (found == inFlight.end()) return none;
    const std::size_t call = found->call;
    *found = inFlight.back();
    inFlight.pop_back();
    return call;
}

}  // namespace

BusClock SetBusClock(const BusClock& replacement) { return std::exchange(busClock, replacement); }

std::uint64_t BusNow() { return busClock.now(); }

ClientBus::~ClientBus() { CloseBus(*this); }

void StartCycle(ClientBus& client) {
    client.spentUsec = 0;
    client.silent = false;
}

BusOperation::BusOperation(ClientBus& owner)
    : client(owner),
      started(busClock.now()),
      end(BudgetEnd(owner, started)),
      deadline(std::min(started + kOperationBudgetUsec, end)) {}

BusOperation::~BusOperation() {
    client.spentUsec += busClock.now() - started;
    if (client.spentUsec >= kCycleBudgetUsec) client.silent = true;
}

bool ConnectBus(BusOperation& operation) {
    ClientBus& client = operation.client;
    if (client.silent) return false;
    if (client.bus != nullptr && sd_bus_is_open(client.bus) > 0) return true;
    CloseBus(client);
    if (ThrowIfNoMemory(sd_bus_open_system(&client.bus)) < 0) {
        client.bus = nullptr;
        return false;
    }
    // sd-bus would wait for the handshake without any bound: it is driven
    // here, within the operation's deadline.
    const int ready = WaitUntilReady(operation, client.bus);
    if (ready == 0) return true;
    if (ready == -ETIMEDOUT) client.silent = true;
    CloseBus(client);
    return false;
}

int RunCalls(BusOperation& operation, std::vector<BusCall>& calls, const CallTaken& taken) {
    sd_bus* bus = operation.client.bus;
    if (bus == nullptr) return -ENOTCONN;
    std::vector<InFlight> inFlight;
    inFlight.reserve(std::min(calls.size(), kCallsInFlight));
    std::size_t next = 0;
    for (;;) {
        while (next != calls.size() && inFlight.size() != kCallsInFlight) {
            std::uint64_t cookie = 0;
            if (const int sent = Send(bus, calls[next], cookie); sent < 0) return sent;
            inFlight.push_back({cookie, next++});
        }
        if (inFlight.empty()) return 0;
        // Checked on every turn: a flood must not keep the loop from its end.
        const std::uint64_t left = TimeLeft(operation);
        if (left == 0) {
            operation.client.silent = true;
            return -ETIMEDOUT;
        }
        // One message at a time: a reply awaited is taken, anything else
        // (signals, calls, stale replies) is dropped at once. A failure here
        // is the connection's, whatever a peer sent.
        sd_bus_message* received = nullptr;
        const int processed = sd_bus_process(bus, &received);
        if (processed < 0) return processed;
        const BusMessage message(received);
        const std::size_t answered =
            message != nullptr ? TakeAnswered(received, inFlight, calls.size()) : calls.size();
        if (answered != calls.size()) {
            // An answer, even a refusal: the manager is at work, not stuck.
            operation.deadline = std::min(busClock.now() + kOperationBudgetUsec, operation.end);
            BusCall& call = calls[answered];
            call.status = StatusOf(received);
            if (call.status == CallStatus::Answered) call.reply.reset(sd_bus_message_ref(received));
            const int result = taken ? taken(call) : 0;
            // Enough: the replies still due are dropped when they come.
            if (result != 0) return result < 0 ? result : 0;
            continue;
        }
        if (processed > 0) continue;
        const int waited = busClock.wait(bus, left);
        if (waited < 0 && waited != -EINTR) return waited;
    }
}

int RunCall(BusOperation& operation, BusCall& call) {
    std::vector<BusCall> calls(1);
    calls[0] = std::move(call);
    const int result = RunCalls(operation, calls);
    call = std::move(calls[0]);
    return result;
}

}  // namespace wlanlinux
