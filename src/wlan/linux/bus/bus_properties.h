// Questions to the bus and properties of objects on it: a call on the system
// bus (system_bus.h) and the reading of its reply, one value each.
#pragma once

#include <cstdint>
#include <string>

#include "wlan/linux/bus/system_bus.h"

namespace wlanlinux {

// 1 when the name has an owner, 0 when not, or a negative errno. Asks the bus
// itself, which never activates the name.
int NameHasOwner(BusSession& session, const char* name);

// org.freedesktop.DBus.Properties.Get, with the reply entered into its
// variant, which must hold `contents` (a single complete type).
int GetProperty(BusSession& session, const char* destination, const char* path,
                const char* interface, const char* property, const char* contents,
                BusMessage& reply);

// One string ('s'), object path ('o') or 32-bit unsigned ('u') property.
int GetTextProperty(BusSession& session, const char* destination, const char* path,
                    const char* interface, const char* property, char type, std::string& value);
int GetU32Property(BusSession& session, const char* destination, const char* path,
                   const char* interface, const char* property, std::uint32_t& value);

}  // namespace wlanlinux
