// Properties of objects on the bus: the call that asks for one, and the
// reading of its reply, one value each.
#pragma once

#include <systemd/sd-bus.h>

#include <cstdint>
#include <string>

#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {

// A call of `member` (a literal, as are `destination` and `interface`) on the
// object at `path`, without arguments.
BusCall MethodCall(const char* destination, std::string path, const char* interface,
                   const char* member);

// org.freedesktop.DBus.Properties.Get of `property` (a literal, as is
// `interface`) of the object at `path`.
BusCall PropertyCall(const char* destination, std::string path, const char* interface,
                     const char* property);

// A method reply holding an object path, and Get replies whose variant holds
// a string ('s') or object path ('o'), or a 32-bit unsigned: 0, or a negative
// errno when the reply is of another type (the value is then absent).
int ReadPathReply(sd_bus_message* reply, std::string& path);
int ReadTextPropertyReply(sd_bus_message* reply, char type, std::string& value);
int ReadU32PropertyReply(sd_bus_message* reply, std::uint32_t& value);

}  // namespace wlanlinux
