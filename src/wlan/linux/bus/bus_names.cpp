#include "wlan/linux/bus/bus_names.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wlanlinux {
namespace {

// A busy bus has a few hundred names; the bus never sends more than its
// message size allows, and we stop reading well before.
constexpr std::size_t kMaxNames = 65536;

int ReadNames(sd_bus_message* reply, const char* const* wanted, std::size_t count, bool* present) {
    int result = sd_bus_message_enter_container(reply, 'a', "s");
    if (result <= 0) return result < 0 ? result : -EBADMSG;
    const char* name = nullptr;
    for (std::size_t read = 0; read != kMaxNames; ++read) {
        if ((result = sd_bus_message_read_basic(reply, 's', &name)) <= 0) break;
        for (std::size_t i = 0; i != count; ++i)
            if (std::strcmp(name, wanted[i]) == 0) present[i] = true;
    }
    return result < 0 ? result : 0;
}

}  // namespace

int FindBusNames(BusOperation& operation, const char* const* wanted, std::size_t count, bool* present) {
    std::fill(present, present + count, false);
    BusCall call;
    call.destination = "org.freedesktop.DBus";
    call.path = "/org/freedesktop/DBus";
    call.interface = "org.freedesktop.DBus";
    call.member = "ListNames";
    int result = RunCall(operation, call);
    if (result < 0) return result;
    if (call.status != CallStatus::Answered) return -EPROTO;
    result = ReadNames(call.reply.get(), wanted, count, present);
    if (result < 0) std::fill(present, present + count, false);
    return result;
}

}  // namespace wlanlinux
