#include "wlan/linux/bus/bus_properties.h"

#include <cerrno>
#include <utility>

#include "wlan/linux/bus/bus_message_reading.h"

namespace wlanlinux {
namespace {

constexpr std::size_t kTextLimit = 4096;

// The variant of a Get reply; one holding another type leaves the value absent.
int EnterValue(sd_bus_message* reply, const char* contents) {
    const int result = EnterVariant(reply, contents);
    return result < 0 ? result : (result == 0 ? -EBADMSG : 0);
}

}  // namespace

BusCall MethodCall(const char* destination, std::string path, const char* interface,
                   const char* member) {
    BusCall call;
    call.destination = destination;
    call.path = std::move(path);
    call.interface = interface;
    call.member = member;
    return call;
}

BusCall PropertyCall(const char* destination, std::string path, const char* interface,
                     const char* property) {
    BusCall call = MethodCall(destination, std::move(path), "org.freedesktop.DBus.Properties", "Get");
    call.arguments[0] = interface;
    call.arguments[1] = property;
    return call;
}

int ReadPathReply(sd_bus_message* reply, std::string& path) {
    return ReadText(reply, 'o', path, kTextLimit);
}

int ReadTextPropertyReply(sd_bus_message* reply, char type, std::string& value) {
    const char contents[2] = {type, 0};
    const int result = EnterValue(reply, contents);
    return result < 0 ? result : ReadText(reply, type, value, kTextLimit);
}

int ReadU32PropertyReply(sd_bus_message* reply, std::uint32_t& value) {
    int result = EnterValue(reply, "u");
    if (result < 0) return result;
    result = sd_bus_message_read_basic(reply, 'u', &value);
    return result < 0 ? result : (result == 0 ? -EBADMSG : 0);
}

}  // namespace wlanlinux
