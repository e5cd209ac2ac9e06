#include "wlan/linux/bus/bus_properties.h"

#include <cerrno>

#include "wlan/linux/bus/bus_message_reading.h"

namespace wlanlinux {

int NameHasOwner(BusSession& session, const char* name) {
    BusMessage reply;
    int result = CallMethod(session, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                            "org.freedesktop.DBus", "NameHasOwner", {name}, reply);
    if (result < 0) return result;
    int owned = 0;
    result = sd_bus_message_read_basic(reply.get(), 'b', &owned);
    if (result < 0) return result;
    return result == 0 ? -EBADMSG : (owned != 0 ? 1 : 0);
}

int GetProperty(BusSession& session, const char* destination, const char* path,
                const char* interface, const char* property, const char* contents,
                BusMessage& reply) {
    int result = CallMethod(session, destination, path, "org.freedesktop.DBus.Properties", "Get",
                            {interface, property}, reply);
    if (result < 0) return result;
    result = sd_bus_message_enter_container(reply.get(), 'v', contents);
    return result < 0 ? result : (result == 0 ? -EBADMSG : 0);
}

int GetTextProperty(BusSession& session, const char* destination, const char* path,
                    const char* interface, const char* property, char type, std::string& value) {
    const char contents[2] = {type, 0};
    BusMessage reply;
    const int result = GetProperty(session, destination, path, interface, property, contents, reply);
    return result < 0 ? result : ReadText(reply.get(), type, value, 4096);
}

int GetU32Property(BusSession& session, const char* destination, const char* path,
                   const char* interface, const char* property, std::uint32_t& value) {
    BusMessage reply;
    int result = GetProperty(session, destination, path, interface, property, "u", reply);
    if (result < 0) return result;
    result = sd_bus_message_read_basic(reply.get(), 'u', &value);
    return result < 0 ? result : (result == 0 ? -EBADMSG : 0);
}

}  // namespace wlanlinux
